#include "anim/compact_mng_encoder.h"

#include <QByteArray>
#include <QPoint>
#include <QRect>
#include <optional>
#include <vector>

#include "anim/colour_stats.h"
#include "platform/png_encode.h"
#include "platform/png_stream.h"

namespace tamrisk {
namespace {

// MHDR's simplicity profile: the profile is valid (bit 0); simple MNG
// features, here DEFI and TERM, may be present (bit 1); bits 7 to 9 are
// meaningful (bit 6) and all zero: the first layer covers the frame with
// opaque pixels, nothing is semitransparent, no object buffer is kept.
// No complex features, JNG or delta-PNG: an MNG-LC stream. Bit 3 is added
// when an image has transparent pixels.
constexpr unsigned kSimplicityProfile = 0x01 | 0x02 | 0x40;
constexpr unsigned kTransparencyBit = 0x08;

constexpr QRgb kColourMask = 0x00FFFFFFu;

// TERM's iteration count that means for ever.
constexpr quint32 kForever = 0x7fffffff;

// The eight bytes every MNG file starts with.
constexpr char kMngSignature[] = {'\x8A', 'M', 'N', 'G', '\r', '\n', '\x1A', '\n'};

// One image of the stream: a PNG drawn with its top-left corner at `at`.
struct Piece {
  QPoint at;
  QByteArray png;
  bool transparent = false;
};

const QRgb* row_of(const QImage& image, int y, int x) {
  return reinterpret_cast<const QRgb*>(image.constScanLine(y)) + x;
}

// The copy of rect of frame in which every pixel that shows the colour that
// `previous` shows there is replaced by a key colour that no other pixel of
// the copy has; null when there is no such pixel (or no free colour).
QImage key_unchanged(const QImage& previous, const QImage& frame, const QRect& rect,
                     ColourBits* changed, QRgb* key) {
  bool any_same = false;
  for (int y = rect.top(); y <= rect.bottom(); ++y) {
    const QRgb* was = row_of(previous, y, rect.x());
    const QRgb* now = row_of(frame, y, rect.x());
    for (int x = 0; x < rect.width(); ++x) {
      const QRgb colour = now[x] & kColourMask;
      if (colour == (was[x] & kColourMask)) {
        any_same = true;
      } else {
        changed->insert(colour);
      }
    }
  }
  const std::optional<QRgb> free = changed->first_missing();
  for (int y = rect.top(); y <= rect.bottom(); ++y) {
    const QRgb* now = row_of(frame, y, rect.x());
    for (int x = 0; x < rect.width(); ++x) {
      changed->forget(now[x] & kColourMask);
    }
  }
  if (!any_same || !free) {
    return QImage();
  }
  *key = *free;
  QImage area = frame.copy(rect);
  for (int y = 0; y < rect.height(); ++y) {
    const QRgb* was = row_of(previous, rect.y() + y, rect.x());
    auto* out = reinterpret_cast<QRgb*>(area.scanLine(y));
    for (int x = 0; x < rect.width(); ++x) {
      if (((out[x] ^ was[x]) & kColourMask) == 0) {
        out[x] = 0xFF000000u | *key;
      }
    }
  }
  return area;
}

bool is_rgb(const QByteArray& png) {
  constexpr qsizetype kColourTypeAt = 8 + 8 + 9;  // signature, IHDR head, size, depth
  return png.size() > kColourTypeAt && png.at(kColourTypeAt) == kPngRgb;
}

class CompactMngEncoder final : public AnimationEncoder {
 public:
  CompactMngEncoder(QSize size, const AnimationTiming& timing, int frame_count)
      : AnimationEncoder(size, timing) {
    pieces_.reserve(static_cast<std::size_t>(frame_count > 0 ? frame_count : 0));
  }

 protected:
  bool take(const FrameStep& step, QString* error) override;
  bool assemble(QByteArray* bytes, QString* error) override;

 private:
  // The PNG of the rectangle of frame that changed since the frame before.
  bool encode_change(const QImage& frame, const QRect& rect, Piece* piece, QString* error);

