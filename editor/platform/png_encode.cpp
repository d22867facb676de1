#include "platform/png_encode.h"

#include <QCoreApplication>
#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "platform/png_stream.h"

namespace tamrisk {
namespace {

constexpr int kMaxPaletteSize = 256;
// libdeflate's levels for the export's RGB frame files: level 4, and level 7
// where it saves at least a sixth (smooth shades: there level 4 makes files
// a fifth larger than zlib's level 7, ImageMagick's, and level 7 a few
// percent smaller, in about four times level 4's time; on drawn frames it
// saves less than a tenth at four times the time). For the frames of the
// whole-frame MNG, on grainy pictures, whose rows compress to more than a
// quarter of their size, level 7 takes only about twice level 4's time and
// is kept where it saves a fiftieth: level 4 leaves such frames 2 to 3 %
// larger than zlib's level 7.
constexpr int kRgbFrameLevel = 4;
constexpr int kRgbStrongFrameLevel = 7;

void set_error(QString* error, const QString& message) {
  if (error != nullptr) {
    *error = message;
  }
}

// Colour -> palette entry for at most 256 colours, by open addressing over
// four times as many slots. A slot holds the colour with bit 24 set; 0 is
// an empty slot.
class PaletteIndex {
 public:
  // The entry of colour (0x00RRGGBB), or -1 when it has none.
  int find(QRgb colour) const {
    for (size_t slot = first_slot(colour);; slot = (slot + 1) % kSlots) {
      if (keys_[slot] == (colour | kUsed)) {
        return entries_[slot];
      }
      if (keys_[slot] == 0) {
        return -1;
      }
    }
  }
  // colour must not be there yet; at most kMaxPaletteSize colours.
  void insert(QRgb colour, quint8 entry) {
    size_t slot = first_slot(colour);
    while (keys_[slot] != 0) {
      slot = (slot + 1) % kSlots;
    }
    keys_[slot] = colour | kUsed;
    entries_[slot] = entry;
  }

 private:
  static constexpr size_t kSlots = 4 * kMaxPaletteSize;
  static constexpr QRgb kUsed = 0x01000000u;
  static size_t first_slot(QRgb colour) { return (colour * 0x9E3779B1u) >> 22; }
  std::array<QRgb, kSlots> keys_{};
  std::array<quint8, kSlots> entries_{};
};
static_assert(size_t{1} << (32 - 22) == 4 * kMaxPaletteSize);

// Gathers the colours of the area in scan order into *palette and each
// pixel's palette entry into *indices (width x height, row by row). Returns
// false, with the palette emptied, as soon as there are more than 256.
bool index_pixels(const QImage& image, int width, int height, std::vector<QRgb>* palette,
                  std::vector<quint8>* indices) {
  PaletteIndex index;
  indices->resize(static_cast<size_t>(width) * static_cast<size_t>(height));
  quint8* out = indices->data();
  // Runs of one colour are common: the last colour's entry is kept at hand.
  QRgb last = 0xFFFFFFFFu;  // no 0x00RRGGBB colour
  quint8 last_entry = 0;
  for (int y = 0; y < height; ++y) {
    const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < width; ++x) {
      const QRgb colour = row[x] & 0x00FFFFFFu;
      if (colour != last) {
        int entry = index.find(colour);
        if (entry < 0) {
          if (palette->size() == kMaxPaletteSize) {
            palette->clear();
            return false;
          }
          entry = static_cast<int>(palette->size());
          index.insert(colour, static_cast<quint8>(entry));
          palette->push_back(colour);
        }
        last = colour;
        last_entry = static_cast<quint8>(entry);
      }
      *out++ = last_entry;
    }
  }
  return true;
}

// libdeflate's level for a picture at `effort`; 0: the frame files' own.
int effort_level(PngEffort effort) {
  return effort == PngEffort::kSmallest ? 12 : effort == PngEffort::kStrong ? 10 : 0;
}

void pack_indices(const quint8* indices, int width, int bit_depth, uchar* row) {
  if (bit_depth == 8) {
    std::memcpy(row, indices, static_cast<size_t>(width));
    return;
  }
  const int per_byte = 8 / bit_depth;
  std::memset(row, 0, static_cast<size_t>((width + per_byte - 1) / per_byte));
  for (int x = 0; x < width; ++x) {
    const int shift = 8 - bit_depth * (x % per_byte + 1);
    row[x / per_byte] = static_cast<uchar>(row[x / per_byte] | (indices[x] << shift));
  }
}

void pack_rgb(const QRgb* pixels, int width, uchar* row) {
  for (int x = 0; x < width; ++x) {
    *row++ = static_cast<uchar>(qRed(pixels[x]));
    *row++ = static_cast<uchar>(qGreen(pixels[x]));
    *row++ = static_cast<uchar>(qBlue(pixels[x]));
  }
}

// How RGB rows are stored: unfiltered (drawn from few colours, where the
// pixels repeat as they are), filtered row by row (smooth shades), or
// filtered and compressed as runs alone (photographs, whose filtered bytes
// have few longer matches worth looking for).
enum class RgbCoding { kPlain, kFiltered, kLeastSum, kRuns };

// Packed RGB rows, filtered on demand, whole or some rows at a time.
struct RgbRows {
  const uchar* data;
  int row_bytes;
  int height;

