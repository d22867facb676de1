#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <vector>

#include "platform/png_codec.h"
#include "png_test_support.h"

namespace tamrisk {
namespace {

// Distinct colours numbered 0, 1, 2, ...
QRgb nth_colour(int n) {
  return qRgb(n % 256, n / 256, 77);
}

// A width x height picture that cycles through `colours` distinct colours.
QImage cycling_image(int width, int height, int colours) {
  QImage image(width, height, QImage::Format_RGB32);
  for (int i = 0; i < width * height; ++i) {
    image.setPixel(i % width, i / width, nth_colour(i % colours));
  }
  return image;
}

// Reads back with our reader and with Qt's, checks the chunk stream, and runs
// pngcheck where the build found it.
void expect_round_trip(const QImage& image, int width, int height, const QByteArray& png) {
  const QImage area = image.copy(0, 0, width, height).convertToFormat(QImage::Format_RGB32);
  QByteArray bytes = png;
  QBuffer buffer(&bytes);
  ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
  QImage ours;
  ASSERT_TRUE(read_png(buffer, &ours, nullptr));
  EXPECT_EQ(ours, area);
  const QImage qt = QImage::fromData(png, "PNG").convertToFormat(QImage::Format_RGB32);
  EXPECT_EQ(qt, area);
  EXPECT_FALSE(test::chunks_of(png).empty()) << "a length or CRC is wrong";
#ifdef TAMRISK_PNGCHECK
  QTemporaryDir dir;
  const QString path = dir.filePath("check.png");
  ASSERT_TRUE(test::write_file(path, png));
  QProcess check;
  check.start(QStringLiteral(TAMRISK_PNGCHECK), {QStringLiteral("-q"), path});
  ASSERT_TRUE(check.waitForFinished());
  EXPECT_EQ(check.exitCode(), 0) << check.readAllStandardOutput().toStdString();
#endif
}

std::vector<QByteArray> chunk_types(const QByteArray& png) {
  std::vector<QByteArray> types;
  for (const auto& chunk : test::chunks_of(png)) {
    if (types.empty() || types.back() != chunk.type) {  // runs of IDAT count once
      types.push_back(chunk.type);
    }
  }
  return types;
}

TEST(WritePng, ChoosesPaletteDepthOrRgbByTheNumberOfColours) {
  const struct {
    int colours;
    int colour_type;  // IHDR byte 25
    int bit_depth;    // IHDR byte 24
  } kCases[] = {
      {1, 3, 1},  {2, 3, 1},  {3, 3, 2},   {4, 3, 2},   {5, 3, 4},
      {16, 3, 4}, {17, 3, 8}, {256, 3, 8}, {257, 2, 8}, {1000, 2, 8},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.colours);
    const QImage image = cycling_image(37, 29, c.colours);  // odd width: partial bytes
    QByteArray png;
    QString error;
    ASSERT_TRUE(encode_png(image, image.width(), image.height(), &png, &error))
        << error.toStdString();
    EXPECT_EQ(static_cast<int>(quint8(png[24])), c.bit_depth);
    EXPECT_EQ(static_cast<int>(quint8(png[25])), c.colour_type);
    EXPECT_EQ(static_cast<int>(quint8(png[28])), 0) << "interlaced";
    const std::vector<QByteArray> palette_stream{"IHDR", "PLTE", "IDAT", "IEND"};
    const std::vector<QByteArray> rgb_stream{"IHDR", "IDAT", "IEND"};
    EXPECT_EQ(chunk_types(png), c.colour_type == 3 ? palette_stream : rgb_stream);
    expect_round_trip(image, image.width(), image.height(), png);
  }
}

TEST(WritePng, OrdersThePaletteByFirstAppearance) {
  const QRgb a = qRgb(10, 20, 30), b = qRgb(200, 0, 1), c = qRgb(0, 0, 0);
  QImage image(3, 2, QImage::Format_RGB32);
  const QRgb pixels[] = {b, a, b, c, a, c};
  for (int i = 0; i < 6; ++i) {
    image.setPixel(i % 3, i / 3, pixels[i]);
  }
  QByteArray png;
  ASSERT_TRUE(encode_png(image, 3, 2, &png, nullptr));
  const auto chunks = test::chunks_of(png);
  ASSERT_GE(chunks.size(), 2u);
  EXPECT_EQ(chunks[1].type, "PLTE");
  EXPECT_EQ(chunks[1].data, QByteArray("\xC8\x00\x01\x0A\x14\x1E\x00\x00\x00", 9));
}

// Only the top-left area counts: its colours choose the format.
TEST(WritePng, WritesTheTopLeftArea) {
  const QImage image = cycling_image(20, 20, 400);
  for (QSize area : {QSize(16, 16), QSize(20, 13), QSize(1, 1), QSize(20, 20)}) {
    SCOPED_TRACE(area.width() * 100 + area.height());
    QByteArray png;
    ASSERT_TRUE(encode_png(image, area.width(), area.height(), &png, nullptr));
    const bool indexed = area.width() * area.height() <= 256;
    EXPECT_EQ(static_cast<int>(quint8(png[25])), indexed ? 3 : 2);
    expect_round_trip(image, area.width(), area.height(), png);
  }
}

TEST(WritePng, PhotographLikeFrameRoundTrips) {
  QImage image(640, 480, QImage::Format_RGB32);
  quint32 seed = 12345;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      seed = seed * 1103515245u + 12345u;
      image.setPixel(
          x, y, qRgb((x + static_cast<int>(seed >> 28)) & 0xFF, (y * 2) & 0xFF, (x ^ y) & 0xFF));
    }
  }
  QByteArray png;
  ASSERT_TRUE(encode_png(image, 640, 480, &png, nullptr));
  EXPECT_EQ(static_cast<int>(quint8(png[25])), 2);
  expect_round_trip(image, 640, 480, png);
  // The same through the whole-frame MNG's effort, which may compress harder.
  QByteArray for_mng;
  ASSERT_TRUE(encode_png(image, 640, 480, &for_mng, nullptr, PngEffort::kMngFrame));
  expect_round_trip(image, 640, 480, for_mng);
  EXPECT_LE(for_mng.size(), png.size());
}

