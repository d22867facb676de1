#include "anim/compact_mng_encoder.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QPoint>
#include <QRect>
#include <algorithm>
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

// A DEFI chunk's bytes, and the most pixels a rectangle may take to do
// without one.
constexpr qsizetype kDefiBytes = 12 + 12;
constexpr int kSmallArea = 64 * 64;

// The colours a global palette holds.
constexpr std::size_t kGlobalColours = 256;

// One image of the stream: a PNG drawn with its top-left corner at `at`.
// While the animation's colours fit the global palette, also the same
// pixels as its entries (one a byte), for an opaque PNG that uses that
// palette instead of its own.
struct Piece {
  QPoint at;
  QByteArray png;
  bool transparent = false;
  QSize size;
  std::vector<quint8> entries;
  QByteArray global_png;  // the entries' PNG at global_depth bits, fast
  int global_depth = 0;

  qsizetype smallest() const {
    return global_png.isEmpty() ? png.size() : std::min(png.size(), global_png.size());
  }
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

// A PNG of palette entries whose empty PLTE takes the MNG's global PLTE.
// Opaque: ImageMagick 6.9 stops on a global tRNS, and reads a tRNS
// after an empty PLTE wrongly.
QByteArray global_palette_png(const Piece& piece, int bit_depth, PngEffort effort) {
  const QByteArray idat = compress_palette_entries(piece.entries.data(), piece.size.width(),
                                                   piece.size.height(), bit_depth, effort);
  if (idat.isEmpty()) {
    return {};
  }
  QByteArray png(kPngSignature, sizeof kPngSignature);
  append_png_chunk(&png, "IHDR",
                   png_header(piece.size.width(), piece.size.height(), bit_depth, kPngPalette));
  append_png_chunk(&png, "PLTE", QByteArray());
  append_png_chunk(&png, "IDAT", idat);
  append_png_chunk(&png, "IEND", QByteArray());
  return png;
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
  // While the animation's colours fit the global palette, gives piece the
  // entries of rect of frame in it and their PNG; once they no longer fit,
  // drops those of every piece. false when memory runs out.
  bool add_global(const QImage& frame, const QRect& rect, Piece* piece, QString* error);

  QImage previous_;
  std::vector<Piece> pieces_;
  ColourBits changed_colours_;  // empty between calls
  ColourStats global_{kGlobalColours};
};

bool CompactMngEncoder::take(const FrameStep& step, QString* error) {
  const QImage& frame = step.frame;
  Piece piece;
  if (previous_.isNull()) {
    if (!encode_png(frame, frame.width(), frame.height(), &piece.png, error,
                    PngEffort::kSmallest) ||
        !add_global(frame, frame.rect(), &piece, error)) {
      return false;
    }
  } else {
    const QRect& rect = step.changed;
    piece.at = rect.topLeft();
    if (!encode_change(frame, rect, &piece, error) || !add_global(frame, rect, &piece, error)) {
      return false;
    }
    // A small rectangle may cost less drawn from where the image before
    // was, without a DEFI of its own.
    const QPoint at = pieces_.back().at;
    const QRect wider(at, rect.bottomRight());
    if (at != rect.topLeft() && at.x() <= rect.x() && at.y() <= rect.y() &&
        wider.width() * wider.height() <= kSmallArea) {
      Piece other;
      other.at = at;
      if (!encode_change(frame, wider, &other, error) || !add_global(frame, wider, &other, error)) {
        return false;
      }
      if (other.smallest() < piece.smallest() + kDefiBytes) {
        piece = std::move(other);
      }
    }
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
    if (!add_global(frame, QRect(at, QSize(1, 1)), &repeat, error)) {
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

bool CompactMngEncoder::add_global(const QImage& frame, const QRect& rect, Piece* piece,
                                   QString* error) {
  if (!global_.fits()) {
    return true;
  }
  piece->size = rect.size();
  piece->entries.resize(static_cast<std::size_t>(rect.width()) *
                        static_cast<std::size_t>(rect.height()));
  quint8* out = piece->entries.data();
  for (int y = rect.top(); y <= rect.bottom(); ++y) {
    const QRgb* now = row_of(frame, y, rect.x());
    for (int x = 0; x < rect.width(); ++x) {
      const QRgb colour = now[x] & kColourMask;
      if (!global_.add(colour)) {
        for (Piece& earlier : pieces_) {
          earlier.entries = {};
          earlier.global_png = {};
        }
        piece->entries = {};
        return true;
      }
      *out++ = static_cast<quint8>(global_.index_of(colour));
    }
  }
  // At the bit depth of the colours so far (the one of the whole animation
  // as long as no new colour comes), and at the fast level: its size is a
  // little above what the stronger level makes of it.
  piece->global_depth = palette_bit_depth(global_.colours().size());
  piece->global_png = global_palette_png(*piece, piece->global_depth, PngEffort::kFrame);
  if (piece->global_png.isEmpty()) {
    *error = QCoreApplication::translate("tamrisk::PngCodec", "PNGを作れません（メモリ不足）。");
    return false;
  }
  return true;
}

bool CompactMngEncoder::assemble(QByteArray* bytes, QString* error) {
  // Each image of palette entries uses the global palette where that makes
  // it smaller than with its own PLTE (and tRNS): in the small rectangles
  // of a sprite animation the palette costs more than the pixels.
  const int bit_depth = palette_bit_depth(global_.colours().size());
  const auto failed = [error] {
    *error = QCoreApplication::translate("tamrisk::PngCodec", "PNGを作れません（メモリ不足）。");
    return false;
  };
  qsizetype saved = 0;
  for (Piece& piece : pieces_) {
    if (!piece.entries.empty() && piece.global_depth != bit_depth) {
      piece.global_depth = bit_depth;
      piece.global_png = global_palette_png(piece, bit_depth, PngEffort::kFrame);
      if (piece.global_png.isEmpty()) {
        return failed();
      }
    }
    saved += piece.png.size() - piece.smallest();
  }
  // The global PLTE: its chunk and three bytes a colour.
  const bool global =
      global_.fits() && saved > 12 + 3 * static_cast<qsizetype>(global_.colours().size());
  bool transparent = false;
  for (std::size_t k = 0; k < pieces_.size(); ++k) {
    Piece& piece = pieces_[k];
    if (global && !piece.global_png.isEmpty() && piece.global_png.size() < piece.png.size()) {
      QByteArray png =
          global_palette_png(piece, bit_depth, k == 0 ? PngEffort::kSmallest : PngEffort::kStrong);
      if (png.isEmpty()) {
        return failed();
      }
      if (png.size() < piece.png.size()) {
        piece.png = std::move(png);
        piece.transparent = false;
      }
    }
    piece.entries = {};
    piece.global_png = {};
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
  if (global) {
    QByteArray entries;
    for (const QRgb colour : global_.colours()) {
      entries.append(static_cast<char>(qRed(colour)));
      entries.append(static_cast<char>(qGreen(colour)));
      entries.append(static_cast<char>(qBlue(colour)));
    }
    append_png_chunk(&mng, "PLTE", entries);
  }
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
