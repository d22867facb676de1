#include "export/compact_mng_encoder.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPoint>
#include <QRect>
#include <QTemporaryDir>
#include <algorithm>
#include <bit>
#include <optional>
#include <string>
#include <vector>

#include "export/export_paths.h"
#include "export/frame_delta.h"
#include "mng_comp.h"
#include "platform/atomic_file.h"
#include "platform/png_codec.h"
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
constexpr const char* kForever = "0x7fffffff";

// The compiler, told never to ask before replacing its output: the editor
// has no console to ask on, and the output is a fresh name anyway.
class QuietCompiler : public vessik::CMNGComp {
 public:
  bool ConfirmOverwrite(const std::string&) override { return true; }
};

// One image of the stream: a PNG drawn with its top-left corner at `at`.
struct Piece {
  QPoint at;
  QByteArray png;
  bool transparent = false;
};

quint32 read_be32(const QByteArray& bytes, qsizetype at) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData() + at);
  return quint32{p[0]} << 24 | quint32{p[1]} << 16 | quint32{p[2]} << 8 | quint32{p[3]};
}

// A set of 24-bit colours as one bit each, emptied by forgetting what was
// put in, so that a small area costs no more than its own pixels.
// forget() drops the colour together with the 63 that share its word.
class ColourSet {
 public:
  ColourSet() : bits_(std::size_t{1} << 18) {}
  void insert(QRgb colour) { bits_[colour >> 6] |= quint64{1} << (colour & 63); }
  void forget(QRgb colour) { bits_[colour >> 6] = 0; }
  // The smallest colour not in the set; none when every colour is.
  std::optional<QRgb> first_missing() const {
    for (std::size_t i = 0; i < bits_.size(); ++i) {
      if (bits_[i] != ~quint64{0}) {
        return static_cast<QRgb>(i << 6) + static_cast<QRgb>(std::countr_one(bits_[i]));
      }
    }
    return std::nullopt;
  }

 private:
  std::vector<quint64> bits_;
};

const QRgb* row_of(const QImage& image, int y, int x) {
  return reinterpret_cast<const QRgb*>(image.constScanLine(y)) + x;
}

