#include "anim/webp_encoder.h"

#include <webp/encode.h>
#include <webp/mux.h>

#include <QCoreApplication>
#include <QThread>
#include <algorithm>
#include <future>
#include <vector>

namespace tamrisk {
namespace {

constexpr QRgb kColourMask = 0x00FFFFFFu;
// Lossless effort (0 to 100) and method (0 to 6): img2webp's defaults.
// Effort 100 saved another 0.5 to 3 % but took three times as long on the
// bench projects of sprites and of switching colours, more than img2webp
// itself; methods 5 and 6 made frames larger at several times the time.
constexpr float kEffort = 75;
constexpr int kMethod = 4;
// Up to this many pixels in all frames together, libwebp's own search runs
// too and the smaller file is kept; beyond, it would double the time of the
// export for files that came out the same size as ours (the rectangles and
// the blending it finds are ours).
constexpr qint64 kBothWaysPixels = qint64{2} << 20;
constexpr int kMaxSide = 16383;  // WebP's limit

struct Frame {
  QImage image;  // the whole frame, Format_RGB32
  QRect changed;
  int start_ms = 0;
  int end_ms = 0;
};

WebPConfig lossless_config(float effort) {
  WebPConfig config;
  WebPConfigInit(&config);
  config.lossless = 1;
  config.quality = effort;
  config.method = kMethod;
  config.exact = 0;  // transparent pixels may take any colour
  return config;
}

// A WebPPicture of a Format_RGB32 or ARGB32 image, alpha as in the pixels
// (opaque in RGB32). Freed with WebPPictureFree, also after a failure.
bool import_picture(const QImage& image, WebPPicture* picture) {
  if (!WebPPictureInit(picture)) {
    return false;
  }
  picture->use_argb = 1;
  picture->width = image.width();
  picture->height = image.height();
  return !image.isNull() &&
         WebPPictureImportBGRA(picture, image.constBits(), static_cast<int>(image.bytesPerLine()));
}

// The WebP image data of rect of frame; with `previous`, the pixels that
// equal it there are transparent (blended over what is shown). Empty when
// the encoder fails.
QByteArray encode_area(const QImage& frame, const QImage* previous, QRect rect) {
  QImage area = frame.copy(rect).convertToFormat(QImage::Format_ARGB32);
  if (area.isNull()) {
    return {};
  }
  if (previous != nullptr) {
    for (int y = 0; y < rect.height(); ++y) {
      auto* row = reinterpret_cast<QRgb*>(area.scanLine(y));
      const auto* was =
          reinterpret_cast<const QRgb*>(previous->constScanLine(rect.y() + y)) + rect.x();
      for (int x = 0; x < rect.width(); ++x) {
        if (((row[x] ^ was[x]) & kColourMask) == 0) {
          row[x] = 0;
        }
      }
    }
  }
  WebPConfig config = lossless_config(kEffort);
  WebPPicture picture;
  WebPMemoryWriter writer;
  WebPMemoryWriterInit(&writer);
  QByteArray out;
  if (import_picture(area, &picture)) {
    picture.writer = WebPMemoryWrite;
    picture.custom_ptr = &writer;
    if (WebPEncode(&config, &picture)) {
      out = QByteArray(reinterpret_cast<const char*>(writer.mem),
                       static_cast<qsizetype>(writer.size));
    }
  }
  WebPPictureFree(&picture);
  WebPMemoryWriterClear(&writer);
  return out;
}

// The rectangle widened to start at even coordinates, as WebP frames must.
QRect even(QRect rect) {
  return QRect(QPoint(rect.x() & ~1, rect.y() & ~1), rect.bottomRight());
}

// libwebp's own search for the rectangles and how to blend them.
QByteArray encode_with_libwebp(QSize size, int loop_count, const std::vector<Frame>& frames) {
  WebPAnimEncoderOptions options;
  if (!WebPAnimEncoderOptionsInit(&options)) {
    return {};
  }
  options.anim_params.loop_count = loop_count;
  options.minimize_size = 1;
  WebPAnimEncoder* encoder = WebPAnimEncoderNew(size.width(), size.height(), &options);
  if (encoder == nullptr) {
    return {};
  }
  WebPConfig config = lossless_config(kEffort);
  bool ok = true;
  for (const Frame& frame : frames) {
    WebPPicture picture;
    ok = import_picture(frame.image, &picture) &&
         WebPAnimEncoderAdd(encoder, &picture, frame.start_ms, &config);
    WebPPictureFree(&picture);
    if (!ok) {
      break;
    }
  }
  QByteArray out;
  WebPData data;
  WebPDataInit(&data);
  if (ok && WebPAnimEncoderAdd(encoder, nullptr, frames.back().end_ms, nullptr) &&
      WebPAnimEncoderAssemble(encoder, &data)) {
    out = QByteArray(reinterpret_cast<const char*>(data.bytes), static_cast<qsizetype>(data.size));
  }
  WebPDataClear(&data);
  WebPAnimEncoderDelete(encoder);
  return out;
}

// One frame of the export's own: its rectangle and data, and how it blends.
struct Piece {
  QRect rect;
  QByteArray data;
  WebPMuxAnimBlend blend = WEBP_MUX_NO_BLEND;
};

Piece encode_piece(const std::vector<Frame>& frames, std::size_t k) {
  const Frame& frame = frames[k];
  Piece piece{k == 0 ? frame.image.rect() : even(frame.changed), {}, WEBP_MUX_NO_BLEND};
  piece.data = encode_area(frame.image, nullptr, piece.rect);
  if (k > 0) {
    QByteArray keyed = encode_area(frame.image, &frames[k - 1].image, piece.rect);
    if (!keyed.isEmpty() && (piece.data.isEmpty() || keyed.size() < piece.data.size())) {
      piece.data = std::move(keyed);
      piece.blend = WEBP_MUX_BLEND;
    }
  }
  return piece;
}

// The export's own rectangles: the first frame whole, then each changed
// rectangle, stored opaque or with its unchanged pixels transparent,
// whichever is smaller. The frames are encoded on all cores.
QByteArray encode_with_rectangles(int loop_count, const std::vector<Frame>& frames) {
  std::vector<Piece> pieces(frames.size());
  std::vector<std::future<void>> running;
  const std::size_t threads = static_cast<std::size_t>(std::max(1, QThread::idealThreadCount()));
  for (std::size_t t = 0; t < threads; ++t) {
    running.push_back(std::async(std::launch::async, [&frames, &pieces, t, threads] {
      for (std::size_t k = t; k < frames.size(); k += threads) {
        pieces[k] = encode_piece(frames, k);
      }
    }));
  }
  for (auto& r : running) {
    r.get();
  }
  WebPMux* mux = WebPMuxNew();
  if (mux == nullptr) {
    return {};
  }
  WebPMuxAnimParams params{0xFFFFFFFFu, loop_count};  // a white background
  bool ok = WebPMuxSetAnimationParams(mux, &params) == WEBP_MUX_OK;
  for (std::size_t k = 0; ok && k < frames.size(); ++k) {
    const Piece& piece = pieces[k];
    WebPMuxFrameInfo info;
    info.bitstream.bytes = reinterpret_cast<const uint8_t*>(piece.data.constData());
    info.bitstream.size = static_cast<size_t>(piece.data.size());
    info.x_offset = piece.rect.x();
    info.y_offset = piece.rect.y();
    info.duration = frames[k].end_ms - frames[k].start_ms;
    info.id = WEBP_CHUNK_ANMF;
    info.dispose_method = WEBP_MUX_DISPOSE_NONE;
    info.blend_method = piece.blend;
    ok = !piece.data.isEmpty() && WebPMuxPushFrame(mux, &info, 1) == WEBP_MUX_OK;
  }
  QByteArray out;
  WebPData assembled;
  WebPDataInit(&assembled);
  if (ok && WebPMuxAssemble(mux, &assembled) == WEBP_MUX_OK) {
    out = QByteArray(reinterpret_cast<const char*>(assembled.bytes),
                     static_cast<qsizetype>(assembled.size));
  }
  WebPDataClear(&assembled);
  WebPMuxDelete(mux);
  return out;
}

class WebpEncoder final : public AnimationEncoder {
 public:
  WebpEncoder(QSize size, const AnimationTiming& timing, int frame_count)
      : AnimationEncoder(size, timing) {
    frames_.reserve(static_cast<std::size_t>(std::max(frame_count, 1)));
  }

