#include "anim/pixel_scale.h"

#include <cstring>

namespace tamrisk {

QImage scaled_up(const QImage& image, int factor) {
  const QImage source =
      image.format() == QImage::Format_RGB32 ? image : image.convertToFormat(QImage::Format_RGB32);
  if (factor <= 1 || source.isNull()) {
    return source;
  }
  QImage out(source.width() * factor, source.height() * factor, QImage::Format_RGB32);
  if (out.isNull()) {
    return out;
  }
  const auto row_bytes = static_cast<std::size_t>(out.width()) * 4;
  for (int y = 0; y < source.height(); ++y) {
    const auto* in = reinterpret_cast<const QRgb*>(source.constScanLine(y));
    auto* first = reinterpret_cast<QRgb*>(out.scanLine(y * factor));
    for (int x = 0; x < source.width(); ++x) {
      for (int i = 0; i < factor; ++i) {
        first[x * factor + i] = in[x];
      }
    }
    for (int i = 1; i < factor; ++i) {
      std::memcpy(out.scanLine(y * factor + i), first, row_bytes);
    }
  }
  return out;
}

}  // namespace tamrisk