// The copy of rect of frame in which every pixel that shows the colour that
// `previous` shows there is replaced by a key colour that no other pixel of
// the copy has; null when there is no such pixel (or no free colour).
QImage key_unchanged(const QImage& previous, const QImage& frame, const QRect& rect,
                     ColourSet* changed, QRgb* key) {
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

// Whether image has at most 256 colours, so that encode_png makes it a
// palette PNG.
bool fits_palette(const QImage& image) {
  std::vector<QRgb> colours;  // sorted
  QRgb last = 0xFFFFFFFFu;    // no 0x00RRGGBB colour
  for (int y = 0; y < image.height(); ++y) {
    const QRgb* row = row_of(image, y, 0);
    for (int x = 0; x < image.width(); ++x) {
      const QRgb colour = row[x] & kColourMask;
      if (colour == last) {
        continue;
      }
      last = colour;
      const auto at = std::lower_bound(colours.begin(), colours.end(), colour);
      if (at == colours.end() || *at != colour) {
        if (colours.size() == 256) {
          return false;
        }
        colours.insert(at, colour);
      }
    }
  }
  return true;
}

bool is_rgb(const QByteArray& png) {
  constexpr qsizetype kColourTypeAt = 8 + 8 + 9;  // signature, IHDR head, size, depth
  return png.size() > kColourTypeAt && png.at(kColourTypeAt) == kPngRgb;
}

// Adds a tRNS chunk to a PNG that encode_png made, ahead of its image data,
// making the key colour fully transparent: its palette entry, or in an RGB
// image the colour itself. false when the key is not in the palette.
bool make_transparent(QByteArray* png, QRgb key) {
  QByteArray data;
  qsizetype at = 8;
  while (at + 12 <= png->size()) {
    const quint32 length = read_be32(*png, at);
    const QByteArray type = png->mid(at + 4, 4);
    if (type == "PLTE") {
      const auto* entries = reinterpret_cast<const unsigned char*>(png->constData() + at + 8);
      for (quint32 i = 0; i + 3 <= length; i += 3) {
        if (qRgb(entries[i], entries[i + 1], entries[i + 2]) == (0xFF000000u | key)) {
          data = QByteArray(static_cast<qsizetype>(i / 3), static_cast<char>(0xFF));
          data.append('\0');
          break;
        }
      }
      if (data.isEmpty()) {
        return false;
      }
    } else if (type == "IDAT") {
      if (is_rgb(*png)) {
        for (const int value : {qRed(key), qGreen(key), qBlue(key)}) {
          data.append('\0');
          data.append(static_cast<char>(value));
        }
      }
      if (data.isEmpty()) {
        return false;
      }
      QByteArray chunk;
      append_png_chunk(&chunk, "tRNS", data);
      png->insert(at, chunk);
      return true;
    }
    at += 12 + static_cast<qsizetype>(length);
  }
  return false;
}

std::string number(int value) {
  return std::to_string(value);
}

class CompactMngEncoder final : public AnimationEncoder {
 public:
  CompactMngEncoder(QSize size, int frame_count) : size_(size) {
    pieces_.reserve(static_cast<std::size_t>(frame_count > 0 ? frame_count : 0));
  }

  bool add(const QImage& frame, QString* error) override;
  bool finish(const QString& path, QString* error) override;

 private:
  // The PNG of the rectangle of frame that changed since the frame before.
  bool encode_change(const QImage& frame, const QRect& rect, Piece* piece, QString* error);
  // A private folder whose path the script can name: under the system's
  // temporary folder, or beside the target when that path holds a blank.
  static std::unique_ptr<QTemporaryDir> make_folder(const QString& target, QString* error);
  std::string script(const QString& folder) const;

  QSize size_;
  QImage previous_;
  std::vector<Piece> pieces_;
  ColourSet changed_colours_;  // empty between calls
};

bool CompactMngEncoder::add(const QImage& given, QString* error) {
  if (given.size() != size_) {
    *error = QCoreApplication::translate(
                 "tamrisk::CompactMngEncoder",
                 "コマの大きさ %1×%2 がアニメーションの大きさ %3×%4 と違います。")
                 .arg(given.width())
                 .arg(given.height())
                 .arg(size_.width())
                 .arg(size_.height());
    return false;
  }
  // Pixels are read and written as QRgb below.
  const QImage frame =
      given.format() == QImage::Format_RGB32 || given.format() == QImage::Format_ARGB32
          ? given
          : given.convertToFormat(QImage::Format_RGB32);
  Piece piece;
  bool ok = false;
  if (previous_.isNull()) {
    ok = encode_png(frame, frame.width(), frame.height(), &piece.png, error, PngEffort::kSmallest);
  } else if (const QRect changed = changed_rect(previous_, frame); changed.isEmpty()) {
    // Nothing changed: one pixel at the place the last image was drawn,
    // which needs no DEFI, repeating the colour shown there.
    piece.at = pieces_.back().at;
    ok = encode_png(frame.copy(QRect(piece.at, QSize(1, 1))), 1, 1, &piece.png, error,
                    PngEffort::kStrong);
  } else {
    piece.at = changed.topLeft();
    ok = encode_change(frame, changed, &piece, error);
  }
  if (!ok) {
    return false;
  }
  pieces_.push_back(std::move(piece));
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
    if (!encode_png(keyed, keyed.width(), keyed.height(), &piece->png, error, PngEffort::kStrong)) {
      return false;
    }
    piece->transparent = make_transparent(&piece->png, key);
    // The key may be the 257th colour, which turns a rectangle that fits a
    // palette into an RGB picture: such a rectangle is stored opaque.
    if (piece->transparent && (!is_rgb(piece->png) || !fits_palette(frame.copy(rect)))) {
      return true;
    }
  }
  piece->transparent = false;
  const QImage area = frame.copy(rect);
  return encode_png(area, area.width(), area.height(), &piece->png, error, PngEffort::kStrong);
}