 protected:
  bool take(const FrameStep& step, QString* error) override {
    if (size().width() > kMaxSide || size().height() > kMaxSide) {
      *error = QCoreApplication::translate(
                   "tamrisk::WebpEncoder",
                   "%1 × %2 ピクセルの画像はWebPにできません（縦横 %3 ピクセルまで）。")
                   .arg(size().width())
                   .arg(size().height())
                   .arg(kMaxSide);
      return false;
    }
    Frame frame{step.frame, step.changed, 0, 0};
    frame.start_ms = static_cast<int>(milliseconds_until(periods_, timing().frame_rate));
    periods_ += step.periods;
    frame.end_ms = static_cast<int>(milliseconds_until(periods_, timing().frame_rate));
    frames_.push_back(std::move(frame));
    return true;
  }

  bool assemble(QByteArray* bytes, QString* error) override {
    QByteArray ours = encode_with_rectangles(timing().loop_count, frames_);
    QByteArray theirs;
    const qint64 pixels =
        qint64{size().width()} * size().height() * static_cast<qint64>(frames_.size());
    if (ours.isEmpty() || pixels <= kBothWaysPixels) {
      theirs = encode_with_libwebp(size(), timing().loop_count, frames_);
    }
    if (theirs.isEmpty() && ours.isEmpty()) {
      *error = QCoreApplication::translate("tamrisk::WebpEncoder",
                                           "libwebp がコマを符号化できませんでした。");
      return false;
    }
    *bytes = !ours.isEmpty() && (theirs.isEmpty() || ours.size() <= theirs.size())
                 ? std::move(ours)
                 : std::move(theirs);
    return true;
  }

 private:
  std::vector<Frame> frames_;
  long long periods_ = 0;
};

}  // namespace

std::unique_ptr<AnimationEncoder> make_webp_encoder(QSize size, const AnimationTiming& timing,
                                                    int frame_count) {
  return std::make_unique<WebpEncoder>(size, timing, frame_count);
}

}  // namespace tamrisk
