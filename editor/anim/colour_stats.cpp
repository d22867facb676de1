#include "anim/colour_stats.h"

#include <bit>

namespace tamrisk {

bool ColourStats::add(const QImage& image, QRect rect, const QImage* except) {
  for (int y = rect.top(); y <= rect.bottom() && fits(); ++y) {
    const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y)) + rect.x();
    const QRgb* other = except != nullptr
                            ? reinterpret_cast<const QRgb*>(except->constScanLine(y)) + rect.x()
                            : nullptr;
    QRgb last = 0xFFFFFFFFu;  // no 0x00RRGGBB colour
    for (int x = 0; x < rect.width(); ++x) {
      const QRgb colour = row[x] & 0x00FFFFFFu;
      if (colour == last || (other != nullptr && colour == (other[x] & 0x00FFFFFFu))) {
        continue;
      }
      last = colour;
      if (!add(colour)) {
        return false;
      }
    }
  }
  return fits();
}

std::optional<QRgb> ColourBits::first_missing() const {
  for (std::size_t i = 0; i < bits_.size(); ++i) {
    if (bits_[i] != ~std::uint64_t{0}) {
      return static_cast<QRgb>(i << 6) + static_cast<QRgb>(std::countr_one(bits_[i]));
    }
  }
  return std::nullopt;
}

}  // namespace tamrisk
