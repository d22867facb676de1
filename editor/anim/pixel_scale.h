#pragma once

#include <QImage>
#include <QRect>

namespace tamrisk {

// The largest side an animation may have once scaled: what every format
// the export writes can hold (GIF and MNG readers keep sides in 16 bits).
inline constexpr int kMaxScaledSide = 32767;

// image with every pixel as a factor x factor block, nearest neighbour,
// never blurred; the image itself for a factor of 1. Format_RGB32; null when
// memory runs out.
QImage scaled_up(const QImage& image, int factor);

// rect of the image scaled by factor.
inline QRect scaled_up(QRect rect, int factor) {
  return QRect(rect.x() * factor, rect.y() * factor, rect.width() * factor, rect.height() * factor);
}

}  // namespace tamrisk
