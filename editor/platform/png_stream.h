#pragma once

#include <QByteArray>
#include <QtGlobal>

// The pieces a PNG or APNG file is made of: chunks, filtered scanlines and
// their zlib stream. The PNG writer and the APNG encoder share them.
namespace tamrisk {

// The eight bytes every PNG file starts with.
inline constexpr char kPngSignature[] = {'\x89', 'P', 'N', 'G', '\r', '\n', '\x1A', '\n'};

// IHDR colour types.
inline constexpr int kPngRgb = 2;
inline constexpr int kPngPalette = 3;
inline constexpr int kPngRgba = 6;

void append_be32(QByteArray* out, quint32 value);
void append_be16(QByteArray* out, quint16 value);

// Appends one chunk: length, type (four letters), data, and the CRC-32 of
// type and data.
void append_png_chunk(QByteArray* png, const char* type, const QByteArray& data);

// IHDR's data: no interlacing, the standard compression and filter methods.
QByteArray png_header(int width, int height, int bit_depth, int colour_type);

// How each scanline is filtered before compression.
enum class RowFilter {
  kNone,      // filter type 0 everywhere: best for palette indices
  kAdaptive,  // per row, sub, up or Paeth by the entropy of their output bytes
  kLeastSum,  // per row, the filter whose output bytes, taken as signed, sum
              // smallest in size (libpng's choice): best on grain and noise
};

// Filtered scanlines as a PNG's image data holds them before compression:
// each of `height` rows of `row_bytes` bytes (starting at rows + y * stride)
// preceded by its filter type byte. bytes_per_pixel is the distance to the
// left neighbour the filters use (1 for palette indices).
QByteArray filter_rows(const uchar* rows, qsizetype stride, int row_bytes, int height,
                       int bytes_per_pixel, RowFilter filter);

// The zlib stream of data at a compression level from 1 (fastest) to 12
// (smallest); the same data and level always give the same bytes. Empty when
// memory runs out.
QByteArray zlib_compress(const QByteArray& data, int level);
// The zlib stream of data matching only runs of one byte (zlib's Z_RLE
// strategy): photographs have few longer matches worth looking for, and
// filtered photographs come out smaller and sooner this way. Empty when
// memory runs out.
QByteArray zlib_compress_runs(const QByteArray& data);

}  // namespace tamrisk