  // Rows first to first + count - 1 as the whole picture's filtered data
  // holds them (each row filtered against the one above it).
  QByteArray filtered(RowFilter how, int first, int count) const {
    const int above = first > 0 ? 1 : 0;
    QByteArray rows = filter_rows(
        data + static_cast<std::size_t>(row_bytes) * static_cast<std::size_t>(first - above),
        row_bytes, row_bytes, count + above, 3, how);
    return above != 0 ? rows.mid(row_bytes + 1) : rows;
  }
};

constexpr RowFilter kCodingFilter[] = {RowFilter::kNone, RowFilter::kAdaptive, RowFilter::kLeastSum,
                                       RowFilter::kAdaptive};

// The coding that compresses smallest at a fast level: the rows unfiltered,
// filtered by entropy or by least sum, or filtered by entropy as runs.
// Judged on the whole picture, or with `sampled` on four bands of eight rows
// spread over it (about a fifteenth of a 640 x 480 frame), which also
// chooses *frame_level (with `for_mng`, for the whole-frame MNG's frames).
// Where the whole picture was judged, *whole holds the chosen rows filtered.
RgbCoding rgb_coding(const RgbRows& rows, bool sampled, bool for_mng, int* frame_level,
                     QByteArray* whole) {
  constexpr int kBands = 4;
  constexpr int kBandRows = 8;
  QByteArray samples[3];
  for (int c = 0; c < 3; ++c) {
    if (sampled && rows.height > kBands * kBandRows) {
      for (int band = 0; band < kBands; ++band) {
        const int first = (2 * band + 1) * rows.height / (2 * kBands) - kBandRows / 2;
        samples[c].append(rows.filtered(kCodingFilter[c], first, kBandRows));
      }
    } else {
      samples[c] = rows.filtered(kCodingFilter[c], 0, rows.height);
    }
  }
  const qsizetype sizes[] = {
      zlib_compress(samples[0], 4).size(), zlib_compress(samples[1], 4).size(),
      zlib_compress(samples[2], 4).size(), zlib_compress_runs(samples[1]).size()};
  const auto smallest = std::min_element(std::begin(sizes), std::end(sizes)) - std::begin(sizes);
  if (!sampled || rows.height <= kBands * kBandRows) {
    *whole = samples[smallest == static_cast<int>(RgbCoding::kRuns) ? 1 : smallest];
  }
  *frame_level = kRgbFrameLevel;
  if (sampled && smallest != static_cast<int>(RgbCoding::kRuns)) {
    const qsizetype strong = zlib_compress(samples[smallest], kRgbStrongFrameLevel).size();
    const qsizetype fast = sizes[smallest];
    const bool grainy = for_mng && 4 * fast > samples[0].size();
    if (6 * strong <= 5 * fast || (grainy && 50 * strong <= 49 * fast)) {
      *frame_level = kRgbStrongFrameLevel;
    }
  }
  return static_cast<RgbCoding>(smallest);
}

// The tRNS chunk's data that makes key fully transparent: its palette entry
// (the entries before it opaque), or in RGB the colour itself. A key the
// palette lacks makes nothing transparent.
QByteArray transparency(QRgb key, bool indexed, const std::vector<QRgb>& palette) {
  QByteArray data;
  if (indexed) {
    const auto at = std::find(palette.begin(), palette.end(), key);
    if (at != palette.end()) {
      data = QByteArray(at - palette.begin(), static_cast<char>(0xFF));
      data.append('\0');
    }
    return data;
  }
  for (const int value : {qRed(key), qGreen(key), qBlue(key)}) {
    data.append('\0');
    data.append(static_cast<char>(value));
  }
  return data;
}

}  // namespace

int palette_bit_depth(size_t colours) {
  if (colours <= 2) {
    return 1;
  }
  if (colours <= 4) {
    return 2;
  }
  return colours <= 16 ? 4 : 8;
}