std::string CompactMngEncoder::script(const QString& folder) const {
  bool transparent = false;
  for (const Piece& piece : pieces_) {
    transparent = transparent || piece.transparent;
  }
  std::string text = "MHDR " + number(size_.width()) + ' ' + number(size_.height()) + ' ' +
                     number(kAnimationFramesPerSecond) + " 0 0 0 " +
                     std::to_string(kSimplicityProfile | (transparent ? kTransparencyBit : 0)) +
                     '\n';
  // Repeat from the first frame for ever, without a pause of its own: the
  // last frame keeps its one tick.
  text += std::string("TERM 3 0 0 ") + kForever + '\n';
  const std::string prefix = QFile::encodeName(folder).toStdString() + '/';
  QPoint at;  // DEFI's location holds for every later image until changed
  for (std::size_t i = 0; i < pieces_.size(); ++i) {
    const Piece& piece = pieces_[i];
    if (piece.at != at) {
      text += "DEFI 0 0 0 " + number(piece.at.x()) + ' ' + number(piece.at.y()) + '\n';
      at = piece.at;
    }
    text += "IHDR " + prefix + number(static_cast<int>(i)) + ".png\n";
  }
  text += "MEND\n";
  return text;
}

std::unique_ptr<QTemporaryDir> CompactMngEncoder::make_folder(const QString& target,
                                                              QString* error) {
  QString why;
  for (const QString& root : {QDir::tempPath(), QFileInfo(target).absolutePath()}) {
    if (has_token_break(root)) {
      why = QCoreApplication::translate("tamrisk::CompactMngEncoder", "「%1」は空白を含みます")
                .arg(QDir::toNativeSeparators(root));
      continue;
    }
    auto folder = std::make_unique<QTemporaryDir>(root + QStringLiteral("/tamrisk-mng-XXXXXX"));
    if (folder->isValid()) {
      return folder;
    }
    why = folder->errorString();
  }
  *error = QCoreApplication::translate("tamrisk::CompactMngEncoder",
                                       "MNGを組み立てる一時フォルダを作れませんでした（%1）。")
               .arg(why);
  return nullptr;
}

bool CompactMngEncoder::finish(const QString& path, QString* error) {
  if (pieces_.empty()) {
    *error = QCoreApplication::translate("tamrisk::CompactMngEncoder",
                                         "アニメーションにするコマがありません。");
    return false;
  }
  const std::unique_ptr<QTemporaryDir> folder = make_folder(path, error);
  if (!folder) {
    return false;
  }
  for (std::size_t i = 0; i < pieces_.size(); ++i) {
    QFile file(folder->filePath(QString::number(i) + QStringLiteral(".png")));
    const QByteArray& png = pieces_[i].png;
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) || !write_all(file, png)) {
      *error = QCoreApplication::translate("tamrisk::CompactMngEncoder",
                                           "一時ファイル「%1」を書き出せませんでした（%2）。")
                   .arg(QDir::toNativeSeparators(file.fileName()), file.errorString());
      return false;
    }
  }
  const QString output = folder->filePath(QStringLiteral("animation.mng"));
  const auto compiler = std::make_unique<QuietCompiler>();
  if (!compiler->CompileText(script(folder->path()), QFile::encodeName(output).toStdString())) {
    *error = QCoreApplication::translate("tamrisk::CompactMngEncoder",
                                         "MNGを組み立てられませんでした: %1")
                 .arg(QString::fromStdString(compiler->Message()).trimmed());
    return false;
  }
  QFile compiled(output);
  if (!compiled.open(QIODevice::ReadOnly)) {
    *error = QCoreApplication::translate("tamrisk::CompactMngEncoder",
                                         "組み立てたMNG「%1」を読めませんでした（%2）。")
                 .arg(QDir::toNativeSeparators(output), compiled.errorString());
    return false;
  }
  const QByteArray bytes = compiled.readAll();
  if (bytes.size() != compiled.size()) {
    *error = QCoreApplication::translate("tamrisk::CompactMngEncoder",
                                         "組み立てたMNG「%1」を読めませんでした（%2）。")
                 .arg(QDir::toNativeSeparators(output), compiled.errorString());
    return false;
  }
  return write_png_bytes(bytes, path, error);
}

}  // namespace

std::unique_ptr<AnimationEncoder> make_compact_mng_encoder(QSize size, int frame_count) {
  return std::make_unique<CompactMngEncoder>(size, frame_count);
}

}  // namespace tamrisk
