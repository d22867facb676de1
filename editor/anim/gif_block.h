#pragma once

#include <QByteArray>
#include <QRect>
#include <QRgb>
#include <QString>

#include <cstdint>
#include <vector>

struct GifFileType;

namespace tamrisk {

// A frame's rectangle as indices into a colour table.
struct GifPicture {
  QRect rect;
  std::vector<std::uint8_t> indices;  // row by row
  std::vector<QRgb> local;            // the local colour table; empty: the global one
  int transparent = -1;               // the transparent index; -1 for none
};

// Bits to number `colours` entries (at least 1): the depth of a colour table.
int gif_table_bits(std::size_t colours);
// The LZW minimum code size that GifBlockEncoder gives the picture: the depth
// of its local table, or on the global table the depth that holds the largest
// index it uses (at least 2, as GIF demands).
int gif_code_size(const GifPicture& picture);

// giflib's encoder, used for one image block at a time: the image descriptor,
// the local colour table (padded to a power of two with black) and the LZW
// data, without the graphic control extension. The caller assembles the file
// around the blocks and may try several blocks for one frame.
class GifBlockEncoder {
 public:
  GifBlockEncoder();
  GifBlockEncoder(const GifBlockEncoder&) = delete;
  GifBlockEncoder& operator=(const GifBlockEncoder&) = delete;
  ~GifBlockEncoder();

  // false with a message naming giflib's error. giflib may rewrite the
  // indices (it masks them to the code size, which changes none).
  bool encode(GifPicture& picture, QByteArray* block, QString* error);

 private:
  bool failed(QString* error) const;
  void close();

  GifFileType* gif_ = nullptr;
  QByteArray bytes_;
  int error_ = 0;
};

}  // namespace tamrisk
