#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QtGlobal>

#include "platform/png_encode.h"

class QIODevice;

namespace tamrisk {

// The light window grey of a canvas that holds no picture, as 0xFFRRGGBB.
// Transparent pixels of a PNG are flattened over it unless the caller names
// another colour.
inline constexpr QRgb kEmptyCanvasColour = 0xFFF0F0F0;

// Pictures whose header claims more pixels than this, or a side longer than
// kMaxPngSide, are refused before any pixel memory is allocated.
inline constexpr qint64 kMaxPngPixels = qint64{1} << 28;
inline constexpr quint32 kMaxPngSide = 1u << 20;

// Decodes any valid PNG (every colour type and bit depth, interlaced or not,
// tRNS, 16-bit samples cut to 8) into a Format_RGB32 image of the file's own
// size. Alpha is flattened over `matte`: fully transparent pixels become
// exactly `matte`, partly transparent ones a blend; gamma and colour profiles
// are ignored. Returns false, leaves *out untouched and puts a message in
// *error (when not null) if the data is not a PNG or cannot be decoded.
bool read_png(const QString& path, QImage* out, QString* error, QRgb matte = kEmptyCanvasColour);
// The same over an open device, read from its current position.
bool read_png(QIODevice& device, QImage* out, QString* error, QRgb matte = kEmptyCanvasColour);

// encode_png, then writes the bytes to `path` atomically: a failed write
// leaves an existing file as it was.
bool write_png(const QImage& image, int width, int height, const QString& path, QString* error);
// The second half of write_png: bytes that encode_png made, written to path
// atomically.
bool write_png_bytes(const QByteArray& bytes, const QString& path, QString* error);

}  // namespace tamrisk
