#include <gtest/gtest.h>

#include "model/plain_background.h"
#include "model_test_support.h"

namespace tamrisk {
namespace {

TEST(PlainBackground, TakesTypedPixelsAsTwipsHalvesToEven) {
  const struct {
    const char* text;
    int twips;
  } kCases[] = {
      {"320", 4800}, {"10.5", 158}, {"10.3", 154},  // 157.5 up, 154.5 down
      {"0.3", 4},    {"0.9", 14},   {" ３２０ ", 4800}, {"2184", 32760}, {"2184.4", 32766},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.text);
    QString error;
    const auto twips = plain_size_twips(QString::fromUtf8(c.text), QStringLiteral("よこ"), &error);
    ASSERT_TRUE(twips.has_value()) << error.toStdString();
    EXPECT_EQ(*twips, c.twips);
  }
}

TEST(PlainBackground, RefusesSizesItCannotStore) {
  const char kNotANumber[] = "は数ではありません。1 から 2184 までのピクセル数を入れてください。";
  const char kNotAbove0[] = "では背景を作れません。0 より大きいピクセル数を入れてください。";
  const char kTooLarge[] = "は大きすぎます。2184 ピクセルまでです。";
  const struct {
    const char* text;
    const char* message;
  } kCases[] = {
      {"abc", kNotANumber},  {"", kNotANumber},     {"12px", kNotANumber}, {"inf", kNotANumber},
      {"0", kNotAbove0},     {"-5", kNotAbove0},    {"0.01", kNotAbove0},  // 0.15 twips
      {"2184.5", kTooLarge}, {"100000", kTooLarge},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.text);
    QString error;
    EXPECT_FALSE(plain_size_twips(QString::fromUtf8(c.text), QStringLiteral("たて"), &error));
    EXPECT_EQ(error, QStringLiteral("たての大きさ「%1」").arg(QString::fromUtf8(c.text)) +
                         QString::fromUtf8(c.message));
  }
}

TEST(PlainBackground, OkMakesAPlainCanvasAndNothingElse) {
  ProjectModel m;
  m.layer_path[0] = QStringLiteral("/pics/bg.bmp");
  m.bg_colour = 0x0000FF;  // red
  ProjectModel expected = m;
  ASSERT_TRUE(apply_plain_background(m, QStringLiteral("320"), QStringLiteral("240"), nullptr));
  EXPECT_EQ(m.bg_width, 4800);
  EXPECT_EQ(m.bg_height, 3600);
  EXPECT_EQ(m.pic[0].size(), QSize(320, 240));
  EXPECT_EQ(m.pic[0].pixel(319, 239), qRgb(255, 0, 0));
  EXPECT_EQ(m.win_main.size(), QSize(320, 240));
  expected.bg_from_file = false;
  expected.bg_width = m.bg_width;
  expected.bg_height = m.bg_height;
  expected.pic[0] = m.pic[0];
  expected.win_main = m.win_main;
  EXPECT_TRUE(test::SameModel(m, expected));  // path and ranges stay
}

}  // namespace
}  // namespace tamrisk
