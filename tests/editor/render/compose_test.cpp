#include <gtest/gtest.h>

#include "grid.h"
#include "model/project_model.h"
#include "render/compose.h"

namespace tamrisk {
namespace {

using test::grid;
using test::grid_colour;
using test::text_of;

Colour key_of(char c) {
  return qrgb_to_colour(grid_colour(c));
}

TEST(KeyColorBlt, CopiesAllButTheKeyAndClipsAtEveryEdge) {
  const QImage src = grid("kab/cdk");  // key 'k' at the top left and bottom right
  const struct {
    const char* name;
    int x, y, width, height, src_x, src_y;
    const char* expected;
  } kCases[] = {
      {"whole source", 0, 0, 3, 2, 0, 0, ".ab./cd../...."},
      {"bottom right, clipped", 2, 1, 3, 2, 0, 0, "..../...a/..cd"},
      {"negative x and y", -1, -1, 3, 2, 0, 0, "d.../..../...."},
      {"source offset", 0, 0, 2, 2, 1, 0, "ab../d.../...."},
      {"area wider than the source", 0, 0, 5, 4, 0, 0, ".ab./cd../...."},
      {"negative source x", 0, 0, 3, 2, -1, 0, "..a./.cd./...."},
      {"negative source y", 1, 0, 3, 2, 0, -1, "..../..ab/...."},
      {"right of the surface", 4, 0, 3, 2, 0, 0, "..../..../...."},
      {"below the surface", 0, 3, 3, 2, 0, 0, "..../..../...."},
      {"zero width", 0, 0, 0, 2, 0, 0, "..../..../...."},
      {"negative height", 0, 0, 3, -2, 0, 0, "..../..../...."},
      {"far outside", -2147483647, 2147483647, 3, 2, 0, 0, "..../..../...."},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    QImage dest = grid("..../..../....");
    key_color_blt(dest, c.x, c.y, c.width, c.height, src, c.src_x, c.src_y, key_of('k'));
    EXPECT_EQ(text_of(dest), c.expected);
  }
}

// The key is 0x00BBGGRR; one step in any one channel makes a pixel opaque.
TEST(KeyColorBlt, OnlyTheExactKeyIsTransparent) {
  QImage src(1, 1, QImage::Format_RGB32);
  src.setPixel(0, 0, qRgb(10, 20, 30));
  const struct {
    Colour key;
    bool drawn;
  } kCases[] = {
      {0x001E140A, false}, {0x001E140B, true}, {0x001E150A, true},
      {0x001F140A, true},  {0x001E1409, true}, {0x000A141E, true},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.key);
    QImage dest(1, 1, QImage::Format_RGB32);
    dest.fill(qRgb(1, 1, 1));
    key_color_blt(dest, 0, 0, 1, 1, src, 0, 0, c.key);
    EXPECT_EQ(dest.pixel(0, 0), c.drawn ? qRgb(10, 20, 30) : qRgb(1, 1, 1));
  }
}

TEST(KeyColorBlt, SourceMayBeTheDestination) {
  QImage image = grid("kab.");
  key_color_blt(image, 1, 0, 3, 1, image, 0, 0, key_of('k'));
  EXPECT_EQ(text_of(image), "kaab");
}

// A frame of 8 x 2 over a plain background, pattern 1 = "kab/cde" keyed by 'k'.
class ComposeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    model.pic[kBackground] = grid("......../........");
    model.pic[1] = grid("kab/cde");
    model.fit_frame_canvas();
    model.set_pattern_anime(QStringLiteral("1"));
  }
  std::string frame() const { return text_of(model.win_main); }
  ProjectModel model;
};

