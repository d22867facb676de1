#pragma once

#include <QByteArray>
#include <QRgb>
#include <QString>
#include <QtGlobal>
#include <vector>

namespace tamrisk::test {

// A PNG to build with libpng for the reader's tests: samples are given one
// value per sample, row by row, and packed here at the file's bit depth.
struct PngLayout {
  int width = 1;
  int height = 1;
  int colour_type = 0;  // PNG_COLOR_TYPE_*
  int bit_depth = 8;
  bool interlaced = false;
  std::vector<unsigned> samples;
  std::vector<QRgb> palette;                 // colour type 3
  std::vector<unsigned char> palette_alpha;  // tRNS of a palette
  std::vector<unsigned> transparent;         // tRNS of grey (1 value) or RGB (3 values)
  bool extra_chunks = false;                 // gAMA, tEXt and tIME as well
};

QByteArray make_png(const PngLayout& layout);

// The chunks of a PNG datastream: type and data, in file order. Empty when
// the signature, a length or a CRC is wrong.
struct Chunk {
  QByteArray type;
  QByteArray data;
};
std::vector<Chunk> chunks_of(const QByteArray& png);

// A chunk with length and CRC, as it stands in a file.
QByteArray framed_chunk(const char* type, const QByteArray& data);

QByteArray read_file(const QString& path);
bool write_file(const QString& path, const QByteArray& bytes);

}  // namespace tamrisk::test
