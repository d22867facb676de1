#include "anim/frame_delta.h"

#include <gtest/gtest.h>

#include <QImage>

namespace tamrisk {
namespace {

TEST(FrameDelta, ChangedRectangle) {
  struct Case {
    const char* name;
    QList<QPoint> changed;  // pixels of a 16 x 12 frame given another colour
    QRect expected;
  };
  const Case cases[] = {
      {"equal frames", {}, QRect()},
      {"one pixel", {{5, 7}}, QRect(5, 7, 1, 1)},
      {"corners", {{0, 0}, {15, 11}}, QRect(0, 0, 16, 12)},
      {"two apart", {{3, 9}, {12, 2}}, QRect(QPoint(3, 2), QPoint(12, 9))},
      {"last column", {{15, 4}, {15, 6}}, QRect(QPoint(15, 4), QPoint(15, 6))},
  };
  QImage before(16, 12, QImage::Format_RGB32);
  before.fill(0xFF102030);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QImage after = before.copy();
    for (const QPoint& p : c.changed) {
      after.setPixel(p, 0xFF102031);
    }
    EXPECT_EQ(changed_rect(before, after), c.expected);
  }
  // Alpha alone is no change; a different size is all change.
  QImage alpha = before.convertToFormat(QImage::Format_ARGB32);
  alpha.setPixel(1, 1, 0x00102030);
  EXPECT_EQ(changed_rect(before.convertToFormat(QImage::Format_ARGB32), alpha), QRect());
  EXPECT_EQ(changed_rect(before, QImage(8, 8, QImage::Format_RGB32)), QRect(0, 0, 8, 8));
}

}  // namespace
}  // namespace tamrisk
