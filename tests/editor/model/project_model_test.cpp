#include <gtest/gtest.h>

#include "model/project_model.h"

namespace tamrisk {
namespace {

const QRgb kGrey = qRgb(0xF0, 0xF0, 0xF0);

TEST(ProjectModel, StartsWithTheDefaults) {
  const ProjectModel m(QStringLiteral("/opt/tamrisk"));
  for (int i = 0; i < kLayerCount; ++i) {
    SCOPED_TRACE(i);
    EXPECT_TRUE(m.layer_path[i].isEmpty());
    const QSize size = (i == 0 || i == 10) ? QSize(350, 70) : QSize(60, 60);
    EXPECT_EQ(m.pic[i].size(), size);
    EXPECT_EQ(m.pic[i].format(), QImage::Format_RGB32);
    EXPECT_EQ(m.pic[i].pixel(size.width() - 1, size.height() - 1), kGrey);
  }
  EXPECT_EQ(m.win_main.size(), QSize(350, 70));
  EXPECT_TRUE(m.pattern_anime().isEmpty());
  EXPECT_EQ(m.frame_count(), 0);
  EXPECT_EQ(m.frame_dx, decltype(m.frame_dx){});
  EXPECT_EQ(m.frame_dy, decltype(m.frame_dy){});
  EXPECT_TRUE(m.bg_from_file);
  EXPECT_EQ(m.bg_colour, 0xFFFFFFu);
  EXPECT_EQ(m.bg_width, 80);
  EXPECT_EQ(m.bg_height, 50);
  EXPECT_FALSE(m.png_output);
  EXPECT_EQ(m.basename, QStringLiteral("sample"));
  EXPECT_EQ(m.path_ref, QStringLiteral("/opt/tamrisk"));
  EXPECT_EQ(m.output_dir, QStringLiteral("/opt/tamrisk"));
  EXPECT_FALSE(m.output_drive.isEmpty());
  EXPECT_EQ(m.adjust_x_range().min, -60);
  EXPECT_EQ(m.adjust_x_range().max, 100);
  EXPECT_EQ(m.adjust_y_range().min, -100);
  EXPECT_EQ(m.adjust_y_range().max, 100);
  EXPECT_EQ(m.sc_bar(), 0);
  EXPECT_FALSE(m.adjust_on || m.fine_on || m.zoom_on || m.anime_on);
}

TEST(ProjectModel, NamesTheLayers) {
  const struct {
    int layer;
    const char* name;
  } kNames[] = {{0, "背景"}, {1, "パターン１"}, {5, "パターン５"}, {9, "パターン９"}, {10, "前景"}};
  for (const auto& c : kNames) {
    EXPECT_EQ(ProjectModel::layer_name(c.layer), QString::fromUtf8(c.name));
  }
}

TEST(ProjectModel, SumsOffsetsUpToAndIncludingTheFrame) {
  ProjectModel m;
  m.frame_dx[0] = 2;
  m.frame_dx[1] = 3;
  m.frame_dy[0] = -1;
  m.frame_dy[1] = 4;
  m.frame_dx[90] = 100;
  EXPECT_EQ(m.cumulative_offset(0).x, 2);
  EXPECT_EQ(m.cumulative_offset(0).y, -1);
  EXPECT_EQ(m.cumulative_offset(1).x, 5);
  EXPECT_EQ(m.cumulative_offset(1).y, 3);
  EXPECT_EQ(m.cumulative_offset(89).x, 5);
  EXPECT_EQ(m.cumulative_offset(90).x, 105);
  EXPECT_EQ(m.cumulative_offset(5000).x, 105);  // never past the table
  EXPECT_EQ(m.cumulative_offset(-1).x, 0);
  EXPECT_EQ(m.frame_offset(1).x, 3);
  EXPECT_EQ(m.frame_offset(90).x, 100);
  EXPECT_EQ(m.frame_offset(91).x, 0);  // outside the table
  EXPECT_EQ(m.frame_offset(-1).x, 0);

  m.reset_frame_offsets();
  m.frame_dx[0] = 32767;
  m.frame_dx[1] = 1;
  m.frame_dy[0] = -32768;
  m.frame_dy[1] = -1;
  EXPECT_EQ(m.cumulative_offset(1).x, -32768);  // 16-bit sums wrap round
  EXPECT_EQ(m.cumulative_offset(1).y, 32767);
}

TEST(ProjectModel, BackgroundSetsAndClampsThePlacementRanges) {
  ProjectModel m;
  m.set_adjust_x(150);  // beyond the start-up bound
  EXPECT_EQ(m.adjust_x(), 100);
  m.set_adjust_x(-61);
  EXPECT_EQ(m.adjust_x(), -60);

  m.pic[0] = QImage(200, 40, QImage::Format_RGB32);
  m.set_adjust_x(90);
  m.set_adjust_y(-80);
  m.set_background_ranges();
  EXPECT_EQ(m.adjust_x_range().min, -60);
  EXPECT_EQ(m.adjust_x_range().max, 200);
  EXPECT_EQ(m.adjust_y_range().min, -40);
  EXPECT_EQ(m.adjust_y_range().max, 40);
  EXPECT_EQ(m.adjust_x(), 90);
  EXPECT_EQ(m.adjust_y(), -40);  // left outside, brought to the nearest bound
  m.set_adjust_x(201);
  EXPECT_EQ(m.adjust_x(), 200);

  m.pic[0] = QImage(50, 10, QImage::Format_RGB32);
  m.set_background_ranges();
  EXPECT_EQ(m.adjust_x(), 50);
  // Ranges set directly (as an undo sets them back) clamp in the same way.
  m.set_adjust_ranges(Range{-60, 30}, Range{-3, 3});
  EXPECT_EQ(m.adjust_x(), 30);
  EXPECT_EQ(m.adjust_y(), -3);
}

TEST(ProjectModel, KeepsScBarAndSequenceWithinBounds) {
  const struct {
    int value;
    int expected;
  } kScBar[] = {{0, 0}, {12, 12}, {15, 15}, {16, 15}, {-15, -15}, {-40000, -15}};
  ProjectModel m;
  for (const auto& c : kScBar) {
    m.set_sc_bar(c.value);
    EXPECT_EQ(m.sc_bar(), c.expected) << c.value;
  }
  m.set_pattern_anime(QString(500, QLatin1Char('7')));
  EXPECT_EQ(m.frame_count(), 91);
  EXPECT_EQ(m.pattern_anime(), QString(91, QLatin1Char('7')));
  // A character outside the basic plane is never cut in half.
  m.set_pattern_anime(QString(90, QLatin1Char('1')) + QString::fromUtf8("\xF0\x9F\x98\x80"));
  EXPECT_EQ(m.frame_count(), 90);
}

TEST(ProjectModel, BuildsThePlainBackgroundInPixels) {
  ProjectModel m;
  m.bg_width = 4800;
  m.bg_height = 3600;
  m.bg_colour = 0x0000FF;  // 0x00BBGGRR: red
  m.set_plain_background();
  m.fit_frame_canvas();
  EXPECT_EQ(m.pic[0].size(), QSize(320, 240));
  EXPECT_EQ(m.pic[0].pixel(319, 239), qRgb(255, 0, 0));
  EXPECT_EQ(m.win_main.size(), QSize(320, 240));

  m.bg_width = 158;  // 10.53 pixels
  m.bg_height = 0;
  m.set_plain_background();
  EXPECT_EQ(m.pic[0].size(), QSize(11, 1));  // never an empty canvas
}

TEST(ProjectModel, ConvertsColoursAtTheQtBoundary) {
  EXPECT_EQ(colour_to_qrgb(0x123456), qRgb(0x56, 0x34, 0x12));
  EXPECT_EQ(qrgb_to_colour(qRgba(0x56, 0x34, 0x12, 0x80)), 0x123456u);
  EXPECT_EQ(ProjectModel::twips_to_pixels(22), 1);
  EXPECT_EQ(ProjectModel::twips_to_pixels(23), 2);
  EXPECT_EQ(ProjectModel::twips_to_pixels(-23), -2);
}

}  // namespace
}  // namespace tamrisk