QByteArray compress_palette_entries(const quint8* entries, int width, int height, int bit_depth,
                                    PngEffort effort) {
  const auto row_bytes = static_cast<size_t>((width * bit_depth + 7) / 8);
  std::vector<uchar> rows(row_bytes * static_cast<size_t>(height));
  for (int y = 0; y < height; ++y) {
    pack_indices(entries + static_cast<size_t>(y) * static_cast<size_t>(width), width, bit_depth,
                 rows.data() + row_bytes * static_cast<size_t>(y));
  }
  // Measured on 640 x 480 and 1920 x 1080 frames (drawn scenes, dithered
  // and smooth): palette entries compress best unfiltered; libdeflate's
  // level 7 then makes files smaller than zlib's level 7 (ImageMagick's) in
  // half its time (level 6 loses 3% on the larger frames).
  const int level = effort_level(effort);
  return zlib_compress(filter_rows(rows.data(), static_cast<qsizetype>(row_bytes),
                                   static_cast<int>(row_bytes), height, 1, RowFilter::kNone),
                       level != 0 ? level : 7);
}

bool encode_png(const QImage& image, int width, int height, QByteArray* out, QString* error,
                PngEffort effort, std::optional<QRgb> key) {
  if (width < 1 || height < 1 || width > image.width() || height > image.height()) {
    set_error(error,
              QCoreApplication::translate("tamrisk::PngCodec",
                                          "書き出す範囲 %1 × %2 が画像 %3 × %4 に収まりません。")
                  .arg(width)
                  .arg(height)
                  .arg(image.width())
                  .arg(image.height()));
    return false;
  }
  const QImage source =
      image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32
          ? image
          : image.convertToFormat(QImage::Format_RGB32);

  std::vector<QRgb> palette;
  std::vector<quint8> indices;
  const bool indexed = index_pixels(source, width, height, &palette, &indices);
  const int bit_depth = indexed ? palette_bit_depth(palette.size()) : 8;
  QByteArray idat;
  if (indexed) {
    idat = compress_palette_entries(indices.data(), width, height, bit_depth, effort);
  } else {
    const auto row_bytes = static_cast<size_t>(width) * 3;
    std::vector<uchar> rows(row_bytes * static_cast<size_t>(height));
    for (int y = 0; y < height; ++y) {
      pack_rgb(reinterpret_cast<const QRgb*>(source.constScanLine(y)), width,
               rows.data() + row_bytes * static_cast<size_t>(y));
    }
    // Measured on 640 x 480 and 1920 x 1080 frames (drawn scenes, dithered
    // and smooth, photographs and grain): RGB pixels go unfiltered, or
    // filtered by either rule, as they compress best (see rgb_coding).
    const RgbRows source_rows{rows.data(), static_cast<int>(row_bytes), height};
    const int level = effort_level(effort);
    int frame_level = kRgbFrameLevel;
    const bool for_mng = effort == PngEffort::kMngFrame;
    QByteArray chosen;
    const RgbCoding coding = rgb_coding(source_rows, effort == PngEffort::kFrame || for_mng,
                                        for_mng, &frame_level, &chosen);
    if (chosen.isEmpty()) {
      chosen = source_rows.filtered(kCodingFilter[static_cast<int>(coding)], 0, height);
    }
    idat = coding == RgbCoding::kRuns ? zlib_compress_runs(chosen)
                                      : zlib_compress(chosen, level != 0 ? level : frame_level);
  }
  if (idat.isEmpty()) {
    set_error(error,
              QCoreApplication::translate("tamrisk::PngCodec", "PNGを作れません（メモリ不足）。"));
    return false;
  }

  QByteArray bytes(kPngSignature, sizeof kPngSignature);
  append_png_chunk(&bytes, "IHDR",
                   png_header(width, height, bit_depth, indexed ? kPngPalette : kPngRgb));
  if (indexed) {
    QByteArray entries;
    for (QRgb colour : palette) {
      const char rgb[] = {static_cast<char>(qRed(colour)), static_cast<char>(qGreen(colour)),
                          static_cast<char>(qBlue(colour))};
      entries.append(rgb, 3);
    }
    append_png_chunk(&bytes, "PLTE", entries);
  }
  if (key) {
    const QByteArray alpha = transparency(*key & 0x00FFFFFFu, indexed, palette);
    if (!alpha.isEmpty()) {
      append_png_chunk(&bytes, "tRNS", alpha);
    }
  }
  append_png_chunk(&bytes, "IDAT", idat);
  append_png_chunk(&bytes, "IEND", QByteArray());
  *out = std::move(bytes);
  return true;
}

}  // namespace tamrisk
