#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <cstddef>
#include <optional>

// The PNG writer: pixels to the bytes of a PNG file, without touching any
// file. The animation encoders use it as the export's frame files do.
namespace tamrisk {

// Encodes the top-left width x height pixels of `image` losslessly (alpha is
// ignored). A picture of at most 256 colours becomes a palette PNG of the
// smallest bit depth that holds them, palette entries in order of first
// appearance in scan order; any other becomes 8-bit RGB. Only IHDR, PLTE,
// IDAT and IEND are written, so the same pixels always give the same bytes.
// Returns false with a message when the area does not fit in the image.
// How hard encode_png compresses: kFrame is the export's frame files, fast;
// kMngFrame the same when the whole-frame MNG is made of them, harder on
// grainy RGB pictures, where that costs least; kStrong spends a few times that for files some
// percent smaller (the rectangles of an animation, written once and sent often); kSmallest several
// times more again for the last percent (a whole first frame).
enum class PngEffort { kFrame, kMngFrame, kStrong, kSmallest };
// With a key colour, a tRNS chunk makes the pixels of that colour fully
// transparent (a key the area does not show changes nothing).
bool encode_png(const QImage& image, int width, int height, QByteArray* out, QString* error,
                PngEffort effort = PngEffort::kFrame, std::optional<QRgb> key = std::nullopt);

// The smallest bit depth of a palette of `colours` entries (1, 2, 4 or 8).
int palette_bit_depth(size_t colours);
// The IDAT data of palette entries, one a byte, width x height row by row,
// packed to bit_depth and compressed as encode_png compresses palette
// pictures at `effort`; empty when memory runs out.
QByteArray compress_palette_entries(const quint8* entries, int width, int height, int bit_depth,
                                    PngEffort effort);

}  // namespace tamrisk