TEST(WritePng, SamePixelsGiveTheSameFile) {
  QTemporaryDir dir;
  for (int colours : {3, 300}) {
    SCOPED_TRACE(colours);
    const QString first = dir.filePath("first.png");
    const QString second = dir.filePath("second.png");
    ASSERT_TRUE(write_png(cycling_image(50, 40, colours), 50, 40, first, nullptr));
    ASSERT_TRUE(write_png(cycling_image(50, 40, colours), 50, 40, second, nullptr));
    const QByteArray bytes = test::read_file(first);
    EXPECT_FALSE(bytes.isEmpty());
    EXPECT_EQ(bytes, test::read_file(second));
  }
}

TEST(WritePng, RefusesAnAreaOutsideTheImage) {
  const QImage image = cycling_image(4, 3, 2);
  const struct {
    int width;
    int height;
  } kBad[] = {{0, 3}, {4, 0}, {5, 3}, {4, 4}, {-1, 3}};
  QTemporaryDir dir;
  const QString path = dir.filePath("out.png");
  for (const auto& c : kBad) {
    SCOPED_TRACE(c.width * 100 + c.height);
    QString error;
    EXPECT_FALSE(write_png(image, c.width, c.height, path, &error));
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_EQ(error, QStringLiteral("書き出す範囲 %1 × %2 が画像 4 × 3 に収まりません。")
                         .arg(c.width)
                         .arg(c.height));
  }
  QString error;
  EXPECT_FALSE(write_png(QImage(), 1, 1, path, &error));
  EXPECT_FALSE(error.isEmpty());
}

TEST(WritePng, ReplacesAFileAndReportsAPlaceItCannotWrite) {
  QTemporaryDir dir;
  const QString path = dir.filePath("frame.png");
  ASSERT_TRUE(test::write_file(path, "old contents"));
  ASSERT_TRUE(write_png(cycling_image(4, 3, 2), 4, 3, path, nullptr));
  QImage back;
  ASSERT_TRUE(read_png(path, &back, nullptr));
  EXPECT_EQ(back, cycling_image(4, 3, 2));

  const QString missing = dir.filePath("no/such/folder/frame.png");
  QString error;
  EXPECT_FALSE(write_png(cycling_image(4, 3, 2), 4, 3, missing, &error));
  EXPECT_TRUE(
      error.startsWith(QStringLiteral("「") + missing + QStringLiteral("」に書き出せません")))
      << error.toStdString();
  EXPECT_FALSE(write_png(cycling_image(4, 3, 2), 4, 3, dir.path(), &error));
  EXPECT_TRUE(QFileInfo(dir.path()).isDir());
}

}  // namespace
}  // namespace tamrisk
