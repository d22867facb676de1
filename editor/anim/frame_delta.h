#pragma once

#include <QImage>
#include <QRect>

namespace tamrisk {

// The smallest rectangle that holds every pixel of `current` whose colour
// (the low 24 bits) differs from the pixel of `previous` at the same place.
// Both are Format_RGB32 or Format_ARGB32 images of the same size; the result
// is empty (QRect()) when the two show the same colours everywhere, and the
// whole image when their sizes differ.
QRect changed_rect(const QImage& previous, const QImage& current);

}  // namespace tamrisk
