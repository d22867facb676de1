#include <gtest/gtest.h>
#include <png.h>

#include <QBuffer>
#include <QTemporaryDir>
#include <vector>

#include "platform/png_codec.h"
#include "png_test_support.h"

namespace tamrisk {
namespace {

using test::make_png;
using test::PngLayout;

constexpr QRgb kMatte = 0xFF102030;  // flattening colour in these tests

struct ReadCase {
  const char* name;
  PngLayout layout;
  std::vector<QRgb> expected;  // row by row
};

QRgb grey(int v) {
  return qRgb(v, v, v);
}

bool decode(QByteArray bytes, QImage* out, QString* error) {
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::ReadOnly);
  return read_png(buffer, out, error, kMatte);
}

PngLayout png(int width, int height, int colour_type, int bit_depth, std::vector<unsigned> samples,
              std::vector<QRgb> palette = {}, std::vector<unsigned char> palette_alpha = {},
              std::vector<unsigned> transparent = {}) {
  PngLayout layout;
  layout.width = width;
  layout.height = height;
  layout.colour_type = colour_type;
  layout.bit_depth = bit_depth;
  layout.samples = std::move(samples);
  layout.palette = std::move(palette);
  layout.palette_alpha = std::move(palette_alpha);
  layout.transparent = std::move(transparent);
  return layout;
}

// Every expected value is worked out by hand from the samples: low depths
// scale by 255 / (2^depth - 1), 16-bit samples round v * 255 / 65535,
// transparent pixels become kMatte, partial alpha blends a*c + (1-a)*matte.
std::vector<ReadCase> read_cases() {
  return {
      {"grey 1-bit",
       png(4, 1, PNG_COLOR_TYPE_GRAY, 1, {0, 1, 1, 0}),
       {grey(0), grey(255), grey(255), grey(0)}},
      {"grey 2-bit",
       png(4, 1, PNG_COLOR_TYPE_GRAY, 2, {0, 1, 2, 3}),
       {grey(0), grey(0x55), grey(0xAA), grey(0xFF)}},
      {"grey 4-bit",
       png(3, 1, PNG_COLOR_TYPE_GRAY, 4, {0, 5, 15}),
       {grey(0), grey(0x55), grey(0xFF)}},
      {"grey 8-bit", png(2, 1, PNG_COLOR_TYPE_GRAY, 8, {0x12, 0xFE}), {grey(0x12), grey(0xFE)}},
      {"grey 16-bit rounds",
       png(4, 1, PNG_COLOR_TYPE_GRAY, 16, {0, 0x8080, 0xFFFF, 0x12FF}),
       {grey(0), grey(0x80), grey(0xFF), grey(0x13)}},
      {"grey 8-bit tRNS",
       png(3, 1, PNG_COLOR_TYPE_GRAY, 8, {0x40, 0x41, 0x3F}, {}, {}, {0x40}),
       {kMatte, grey(0x41), grey(0x3F)}},
      {"grey 16-bit tRNS",
       png(2, 1, PNG_COLOR_TYPE_GRAY, 16, {0x1234, 0x1235}, {}, {}, {0x1234}),
       {kMatte, grey(0x12)}},
      {"grey+alpha 8-bit",
       png(3, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 8, {0x40, 0, 0x40, 255, 0, 128}),
       {kMatte, grey(0x40), qRgb(8, 16, 24)}},
      {"grey+alpha 16-bit",
       png(2, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 16, {0xFFFF, 0, 0x8080, 0xFFFF}),
       {kMatte, grey(0x80)}},
      {"RGB 8-bit",
       png(2, 1, PNG_COLOR_TYPE_RGB, 8, {1, 2, 3, 250, 251, 252}),
       {qRgb(1, 2, 3), qRgb(250, 251, 252)}},
      {"RGB 16-bit",
       png(2, 1, PNG_COLOR_TYPE_RGB, 16, {0xFFFF, 0, 0x8080, 0x12FF, 0x0100, 0xFF00}),
       {qRgb(255, 0, 128), qRgb(19, 1, 254)}},
      {"RGB 8-bit tRNS",
       png(2, 1, PNG_COLOR_TYPE_RGB, 8, {10, 20, 30, 10, 20, 31}, {}, {}, {10, 20, 30}),
       {kMatte, qRgb(10, 20, 31)}},
      {"RGBA 8-bit",
       png(2, 2, PNG_COLOR_TYPE_RGB_ALPHA, 8,
           {1, 2, 3, 0, 9, 9, 9, 0, 4, 5, 6, 255, 200, 100, 50, 51}),
       {kMatte, kMatte, qRgb(4, 5, 6), qRgb(53, 46, 48)}},
      {"RGBA 16-bit",
       png(2, 1, PNG_COLOR_TYPE_RGB_ALPHA, 16, {0xFFFF, 0, 0, 0, 0, 0xFFFF, 0, 0xFFFF}),
       {kMatte, qRgb(0, 255, 0)}},
      {"palette 1-bit",
       png(3, 1, PNG_COLOR_TYPE_PALETTE, 1, {1, 0, 1}, {qRgb(255, 0, 0), qRgb(0, 0, 255)}),
       {qRgb(0, 0, 255), qRgb(255, 0, 0), qRgb(0, 0, 255)}},
      {"palette 2-bit",
       png(4, 1, PNG_COLOR_TYPE_PALETTE, 2, {3, 2, 1, 0},
           {qRgb(1, 1, 1), qRgb(2, 2, 2), qRgb(3, 3, 3), qRgb(4, 4, 4)}),
       {qRgb(4, 4, 4), qRgb(3, 3, 3), qRgb(2, 2, 2), qRgb(1, 1, 1)}},
      {"palette 4-bit tRNS",
       png(3, 1, PNG_COLOR_TYPE_PALETTE, 4, {0, 1, 15},
           {qRgb(0, 0, 255), qRgb(16, 0, 239), qRgb(32, 0, 223), qRgb(48, 0, 207), qRgb(64, 0, 191),
            qRgb(80, 0, 175), qRgb(96, 0, 159), qRgb(112, 0, 143), qRgb(128, 0, 127),
            qRgb(144, 0, 111), qRgb(160, 0, 95), qRgb(176, 0, 79), qRgb(192, 0, 63),
            qRgb(208, 0, 47), qRgb(224, 0, 31), qRgb(240, 0, 15)},
           {0, 255}),
       {kMatte, qRgb(16, 0, 239), qRgb(240, 0, 15)}},
      {"palette 8-bit tRNS",
       png(3, 1, PNG_COLOR_TYPE_PALETTE, 8, {2, 0, 1},
           {qRgb(7, 8, 9), qRgb(70, 80, 90), qRgb(170, 180, 190)}, {255, 0}),
       {qRgb(170, 180, 190), qRgb(7, 8, 9), kMatte}},
  };
}

TEST(ReadPng, DecodesEveryColourTypeAndDepthInterlacedOrNot) {
  for (const ReadCase& c : read_cases()) {
    for (bool interlaced : {false, true}) {
      SCOPED_TRACE(std::string(c.name) + (interlaced ? ", interlaced" : ""));
      PngLayout layout = c.layout;
      layout.interlaced = interlaced;
      QImage image;
      QString error;
      ASSERT_TRUE(decode(make_png(layout), &image, &error)) << error.toStdString();
      ASSERT_EQ(image.format(), QImage::Format_RGB32);
      ASSERT_EQ(image.size(), QSize(layout.width, layout.height));
      for (int i = 0; i < layout.width * layout.height; ++i) {
        EXPECT_EQ(image.pixel(i % layout.width, i / layout.width),
                  c.expected[static_cast<size_t>(i)])
            << "pixel " << i;
      }
    }
  }
}

// Adam7 spreads a picture over seven passes; a 13 x 11 picture of distinct
// pixels, some of them transparent, fills every pass with several rows.
TEST(ReadPng, InterlacedPictureMatchesItsPlainTwin) {
  PngLayout layout = png(13, 11, PNG_COLOR_TYPE_RGB_ALPHA, 8, {});
  std::vector<QRgb> expected;
  for (int y = 0; y < layout.height; ++y) {
    for (int x = 0; x < layout.width; ++x) {
      const bool clear = (x + y) % 5 == 0;
      layout.samples.insert(layout.samples.end(),
                            {static_cast<unsigned>(x * 19), static_cast<unsigned>(y * 23),
                             static_cast<unsigned>(x * y), clear ? 0u : 255u});
      expected.push_back(clear ? kMatte : qRgb(x * 19, y * 23, x * y));
    }
  }
  for (bool interlaced : {true, false}) {
    layout.interlaced = interlaced;
    QImage image;
    ASSERT_TRUE(decode(make_png(layout), &image, nullptr));
    for (int i = 0; i < layout.width * layout.height; ++i) {
      ASSERT_EQ(image.pixel(i % layout.width, i / layout.width), expected[static_cast<size_t>(i)])
          << "pixel " << i;
    }
  }
}

TEST(ReadPng, IgnoresGammaTextAndTime) {
  PngLayout layout = png(2, 1, PNG_COLOR_TYPE_RGB, 8, {1, 2, 3, 200, 100, 50});
  layout.extra_chunks = true;
  QImage image;
  ASSERT_TRUE(decode(make_png(layout), &image, nullptr));
  EXPECT_EQ(image.pixel(0, 0), qRgb(1, 2, 3));
  EXPECT_EQ(image.pixel(1, 0), qRgb(200, 100, 50));
}

TEST(ReadPng, SkipsLargeChunksThePixelsDoNotNeed) {
  PngLayout layout = png(2, 1, PNG_COLOR_TYPE_RGB, 8, {1, 2, 3, 200, 100, 50});
  const QByteArray plain = make_png(layout);
  const qsizetype after_ihdr = 8 + 12 + 13;
  const QByteArray big(3 << 20, 'x');
  for (const char* type : {"tEXt", "iCCP", "zTXt", "prVt"}) {
    SCOPED_TRACE(type);
    QByteArray file = plain;
    file.insert(after_ihdr, test::framed_chunk(type, big));
    QImage image;
    ASSERT_TRUE(decode(file, &image, nullptr));
    EXPECT_EQ(image.pixel(0, 0), qRgb(1, 2, 3));
    EXPECT_EQ(image.pixel(1, 0), qRgb(200, 100, 50));
  }
}

QByteArray valid_png() {
  PngLayout layout = png(16, 16, PNG_COLOR_TYPE_RGB, 8, {});
  for (int i = 0; i < 16 * 16 * 3; ++i) {
    layout.samples.push_back(static_cast<unsigned>(i * 7 % 256));
  }
  return make_png(layout);
}

QByteArray header_only(quint32 width, quint32 height) {
  QByteArray ihdr;
  for (quint32 v : {width, height}) {
    for (int shift = 24; shift >= 0; shift -= 8) {
      ihdr.append(static_cast<char>((v >> shift) & 0xFF));
    }
  }
  ihdr.append("\x08\x02\x00\x00\x00", 5);  // 8-bit RGB, no interlace
  return QByteArray("\x89PNG\r\n\x1a\n", 8) + test::framed_chunk("IHDR", ihdr) +
         test::framed_chunk("IDAT", QByteArray("\x78\x9c\x03\x00\x00\x00\x00\x01", 8)) +
         test::framed_chunk("IEND", {});
}

TEST(ReadPng, RefusesWhatItCannotDecodeAndLeavesTheImageAlone) {
  const QByteArray good = valid_png();
  QByteArray bad_crc = good;
  bad_crc[29] = static_cast<char>(bad_crc[29] ^ 1);  // last byte of the IHDR data
  // A broken zlib header in an IDAT whose CRC is right.
  QByteArray bad_zlib("\x89PNG\r\n\x1a\n", 8);
  for (const auto& chunk : test::chunks_of(good)) {
    QByteArray data = chunk.data;
    if (chunk.type == "IDAT") {
      data[0] = static_cast<char>(0xFF);
      data[1] = static_cast<char>(0xFF);
    }
    bad_zlib += test::framed_chunk(chunk.type.constData(), data);
  }
  const QString kNotPng = QStringLiteral("PNGファイルではありません。");
  const QString kTruncated = QStringLiteral("PNGファイルが途中で終わっています。");
  const struct {
    const char* name;
    QByteArray bytes;
    QString message;  // whole message, or its start when it ends in "（"
  } kBad[] = {
      {"empty", {}, kNotPng},
      {"text", "just some text, no picture", kNotPng},
      {"first byte not 137", QByteArray("\x88PNG\r\n\x1a\n", 8) + good.mid(8), kNotPng},
      {"signature only", good.left(8), kTruncated},
      {"cut after IHDR", good.left(33), kTruncated},
      {"cut inside IDAT", good.left(good.size() / 2), kTruncated},
      {"no IEND", good.left(good.size() - 12), kTruncated},
      {"IHDR CRC wrong", bad_crc, QStringLiteral("PNGファイルが壊れています（IHDR: CRC error）。")},
      {"IDAT not zlib", bad_zlib, QStringLiteral("PNGファイルが壊れています（")},
      {"100000 x 100000", header_only(100000, 100000),
       QStringLiteral("画像が大きすぎます（100000 × 100000 ピクセル）。")},
      {"2000000 x 1", header_only(2000000, 1),
       QStringLiteral("画像が大きすぎます（2000000 × 1 ピクセル）。")},
      {"zero width", header_only(0, 5), QStringLiteral("PNGファイルが壊れています（")},
  };
  QTemporaryDir dir;
  for (const auto& c : kBad) {
    SCOPED_TRACE(c.name);
    const QString path = dir.filePath("bad.png");
    ASSERT_TRUE(test::write_file(path, c.bytes));
    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(qRgb(1, 2, 3));
    const qint64 key = image.cacheKey();
    QString error;
    EXPECT_FALSE(read_png(path, &image, &error));
    EXPECT_EQ(image.cacheKey(), key);
    if (c.message.endsWith(QStringLiteral("（"))) {
      EXPECT_TRUE(error.startsWith(c.message)) << error.toStdString();
    } else {
      EXPECT_EQ(error, c.message);
    }
  }
}

TEST(ReadPng, ReportsAFileThatCannotBeOpened) {
  QTemporaryDir dir;
  QImage image;
  QString error;
  EXPECT_FALSE(read_png(dir.filePath("missing.png"), &image, &error));
  EXPECT_TRUE(image.isNull());
  EXPECT_TRUE(error.startsWith(QStringLiteral("「"))) << error.toStdString();
  EXPECT_TRUE(error.contains(QStringLiteral("missing.png"))) << error.toStdString();
}

}  // namespace
}  // namespace tamrisk
