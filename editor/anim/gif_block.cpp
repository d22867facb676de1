#include "anim/gif_block.h"

#include <gif_lib.h>
#include <QCoreApplication>

#include <algorithm>
#include <memory>
#include <utility>

namespace tamrisk {
namespace {

int append_to_bytes(GifFileType* gif, const GifByteType* data, int length) {
  static_cast<QByteArray*>(gif->UserData)->append(reinterpret_cast<const char*>(data), length);
  return length;
}

using ColourMap = std::unique_ptr<ColorMapObject, void (*)(ColorMapObject*)>;

// A colour table of the smallest power-of-two length (at least 2) that holds
// the colours; the rest is black.
ColourMap make_map(const std::vector<QRgb>& colours) {
  std::vector<GifColorType> table(std::size_t{1}
                                  << gif_table_bits(std::max<std::size_t>(colours.size(), 2)));
  for (std::size_t i = 0; i < colours.size(); ++i) {
    table[i] = {static_cast<GifByteType>(qRed(colours[i])),
                static_cast<GifByteType>(qGreen(colours[i])),
                static_cast<GifByteType>(qBlue(colours[i]))};
  }
  return ColourMap(GifMakeMapObject(static_cast<int>(table.size()), table.data()),
                   GifFreeMapObject);
}

}  // namespace

int gif_table_bits(std::size_t colours) {
  int bits = 1;
  while ((std::size_t{1} << bits) < colours) {
    ++bits;
  }
  return bits;
}

int gif_code_size(const GifPicture& picture) {
  if (!picture.local.empty()) {
    return std::max(2, gif_table_bits(picture.local.size()));
  }
  const int top = std::max<int>(*std::max_element(picture.indices.begin(), picture.indices.end()),
                                picture.transparent);
  return std::max(2, gif_table_bits(static_cast<std::size_t>(top) + 1));
}

GifBlockEncoder::GifBlockEncoder() {
  error_ = E_GIF_ERR_NOT_ENOUGH_MEM;
  gif_ = EGifOpen(&bytes_, append_to_bytes, &error_);
  // giflib wants a screen before any image; its bytes are dropped.
  const ColourMap map = make_map(std::vector<QRgb>(256));
  if (gif_ && (!map || EGifPutScreenDesc(gif_, 1, 1, 8, 0, map.get()) != GIF_OK)) {
    error_ = map ? gif_->Error : E_GIF_ERR_NOT_ENOUGH_MEM;
    close();
  }
}

GifBlockEncoder::~GifBlockEncoder() {
  close();
}

bool GifBlockEncoder::encode(GifPicture& picture, QByteArray* block, QString* error) {
  if (!gif_) {
    return failed(error);
  }
  bytes_.clear();
  const ColourMap map =
      picture.local.empty() ? ColourMap(nullptr, GifFreeMapObject) : make_map(picture.local);
  // giflib starts the codes at the depth of the frame's colour table. On the
  // global table, a frame that uses only its first entries has them start
  // smaller, as decoders allow: the screen's table lends giflib that depth
  // while it sets up the image.
  int depth = gif_code_size(picture);
  if (picture.local.empty()) {
    std::swap(depth, gif_->SColorMap->BitsPerPixel);
  }
  // giflib forgets, without freeing it, the copy of the last frame's local
  // table when the next frame has none.
  if (!map && gif_->Image.ColorMap != nullptr) {
    GifFreeMapObject(gif_->Image.ColorMap);
    gif_->Image.ColorMap = nullptr;
  }
  const QRect r = picture.rect;
  bool ok = (picture.local.empty() || map) &&
            EGifPutImageDesc(gif_, r.x(), r.y(), r.width(), r.height(), false, map.get()) == GIF_OK;
  if (picture.local.empty()) {
    std::swap(depth, gif_->SColorMap->BitsPerPixel);
  }
  GifPixelType* line = picture.indices.data();
  for (int y = 0; ok && y < r.height(); ++y, line += r.width()) {
    ok = EGifPutLine(gif_, line, r.width()) == GIF_OK;
  }
  if (!ok) {
    error_ = gif_->Error;
    close();
    return failed(error);
  }
  block->swap(bytes_);
  return true;
}

bool GifBlockEncoder::failed(QString* error) const {
  if (error) {
    *error = QCoreApplication::translate("tamrisk::GifBlock", "GIF: 符号化に失敗しました（%1）。")
                 .arg(GifErrorString(error_));
  }
  return false;
}

void GifBlockEncoder::close() {
  if (gif_) {
    EGifCloseFile(gif_, nullptr);
    gif_ = nullptr;
  }
}

}  // namespace tamrisk