TEST_F(ComposeTest, WrapsThePatternRoundTheRightEdge) {
  const struct {
    const char* name;
    int adjust_x;
    int adjust_y;
    const char* expected;
  } kCases[] = {
      {"t = 0", 0, 0, ".ab...../cde....."},
      {"ends at the right edge: one piece", 5, 0, "......ab/.....cde"},
      {"one column more: last column at x = 0", 6, 0, "b......a/e.....cd"},
      {"t = -3 starts at W - 3", -3, 0, "......ab/.....cde"},
      {"t = W starts at 0", 8, 0, ".ab...../cde....."},
      {"t = -5W starts at 0", -40, 0, ".ab...../cde....."},
      {"t < -5W is left of the canvas", -41, 0, "ab....../de......"},
      {"t = W + 5", 13, 0, "......ab/.....cde"},
      {"down one row, bottom clipped", 0, 1, "......../.ab....."},
      {"up one row, top clipped", 0, -1, "cde...../........"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    model.set_adjust_x(c.adjust_x);
    model.set_adjust_y(c.adjust_y);
    ASSERT_EQ(model.adjust_x(), c.adjust_x);
    compose_frame(model);
    EXPECT_EQ(frame(), c.expected);
  }
}

// t = sc_bar * cur_frame + adjust_x + frame_dx[0..k]; y = adjust_y + frame_dy[0..k].
TEST_F(ComposeTest, PlacesThePatternByAdvanceAndAccumulatedOffsets) {
  model.set_pattern_anime(QStringLiteral("1111"));
  model.set_sc_bar(2);
  model.set_adjust_x(1);
  model.frame_dx = {1, 0, 1, 100};
  model.frame_dy = {1, 0, 0, 5};
  model.cur_frame = 2;  // t = 4 + 1 + 2 = 7, y = 1
  compose_frame(model);
  EXPECT_EQ(frame(), "......../ab......");
  model.frame_dy = {0, 0, 0, 5};  // y = 0
  compose_frame(model);
  EXPECT_EQ(frame(), "ab....../de.....c");
}

TEST_F(ComposeTest, ChoosesTheLayerOfTheCurrentFrame) {
  // A 4 x 1 frame; pattern i is "k" and the digit i, drawn at x = 1. Where
  // the background "qrst" is the pattern, keyed by 'q', it wraps at x = 1.
  model.pic[kBackground] = grid("qrst");
  model.fit_frame_canvas();
  for (int i = 1; i <= 9; ++i) {
    model.pic[static_cast<size_t>(i)] = grid(std::string("k") + static_cast<char>('0' + i));
  }
  model.set_adjust_x(1);
  const struct {
    const char16_t* text;
    int cur_frame;
    const char* expected;
  } kCases[] = {
      {u"12", 0, "qr1t"},  {u"12", 1, "qr2t"},      {u"99", 1, "qr9t"},  {u"10", 1, "trrs"},
      {u"1x", 1, "trrs"},  {u"1\uFF11", 1, "trrs"}, {u"12", 2, "trrs"},  {u"", 0, "trrs"},
      {u"12", 90, "trrs"}, {u"12", 200, "trrs"},    {u"12", -1, "trrs"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(std::to_string(c.cur_frame) + " " + QString::fromUtf16(c.text).toStdString());
    model.set_pattern_anime(QString::fromUtf16(c.text));
    model.cur_frame = static_cast<std::int16_t>(c.cur_frame);
    compose_frame(model);
    EXPECT_EQ(frame(), c.expected);
  }
}

TEST_F(ComposeTest, UniformLayersDrawNothingAndTheForegroundGoesOnTop) {
  model.pic[kBackground] = grid("qrst");
  model.fit_frame_canvas();
  model.pic[1] = grid("k1");
  model.set_adjust_x(1);
  model.set_pattern_anime(QStringLiteral("3"));  // pattern 3 holds no picture
  compose_frame(model);
  EXPECT_EQ(frame(), "qrst");

  model.set_pattern_anime(QStringLiteral("1"));
  model.pic[kForeground] = grid("kkkf/ffff");
  compose_frame(model);
  EXPECT_EQ(frame(), "qr1f");
}

// Parts of the frame canvas the background does not cover get the window
// colour: the canvas is cleared before every frame.
TEST_F(ComposeTest, ClearsTheFrameFirst) {
  model.win_main = grid("zzzzzzzzz/zzzzzzzzz/zzzzzzzzz");
  model.set_pattern_anime(QStringLiteral("3"));
  compose_frame(model);
  EXPECT_EQ(frame(), "........w/........w/wwwwwwwww");
}

TEST_F(ComposeTest, AdjustPreviewNeedsAdjustMode) {
  model.win_main = grid("zzzzzz/zzzzzz");
  model.pic[kBackground] = grid("qrst/qrst");
  model.pic[2] = grid("k2");
  model.pic[kForeground] = grid("kf");
  model.set_pattern_anime(QStringLiteral("2"));
  model.set_adjust_x(2);
  const qint64 untouched = model.win_main.cacheKey();
  draw_adjust_preview(model);
  EXPECT_EQ(model.win_main.cacheKey(), untouched);
  EXPECT_EQ(frame(), "zzzzzz/zzzzzz");

  // Background and pattern 1 only: no clearing, no sequence, no foreground.
  model.adjust_on = true;
  draw_adjust_preview(model);
  EXPECT_EQ(frame(), "qrsabz/qrcdez");
  // No wrap round the right edge; columns 4 and 5 keep the last preview.
  model.set_adjust_x(4);
  model.set_adjust_y(-1);
  draw_adjust_preview(model);
  EXPECT_EQ(frame(), "qrstcd/qrstez");
}

TEST(ZoomImage, MakesEveryPixelAFourByFourBlock) {
  const QImage frame = grid("ab/cd/ef");
  const QImage zoomed = zoom_image(frame);
  ASSERT_EQ(zoomed.size(), QSize(8, 12));
  EXPECT_EQ(text_of(zoomed),
            "aaaabbbb/aaaabbbb/aaaabbbb/aaaabbbb/"
            "ccccdddd/ccccdddd/ccccdddd/ccccdddd/"
            "eeeeffff/eeeeffff/eeeeffff/eeeeffff");
  EXPECT_TRUE(zoom_image(QImage()).isNull());
  EXPECT_EQ(text_of(zoom_image(frame, 2)), "aabb/aabb/ccdd/ccdd/eeff/eeff");
}

}  // namespace
}  // namespace tamrisk
