#include "platform/png_codec.h"

#include <png.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QIODevice>
#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "platform/atomic_file.h"
#include "platform/message_text.h"
#include "platform/png_stream.h"

// libpng reports errors by longjmp to the setjmp in the step that called it.
// The function that holds a setjmp (decode) therefore keeps no local object
// with a destructor: everything it fills is owned by its caller. Writing
// needs no libpng: encode_png assembles the chunks itself (png_stream.h).

namespace tamrisk {
namespace {

// What reading needs in libpng's callbacks: the device and libpng's last error.
struct CodecContext {
  QIODevice* device = nullptr;
  bool truncated = false;
  char message[160] = {};
};

void on_error(png_structp png, png_const_charp message) {
  auto* context = static_cast<CodecContext*>(png_get_error_ptr(png));
  std::strncpy(context->message, message, sizeof context->message - 1);
  png_longjmp(png, 1);
}

void on_warning(png_structp, png_const_charp) {}

void on_read(png_structp png, png_bytep data, size_t length) {
  auto* context = static_cast<CodecContext*>(png_get_io_ptr(png));
  const qint64 got =
      context->device->read(reinterpret_cast<char*>(data), static_cast<qint64>(length));
  if (got != static_cast<qint64>(length)) {
    context->truncated = true;
    png_error(png, "unexpected end of data");
  }
}

enum class DecodeStatus { kOk, kTooLarge, kNoMemory, kFailed };

// Reads header and pixels into *image as 0xAARRGGBB words (Format_ARGB32).
DecodeStatus decode(png_structp png, png_infop info, QImage* image) {
  if (setjmp(png_jmpbuf(png))) {
    return DecodeStatus::kFailed;
  }
  png_set_sig_bytes(png, 8);
  // Sizes are checked below with our own limits.
  png_set_user_limits(png, PNG_UINT_31_MAX, PNG_UINT_31_MAX);
  // A chunk may claim up to 2 GiB, and libpng reads a whole text, profile or
  // other ancillary chunk into memory: a file of a hundred bytes could ask
  // for gigabytes. The pixels need none of them, so every chunk but IHDR,
  // PLTE, tRNS, IDAT and IEND is skipped unread (the image data itself is
  // read in small pieces whatever its size).
  png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
  png_read_info(png, info);
  const png_uint_32 width = png_get_image_width(png, info);
  const png_uint_32 height = png_get_image_height(png, info);
  if (width > kMaxPngSide || height > kMaxPngSide ||
      static_cast<qint64>(width) * static_cast<qint64>(height) > kMaxPngPixels) {
    return DecodeStatus::kTooLarge;
  }

  // Every colour type ends as 8-bit samples with alpha, in the byte order of
  // a native 0xAARRGGBB word.
  png_set_expand(png);
  png_set_scale_16(png);
  png_set_gray_to_rgb(png);
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
  png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
  png_set_bgr(png);
#else
  png_set_add_alpha(png, 0xFF, PNG_FILLER_BEFORE);
  png_set_swap_alpha(png);
#endif
  const int passes = png_set_interlace_handling(png);
  png_read_update_info(png, info);
  if (png_get_rowbytes(png, info) != size_t{width} * 4) {
    png_error(png, "unexpected row layout");
  }

  *image = QImage(static_cast<int>(width), static_cast<int>(height), QImage::Format_ARGB32);
  if (image->isNull()) {
    return DecodeStatus::kNoMemory;
  }
  // Later passes of an interlaced picture fill in the rows of earlier ones.
  for (int pass = 0; pass < passes; ++pass) {
    for (png_uint_32 y = 0; y < height; ++y) {
      png_read_row(png, image->scanLine(static_cast<int>(y)), nullptr);
    }
  }
  png_read_end(png, nullptr);
  return DecodeStatus::kOk;
}

quint32 blend(quint32 colour, quint32 matte, quint32 alpha) {
  return (colour * alpha + matte * (255 - alpha) + 127) / 255;
}

// Turns an ARGB32 image into RGB32 in place, alpha laid over `matte`.
void flatten(QImage& image, QRgb matte) {
  const QRgb opaque_matte = matte | 0xFF000000u;
  for (int y = 0; y < image.height(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      const QRgb p = row[x];
      const quint32 alpha = static_cast<quint32>(qAlpha(p));
      if (alpha == 255) {
        continue;
      }
      if (alpha == 0) {
        row[x] = opaque_matte;
      } else {
        row[x] = qRgb(static_cast<int>(blend(quint32(qRed(p)), quint32(qRed(matte)), alpha)),
                      static_cast<int>(blend(quint32(qGreen(p)), quint32(qGreen(matte)), alpha)),
                      static_cast<int>(blend(quint32(qBlue(p)), quint32(qBlue(matte)), alpha)));
      }
    }
  }
  image.reinterpretAsFormat(QImage::Format_RGB32);
}

void set_error(QString* error, const QString& message) {
  if (error != nullptr) {
    *error = message;
  }
}

}  // namespace

bool read_png(QIODevice& device, QImage* out, QString* error, QRgb matte) {
  png_byte signature[8];
  if (device.read(reinterpret_cast<char*>(signature), 8) != 8 ||
      png_sig_cmp(signature, 0, 8) != 0) {
    set_error(error,
              QCoreApplication::translate("tamrisk::PngCodec", "PNGファイルではありません。"));
    return false;
  }
  CodecContext context;
  context.device = &device;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &context, on_error, on_warning);
  png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
  if (info == nullptr) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    set_error(error, QCoreApplication::translate("tamrisk::PngCodec",
                                                 "PNGを読む準備ができません（メモリ不足）。"));
    return false;
  }
  png_set_read_fn(png, &context, on_read);
  QImage image;
  const DecodeStatus status = decode(png, info, &image);
  const png_uint_32 width = png_get_image_width(png, info);
  const png_uint_32 height = png_get_image_height(png, info);
  png_destroy_read_struct(&png, &info, nullptr);

  switch (status) {
    case DecodeStatus::kOk:
      break;
    case DecodeStatus::kTooLarge:
      set_error(error, QCoreApplication::translate("tamrisk::PngCodec",
                                                   "画像が大きすぎます（%1 × %2 ピクセル）。")
                           .arg(width)
                           .arg(height));
      return false;
    case DecodeStatus::kNoMemory:
      set_error(error,
                QCoreApplication::translate("tamrisk::PngCodec",
                                            "画像のメモリを確保できません（%1 × %2 ピクセル）。")
                    .arg(width)
                    .arg(height));
      return false;
    case DecodeStatus::kFailed:
      set_error(error, context.truncated
                           ? QCoreApplication::translate("tamrisk::PngCodec",
                                                         "PNGファイルが途中で終わっています。")
                           : QCoreApplication::translate("tamrisk::PngCodec",
                                                         "PNGファイルが壊れています（%1）。")
                                 .arg(bare_reason(QString::fromLatin1(context.message))));
      return false;
  }
  flatten(image, matte);
  *out = std::move(image);
  return true;
}

bool read_png(const QString& path, QImage* out, QString* error, QRgb matte) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    set_error(error, QCoreApplication::translate("tamrisk::PngCodec", "「%1」を開けません（%2）。")
                         .arg(QDir::toNativeSeparators(path), bare_reason(file.errorString())));
    return false;
  }
  return read_png(file, out, error, matte);
}

bool write_png(const QImage& image, int width, int height, const QString& path, QString* error) {
  QByteArray bytes;
  return encode_png(image, width, height, &bytes, error) && write_png_bytes(bytes, path, error);
}

bool write_png_bytes(const QByteArray& bytes, const QString& path, QString* error) {
  QString why;
  if (!write_file_atomically(path, bytes, &why)) {
    set_error(error,
              QCoreApplication::translate("tamrisk::PngCodec", "「%1」に書き出せません（%2）。")
                  .arg(QDir::toNativeSeparators(path), bare_reason(why)));
    return false;
  }
  return true;
}

}  // namespace tamrisk
