#include "png_test_support.h"

#include <png.h>
#include <zlib.h>

#include <QFile>
#include <cstdio>
#include <cstdlib>

namespace tamrisk::test {
namespace {

// A malformed test description is a bug in the test: stop at once.
void on_error(png_structp, png_const_charp message) {
  std::fprintf(stderr, "make_png: %s\n", message);
  std::abort();
}
void on_write(png_structp png, png_bytep data, size_t length) {
  static_cast<QByteArray*>(png_get_io_ptr(png))
      ->append(reinterpret_cast<const char*>(data), static_cast<qsizetype>(length));
}
void on_flush(png_structp) {}

int channels(int colour_type) {
  switch (colour_type) {
    case PNG_COLOR_TYPE_GRAY_ALPHA:
      return 2;
    case PNG_COLOR_TYPE_RGB:
      return 3;
    case PNG_COLOR_TYPE_RGB_ALPHA:
      return 4;
    default:
      return 1;
  }
}

// Packs one row of samples, most significant bits first.
std::vector<png_byte> pack_row(const PngLayout& layout, int y) {
  const int per_row = layout.width * channels(layout.colour_type);
  std::vector<png_byte> row((static_cast<size_t>(per_row) * layout.bit_depth + 7) / 8);
  for (int i = 0; i < per_row; ++i) {
    const unsigned v = layout.samples.at(static_cast<size_t>(y * per_row + i));
    if (layout.bit_depth == 16) {
      row[static_cast<size_t>(2 * i)] = static_cast<png_byte>(v >> 8);
      row[static_cast<size_t>(2 * i + 1)] = static_cast<png_byte>(v);
    } else {
      const int bit = i * layout.bit_depth;
      const int shift = 8 - layout.bit_depth - bit % 8;
      row[static_cast<size_t>(bit / 8)] |= static_cast<png_byte>(v << shift);
    }
  }
  return row;
}

}  // namespace

QByteArray make_png(const PngLayout& layout) {
  QByteArray out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, on_error, nullptr);
  png_infop info = png_create_info_struct(png);
  png_set_write_fn(png, &out, on_write, on_flush);
  png_set_IHDR(png, info, static_cast<png_uint_32>(layout.width),
               static_cast<png_uint_32>(layout.height), layout.bit_depth, layout.colour_type,
               layout.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  std::vector<png_color> palette;
  for (QRgb c : layout.palette) {
    palette.push_back({static_cast<png_byte>(qRed(c)), static_cast<png_byte>(qGreen(c)),
                       static_cast<png_byte>(qBlue(c))});
  }
  if (!palette.empty()) {
    png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
  }
  if (!layout.palette_alpha.empty()) {
    std::vector<png_byte> alpha(layout.palette_alpha.begin(), layout.palette_alpha.end());
    png_set_tRNS(png, info, alpha.data(), static_cast<int>(alpha.size()), nullptr);
  } else if (!layout.transparent.empty()) {
    png_color_16 colour{};
    if (layout.transparent.size() == 1) {
      colour.gray = static_cast<png_uint_16>(layout.transparent[0]);
    } else {
      colour.red = static_cast<png_uint_16>(layout.transparent[0]);
      colour.green = static_cast<png_uint_16>(layout.transparent[1]);
      colour.blue = static_cast<png_uint_16>(layout.transparent[2]);
    }
    png_set_tRNS(png, info, nullptr, 0, &colour);
  }
  if (layout.extra_chunks) {
    png_set_gAMA(png, info, 0.45455);
    png_text text{};
    char key[] = "Comment";
    char value[] = "made for a test";
    text.compression = PNG_TEXT_COMPRESSION_NONE;
    text.key = key;
    text.text = value;
    png_set_text(png, info, &text, 1);
    png_time time{2001, 2, 3, 4, 5, 6};
    png_set_tIME(png, info, &time);
  }
  png_write_info(png, info);
  std::vector<std::vector<png_byte>> rows;
  std::vector<png_bytep> row_pointers;
  for (int y = 0; y < layout.height; ++y) {
    rows.push_back(pack_row(layout, y));
  }
  for (auto& row : rows) {
    row_pointers.push_back(row.data());
  }
  png_write_image(png, row_pointers.data());
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return out;
}

std::vector<Chunk> chunks_of(const QByteArray& png) {
  static const char kSignature[] = "\x89PNG\r\n\x1a\n";
  if (!png.startsWith(QByteArray(kSignature, 8))) {
    return {};
  }
  std::vector<Chunk> chunks;
  qsizetype pos = 8;
  auto u32 = [&png](qsizetype at) {
    return static_cast<quint32>(static_cast<unsigned char>(png[at])) << 24 |
           static_cast<quint32>(static_cast<unsigned char>(png[at + 1])) << 16 |
           static_cast<quint32>(static_cast<unsigned char>(png[at + 2])) << 8 |
           static_cast<quint32>(static_cast<unsigned char>(png[at + 3]));
  };
  while (pos < png.size()) {
    if (png.size() - pos < 12) {
      return {};
    }
    const quint32 length = u32(pos);
    if (length > static_cast<quint32>(png.size() - pos - 12)) {
      return {};
    }
    const QByteArray body = png.mid(pos + 4, 4 + static_cast<qsizetype>(length));
    const uLong crc =
        crc32(0, reinterpret_cast<const Bytef*>(body.constData()), static_cast<uInt>(body.size()));
    if (crc != u32(pos + 8 + static_cast<qsizetype>(length))) {
      return {};
    }
    chunks.push_back({body.left(4), body.mid(4)});
    pos += 12 + static_cast<qsizetype>(length);
  }
  return chunks;
}

QByteArray framed_chunk(const char* type, const QByteArray& data) {
  QByteArray out;
  const auto length = static_cast<quint32>(data.size());
  for (int shift = 24; shift >= 0; shift -= 8) {
    out.append(static_cast<char>((length >> shift) & 0xFF));
  }
  const QByteArray body = QByteArray(type, 4) + data;
  out += body;
  const uLong crc =
      crc32(0, reinterpret_cast<const Bytef*>(body.constData()), static_cast<uInt>(body.size()));
  for (int shift = 24; shift >= 0; shift -= 8) {
    out.append(static_cast<char>((crc >> shift) & 0xFF));
  }
  return out;
}

QByteArray read_file(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool write_file(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

}  // namespace tamrisk::test