  QImage previous_;
  std::vector<Piece> pieces_;
  ColourBits changed_colours_;  // empty between calls
};

bool CompactMngEncoder::take(const FrameStep& step, QString* error) {
  const QImage& frame = step.frame;
  Piece piece;
  bool ok = false;
  if (previous_.isNull()) {
    ok = encode_png(frame, frame.width(), frame.height(), &piece.png, error, PngEffort::kSmallest);
  } else {
    piece.at = step.changed.topLeft();
    ok = encode_change(frame, step.changed, &piece, error);
  }
  if (!ok) {
    return false;
  }
  const QPoint at = piece.at;
  pieces_.push_back(std::move(piece));
  // Each image is shown for one tick, a frame period: every further period
  // is one pixel at the place the last image was drawn, which needs no
  // DEFI, repeating the colour shown there.
  if (step.periods > 1) {
    Piece repeat;
    repeat.at = at;
    if (!encode_png(frame.copy(QRect(at, QSize(1, 1))), 1, 1, &repeat.png, error,
                    PngEffort::kStrong)) {
      return false;
    }
    pieces_.insert(pieces_.end(), static_cast<std::size_t>(step.periods - 1), repeat);
  }
  previous_ = frame;
  return true;
}

bool CompactMngEncoder::encode_change(const QImage& frame, const QRect& rect, Piece* piece,
                                      QString* error) {
  // Pixels that keep their colour become transparent: one colour, so they
  // cost next to nothing, where the picture behind them may cost much.
  QRgb key = 0;
  const QImage keyed = key_unchanged(previous_, frame, rect, &changed_colours_, &key);
  if (!keyed.isNull()) {
    if (!encode_png(keyed, keyed.width(), keyed.height(), &piece->png, error, PngEffort::kStrong,
                    key)) {
      return false;
    }
    // The key may be the 257th colour, which turns a rectangle that fits a
    // palette into an RGB picture: such a rectangle is stored opaque.
    if (!is_rgb(piece->png) || !ColourStats(256).add(frame, rect)) {
      piece->transparent = true;
      return true;
    }
  }
  piece->transparent = false;
  const QImage area = frame.copy(rect);
  return encode_png(area, area.width(), area.height(), &piece->png, error, PngEffort::kStrong);
}

bool CompactMngEncoder::assemble(QByteArray* bytes, QString* /*error: nothing fails here*/) {
  bool transparent = false;
  for (const Piece& piece : pieces_) {
    transparent = transparent || piece.transparent;
  }
  QByteArray mng(kMngSignature, sizeof kMngSignature);
  QByteArray header;
  for (const int value : {size().width(), size().height(), timing().frame_rate, 0, 0, 0}) {
    append_be32(&header, static_cast<quint32>(value));
  }
  append_be32(&header, kSimplicityProfile | (transparent ? kTransparencyBit : 0));
  append_png_chunk(&mng, "MHDR", header);
  // Repeat from the first frame, without a pause of its own: the last frame
  // keeps its ticks. TERM 3: repeat; then (0) show the last frame.
  QByteArray term;
  term.append('\3');
  term.append('\0');
  append_be32(&term, 0);
  append_be32(&term,
              timing().loop_count == 0 ? kForever : static_cast<quint32>(timing().loop_count));
  append_png_chunk(&mng, "TERM", term);
  QPoint at;  // DEFI's location holds for every later image until changed
  for (const Piece& piece : pieces_) {
    if (piece.at != at) {
      QByteArray defi;
      append_be16(&defi, 0);  // object 0
      defi.append('\0');      // shown
      defi.append('\0');      // abstract
      append_be32(&defi, static_cast<quint32>(piece.at.x()));
      append_be32(&defi, static_cast<quint32>(piece.at.y()));
      append_png_chunk(&mng, "DEFI", defi);
      at = piece.at;
    }
    // The PNG's own chunks, IHDR to IEND, stand in the stream.
    mng.append(piece.png.constData() + sizeof kPngSignature,
               piece.png.size() - static_cast<qsizetype>(sizeof kPngSignature));
  }
  append_png_chunk(&mng, "MEND", QByteArray());
  *bytes = std::move(mng);
  return true;
}

}  // namespace

std::unique_ptr<AnimationEncoder> make_compact_mng_encoder(QSize size,
                                                           const AnimationTiming& timing,
                                                           int frame_count) {
  return std::make_unique<CompactMngEncoder>(size, timing, frame_count);
}

}  // namespace tamrisk
