#pragma once

#include <QImage>
#include <QString>

namespace tamrisk {

// Loads the PNG file pngf into the layer canvas tPicCntrl, which takes the
// picture's own size; transparency is flattened over the window colour of an empty canvas,
// so every fully transparent pixel gets one colour. Returns false and leaves
// the canvas exactly as it was when the file is not a PNG or cannot be
// decoded; *error (when not null) then says why.
bool ReadPNGFile(QImage& tPicCntrl, const QString& pngf, QString* error = nullptr);

}  // namespace tamrisk
