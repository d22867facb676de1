// The keyed copy and the frame composition against the plain per-pixel rule,
// written out here one pixel at a time, on random pictures and placements.
#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <random>

#include "model/project_model.h"
#include "render/compose.h"

namespace tamrisk {
namespace {

using Random = std::mt19937;

int uniform(Random& random, int low, int high) {
  return std::uniform_int_distribution<int>(low, high)(random);
}

// A picture of a few colours, so that the key turns up often; ARGB32
// pictures get random alpha, which the keyed copy ignores.
QImage random_picture(Random& random, int width, int height, QImage::Format format) {
  static const QRgb kColours[] = {0x102030, 0xFF00FF, 0x102031, 0x000000, 0xFFFFFF};
  QImage image(width, height, format);
  for (int y = 0; y < height; ++y) {
    auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < width; ++x) {
      const QRgb alpha = format == QImage::Format_ARGB32
                             ? static_cast<QRgb>(uniform(random, 0, 255)) << 24
                             : 0xFF000000u;
      row[x] = alpha | kColours[uniform(random, 0, 4)];
    }
  }
  return image;
}

// The rule itself: every source pixel inside both surfaces whose RGB is not
// the key's replaces the destination pixel, made opaque.
void plain_key_color_blt(QImage& dest, int x, int y, int width, int height, const QImage& src,
                         int src_x, int src_y, Colour key) {
  const QRgb key_rgb = colour_to_qrgb(key) & 0xFFFFFFu;
  for (qint64 j = 0; j < height; ++j) {
    for (qint64 i = 0; i < width; ++i) {
      const qint64 dx = x + i, dy = y + j, sx = src_x + i, sy = src_y + j;
      if (dx < 0 || dy < 0 || dx >= dest.width() || dy >= dest.height() || sx < 0 || sy < 0 ||
          sx >= src.width() || sy >= src.height()) {
        continue;
      }
      const QRgb p = reinterpret_cast<const QRgb*>(src.constScanLine(static_cast<int>(sy)))[sx];
      if ((p & 0xFFFFFFu) != key_rgb) {
        reinterpret_cast<QRgb*>(dest.scanLine(static_cast<int>(dy)))[dx] = p | 0xFF000000u;
      }
    }
  }
}

// Raw words, alpha included, so that "made opaque" is checked too.
bool same_words(const QImage& a, const QImage& b) {
  if (a.size() != b.size() || a.format() != b.format()) {
    return false;
  }
  for (int y = 0; y < a.height(); ++y) {
    if (std::memcmp(a.constScanLine(y), b.constScanLine(y), static_cast<size_t>(a.width()) * 4)) {
      return false;
    }
  }
  return true;
}

TEST(KeyCopyRule, FastCopyEqualsThePlainRuleOnRandomPictures) {
  Random random(20240607);
  for (int round = 0; round < 3000; ++round) {
    const auto src_format = round % 3 == 0 ? QImage::Format_ARGB32 : QImage::Format_RGB32;
    const auto dest_format = round % 5 == 0 ? QImage::Format_ARGB32 : QImage::Format_RGB32;
    const QImage src =
        random_picture(random, uniform(random, 1, 40), uniform(random, 1, 9), src_format);
    const QImage start =
        random_picture(random, uniform(random, 1, 45), uniform(random, 1, 9), dest_format);
    const int x = uniform(random, -50, 50), y = uniform(random, -10, 10);
    const int width = uniform(random, -3, 50), height = uniform(random, -2, 12);
    const int src_x = uniform(random, -10, 45), src_y = uniform(random, -3, 10);
    const Colour key = round % 7 == 0 ? 0x123456 : key_colour(src);
    SCOPED_TRACE(testing::Message() << "round " << round << ": " << x << "," << y << " " << width
                                    << "x" << height << " from " << src_x << "," << src_y);
    QImage fast = start.copy();
    QImage plain = start.copy();
    key_color_blt(fast, x, y, width, height, src, src_x, src_y, key);
    plain_key_color_blt(plain, x, y, width, height, src, src_x, src_y, key);
    ASSERT_TRUE(same_words(fast, plain));
  }
}

// One image as both source and destination: the rule reads the source as it
// was before the copy.
TEST(KeyCopyRule, OverlappingSelfCopyReadsTheSourceAsItWas) {
  Random random(7);
  for (int round = 0; round < 200; ++round) {
    const QImage start = random_picture(random, 37, 5, QImage::Format_RGB32);
    const int x = uniform(random, -8, 8), y = uniform(random, -2, 2);
    QImage fast = start.copy();
    key_color_blt(fast, x, y, 37, 5, fast, 0, 0, key_colour(start));
    QImage plain = start.copy();
    plain_key_color_blt(plain, x, y, 37, 5, start, 0, 0, key_colour(start));
    ASSERT_TRUE(same_words(fast, plain)) << "round " << round;
  }
}

// compose_frame's steps carried out with the plain rule: clear, background
// opaque, the pattern keyed and wrapped round the right edge, the foreground.
QImage plain_frame(const ProjectModel& model, QSize size) {
  QImage frame(size, QImage::Format_RGB32);
  frame.fill(colour_to_qrgb(kWindowColour));
  const QImage& bg = model.pic[kBackground];
  for (int y = 0; y < std::min(bg.height(), size.height()); ++y) {
    for (int x = 0; x < std::min(bg.width(), size.width()); ++x) {
      frame.setPixel(x, y, bg.pixel(x, y) | 0xFF000000u);
    }
  }
  const int k = model.cur_frame;
  const QString text = model.pattern_anime();
  const int entry = k < text.size() && text[k].isDigit() ? text[k].digitValue() : 0;
  const auto sum = model.cumulative_offset(k);
  const auto t = static_cast<std::int16_t>(model.sc_bar() * k + model.adjust_x() + sum.x);
  const int x = (5 * size.width() + t) % size.width();
  const auto y = static_cast<std::int16_t>(model.adjust_y() + sum.y);
  const QImage& p = model.pic[static_cast<size_t>(entry)];
  const int w1 = x + p.width() > size.width() ? size.width() - x : p.width();
  plain_key_color_blt(frame, x, y, w1, p.height(), p, 0, 0, key_colour(p));
  if (p.width() - w1 > 0) {
    plain_key_color_blt(frame, 0, y, p.width() - w1, p.height(), p, w1, 0, key_colour(p));
  }
  const QImage& fg = model.pic[kForeground];
  plain_key_color_blt(frame, 0, 0, fg.width(), fg.height(), fg, 0, 0, key_colour(fg));
  return frame;
}

// Backgrounds smaller and larger than the frame canvas, every frame of a
// short sequence.
TEST(KeyCopyRule, ComposedFramesEqualThePlainSteps) {
  Random random(99);
  for (int round = 0; round < 60; ++round) {
    ProjectModel model;
    const QSize size(uniform(random, 4, 60), uniform(random, 2, 20));
    model.pic[kBackground] = random_picture(random, uniform(random, 1, 70), uniform(random, 1, 24),
                                            QImage::Format_RGB32);
    for (int i = 1; i <= 3; ++i) {
      model.pic[static_cast<size_t>(i)] = random_picture(
          random, uniform(random, 1, 30), uniform(random, 1, 12), QImage::Format_RGB32);
    }
    model.pic[kForeground] = random_picture(random, uniform(random, 1, 70), uniform(random, 1, 24),
                                            QImage::Format_RGB32);
    model.win_main = QImage(size, QImage::Format_RGB32);
    model.set_background_ranges();
    model.set_adjust_x(uniform(random, -60, 60));
    model.set_adjust_y(uniform(random, -20, 20));
    model.set_sc_bar(uniform(random, -15, 15));
    model.set_pattern_anime(QStringLiteral("1203x1"));
    for (int k = 0; k < 6; ++k) {
      model.frame_dy[static_cast<size_t>(k)] = static_cast<std::int16_t>(uniform(random, -2, 2));
    }
    for (int k = 0; k < 6; ++k) {
      model.cur_frame = static_cast<std::int16_t>(k);
      compose_frame(model);
      ASSERT_TRUE(same_words(model.win_main, plain_frame(model, size)))
          << "round " << round << ", frame " << k;
    }
  }
}

}  // namespace
}  // namespace tamrisk
