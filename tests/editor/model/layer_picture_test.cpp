#include <gtest/gtest.h>

#include "model/layer_picture.h"
#include "model_test_support.h"

namespace tamrisk {
namespace {

// Readers that note which of them ran; a success hands back a 200 x 40
// picture, a failure leaves a part read and gives `reason` as its reason.
PictureReaders Recording(QStringList* calls, bool succeed, const QString& reason = {}) {
  auto reader = [calls, succeed, reason](const char* name) {
    return [calls, succeed, reason, name](QImage& canvas, const QString&, QString* why) {
      *calls << QString::fromLatin1(name);
      if (succeed) {
        canvas = QImage(200, 40, QImage::Format_ARGB32);
      } else {
        canvas = QImage(5, 5, QImage::Format_RGB32);  // what a truncated file gave
        *why = reason;
      }
      return succeed;
    };
  };
  return PictureReaders{reader("png"), reader("other")};
}

TEST(LayerPicture, APatternChangesOnlyItsLayer) {
  ProjectModel m;
  m.bg_from_file = false;
  m.adjust_on = true;
  m.win_main.fill(qRgb(1, 2, 3));
  ProjectModel expected = m;
  QStringList calls;
  ASSERT_TRUE(
      load_layer_picture(m, 10, QStringLiteral("/a.bmp"), true, nullptr, Recording(&calls, true)));
  EXPECT_EQ(calls, QStringList{"png"});  // the type text decides, not the name
  EXPECT_EQ(m.pic[10].format(), QImage::Format_RGB32);
  expected.pic[10] = m.pic[10];
  expected.layer_path[10] = QStringLiteral("/a.bmp");
  EXPECT_TRUE(test::SameModel(m, expected));
}

TEST(LayerPicture, ABackgroundSetsTheFrameSizeAndRangesAndEndsAdjustMode) {
  ProjectModel m;
  m.bg_from_file = false;
  m.adjust_on = true;
  m.set_adjust_y(-80);
  m.win_main.fill(qRgb(1, 2, 3));
  QStringList calls;
  ASSERT_TRUE(
      load_layer_picture(m, 0, QStringLiteral("/bg.png"), false, nullptr, Recording(&calls, true)));
  EXPECT_EQ(calls, QStringList{"other"});
  EXPECT_TRUE(m.bg_from_file);
  EXPECT_FALSE(m.adjust_on);
  EXPECT_EQ(m.win_main, ProjectModel::empty_canvas(0).copy(0, 0, 200, 40));
  EXPECT_EQ(m.adjust_x_range().max, 200);
  EXPECT_EQ(m.adjust_y_range().min, -40);
  EXPECT_EQ(m.adjust_y_range().max, 40);
  EXPECT_EQ(m.adjust_y(), -40);  // brought into the new range
}

TEST(LayerPicture, AFailedReadChangesNothingAndSaysWhy) {
  ProjectModel m;
  m.adjust_on = true;
  m.bg_from_file = false;
  m.layer_path[0] = QStringLiteral("/good.png");
  const ProjectModel before = m;
  QStringList calls;
  QString error;
  EXPECT_FALSE(
      load_layer_picture(m, 0, QStringLiteral("/bad.png"), true, &error, Recording(&calls, false)));
  EXPECT_TRUE(test::SameModel(m, before));
  EXPECT_EQ(error, QStringLiteral("背景に「/bad.png」を読み込めません。\n"
                                  "PNG画像ではないか、壊れています。"));
}

TEST(LayerPicture, AReasonFromTheReaderIsPassedOn) {
  const struct {
    bool png_reader;
    QString reason;
    QString message;
  } kCases[] = {
      {true, QStringLiteral("PNGファイルが壊れています（IDAT: CRC error）。"),
       QStringLiteral("パターン２に「/p.png」を読み込めません。\n"
                      "PNGファイルが壊れています（IDAT: CRC error）。")},
      {false, QString(),
       QStringLiteral("パターン２に「/p.png」を読み込めません。\n"
                      "読めない形式の画像か、壊れています。")},
  };
  for (const auto& c : kCases) {
    ProjectModel m;
    QStringList calls;
    QString error;
    EXPECT_FALSE(load_layer_picture(m, 2, QStringLiteral("/p.png"), c.png_reader, &error,
                                    Recording(&calls, false, c.reason)));
    EXPECT_EQ(error, c.message);
  }
}

}  // namespace
}  // namespace tamrisk
