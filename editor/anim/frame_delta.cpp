#include "anim/frame_delta.h"

#include <algorithm>

namespace tamrisk {
namespace {

constexpr QRgb kColourMask = 0x00FFFFFFu;

const QRgb* row_of(const QImage& image, int y) {
  return reinterpret_cast<const QRgb*>(image.constScanLine(y));
}

bool rows_equal(const QImage& a, const QImage& b, int y) {
  const QRgb* ra = row_of(a, y);
  const QRgb* rb = row_of(b, y);
  for (int x = 0, w = a.width(); x < w; ++x) {
    if (((ra[x] ^ rb[x]) & kColourMask) != 0) {
      return false;
    }
  }
  return true;
}

}  // namespace

QRect changed_rect(const QImage& previous, const QImage& current) {
  if (previous.size() != current.size() || previous.depth() != 32 || current.depth() != 32) {
    return current.rect();
  }
  const int width = current.width();
  int top = 0;
  int bottom = current.height() - 1;
  while (top <= bottom && rows_equal(previous, current, top)) {
    ++top;
  }
  if (top > bottom) {
    return {};
  }
  while (bottom > top && rows_equal(previous, current, bottom)) {
    --bottom;
  }
  // Every row between top and bottom may differ anywhere: narrow the columns
  // from both sides over those rows.
  int left = width;
  int right = -1;
  for (int y = top; y <= bottom; ++y) {
    const QRgb* ra = row_of(previous, y);
    const QRgb* rb = row_of(current, y);
    int x = 0;
    while (x < std::min(left, width) && ((ra[x] ^ rb[x]) & kColourMask) == 0) {
      ++x;
    }
    left = std::min(left, x);
    int r = width - 1;
    while (r > right && ((ra[r] ^ rb[r]) & kColourMask) == 0) {
      --r;
    }
    right = std::max(right, r);
  }
  return QRect(QPoint(left, top), QPoint(right, bottom));
}

}  // namespace tamrisk
