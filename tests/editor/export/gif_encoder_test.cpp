// GIF animations read back by Qt's GIF reader and by ImageMagick, and their
// loop and delays read from the bytes.

#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "anim/apng_encoder.h"
#include "anim/compact_mng_encoder.h"
#include "anim/gif_encoder.h"
#include "anim/webp_encoder.h"
#include "export_test_support.h"

namespace tamrisk {
namespace {

using namespace export_test;

constexpr int kWidth = 80;
constexpr int kHeight = 60;

// 192 colours in 8 x 8 tiles.
QImage tiles() {
  QImage image(kWidth, kHeight, QImage::Format_RGB32);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      image.setPixel(x, y, qRgb(16 * (x / 8 % 16), 16 * (y / 8 % 12), 128));
    }
  }
  return image;
}

// A smooth gradient, about a colour a pixel, over w x h; phase shifts it.
QImage with_gradient(QImage image, int left, int top, int w, int h, int phase = 0) {
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      image.setPixel(left + x, top + y,
                     qRgb((x * 255 / w + phase) % 256, y * 255 / h, (x + y) * 255 / (w + h)));
    }
  }
  return image;
}

// 256 colours spread over the whole colour cube, one a pixel in turn, each
// seed a different set.
QImage scattered(int seed) {
  QImage image(kWidth, kHeight, QImage::Format_RGB32);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const int i = (x + y * kWidth) % 256;
      image.setPixel(x, y,
                     qRgb((i * 37 + seed * 101) % 256, (i * 91 + seed * 53) % 256,
                          (i * 151 + seed * 29) % 256));
    }
  }
  return image;
}

// The frame numbers a GIF note lists: "3, 5〜7" gives 3, 5, 6 and 7.
std::vector<int> reduced_in(const QString& note) {
  std::vector<int> frames;
  const QString list = note.section(QStringLiteral("（"), 1).section(QStringLiteral("）"), 0, 0);
  for (const QString& part : list.split(QStringLiteral(", "), Qt::SkipEmptyParts)) {
    const int first = part.section(QStringLiteral("〜"), 0, 0).toInt();
    const int last =
        part.contains(QStringLiteral("〜")) ? part.section(QStringLiteral("〜"), 1).toInt() : first;
    for (int k = first; k <= last; ++k) {
      frames.push_back(k);
    }
  }
  return frames;
}

// A three-colour 12 x 10 figure at x on rows 20 to 29.
QImage with_figure(QImage image, int x) {
  for (int j = 0; j < 10; ++j) {
    for (int i = 0; i < 12; ++i) {
      const QRgb colour = j < 3   ? qRgb(250, 200, 150)
                          : i < 6 ? qRgb(200, 30, 30)
                                  : qRgb(30, 30, 200);
      image.setPixel((x + i) % kWidth, 20 + j, colour);
    }
  }
  return image;
}

// The loop count (-1 without a NETSCAPE2.0 extension) and the delay of each
// image, walked block by block as GIF89a lays them out.
struct GifFacts {
  bool gif89a = false;
  int loop = -1;
  std::vector<int> delays;
};
GifFacts read_facts(const QByteArray& gif) {
  GifFacts facts;
  const auto byte = [&gif](qsizetype i) { return i < gif.size() ? static_cast<uchar>(gif[i]) : 0; };
  const auto colour_table = [&byte](qsizetype flags_at) {
    return (byte(flags_at) & 0x80) ? 3 * (2 << (byte(flags_at) & 7)) : 0;
  };
  const auto skip_sub_blocks = [&byte](qsizetype i) {
    while (byte(i) != 0) {
      i += byte(i) + 1;
    }
    return i + 1;
  };
  facts.gif89a = gif.startsWith("GIF89a");
  qsizetype i = 13 + colour_table(10);
  int delay = 0;
  while (i < gif.size() && byte(i) != 0x3B) {
    if (byte(i) == 0x21 && byte(i + 1) == 0xF9) {
      delay = byte(i + 4) | byte(i + 5) << 8;
    } else if (byte(i) == 0x21 && byte(i + 1) == 0xFF && gif.mid(i + 3, 11) == "NETSCAPE2.0") {
      facts.loop = byte(i + 16) | byte(i + 17) << 8;
    } else if (byte(i) == 0x2C) {
      facts.delays.push_back(delay);
      i = skip_sub_blocks(i + 10 + colour_table(i + 9) + 1);
      continue;
    } else if (byte(i) != 0x21) {
      ADD_FAILURE() << "unknown block " << byte(i) << " at " << i;
      break;
    }
    i = skip_sub_blocks(i + 2);
  }
  return facts;
}

TEST(GifEncoder, ReadersShowEveryFrame) {
  const QImage base = tiles();
  const QImage smooth = with_gradient(base, 0, 0, kWidth, kHeight);
  QImage all_256(32, 16, QImage::Format_RGB32);  // each of 256 colours twice
  for (int i = 0; i < 512; ++i) {
    all_256.setPixel(i % 32, i / 32, qRgb(i % 256, 255 - i % 256, (i % 256) / 2));
  }
  // The upper half, all 256 colours, moved a pixel, and the last pixel
  // changed: the lower half stays and needs a transparent index.
  QImage shifted = all_256.copy();
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 32; ++x) {
      shifted.setPixel(x, y, all_256.pixel((x + 1) % 32, y));
    }
  }
  shifted.setPixel(31, 15, all_256.pixel(0, 15));

  struct Sequence {
    const char* name;
    std::vector<QImage> frames;
    std::string note;
  };
  const Sequence sequences[] = {
      {"a figure moving, standing still twice, wrapping round",
       {with_figure(base, 0), with_figure(base, 6), with_figure(base, 12), with_figure(base, 12),
        with_figure(base, 12), with_figure(base, 74), with_figure(base, 0)},
       ""},
      {"more than 256 colours changing in frames 3 to 5: one palette is smaller",
       {with_figure(base, 0), with_figure(base, 5),
        with_figure(with_gradient(base, 30, 5, 40, 30, 0), 10),
        with_figure(with_gradient(base, 30, 5, 40, 30, 40), 15),
        with_figure(with_gradient(base, 30, 5, 40, 30, 80), 20), with_figure(base, 25)},
       "GIF: 256色を超えるコマ（1〜6）を256色に減らしました。"},
      {"two far-apart sets of 256 colours and a gradient: one palette would band",
       {scattered(1), scattered(2), scattered(1), with_gradient(scattered(2), 0, 0, 20, 15)},
       "GIF: 256色を超えるコマ（4）を256色に減らしました。"},
      {"256 colours, every one of them changing", {all_256, shifted, all_256}, ""},
      {"a smooth picture under a moving figure",
       {with_figure(smooth, 0), with_figure(smooth, 4), with_figure(smooth, 8)},
       "GIF: 256色を超えるコマ（1〜3）を256色に減らしました。"},
      {"nothing ever changes", {base, base, base}, ""},
      {"a single frame", {with_figure(base, 33)}, ""},
  };

  const bool imagemagick = installed("convert");
  for (const Sequence& s : sequences) {
    SCOPED_TRACE(s.name);
    QTemporaryDir dir;
    const QString path = dir.filePath("anim.gif");
    auto encoder = make_gif_encoder(s.frames.front().size(), {}, static_cast<int>(s.frames.size()));
    Feeder feed(*encoder);
    QString error;
    for (const QImage& frame : s.frames) {
      ASSERT_TRUE(feed.add(frame, &error)) << qPrintable(error);
    }
    ASSERT_TRUE(feed.finish(path, &error)) << qPrintable(error);
    EXPECT_EQ(encoder->notes().join('\n').toStdString(), s.note);
    const std::vector<int> reduced = reduced_in(encoder->notes().join('\n'));

    const GifFacts facts = read_facts(read_file(path));
    EXPECT_TRUE(facts.gif89a);
    EXPECT_EQ(facts.loop, 0);
    int total = 0;
    for (int delay : facts.delays) {
      EXPECT_EQ(delay % 10, 0);
      total += delay;
    }
    EXPECT_EQ(total, 10 * static_cast<int>(s.frames.size()));

    const Shown qt = read_with_qt(path, "gif");
    EXPECT_EQ(qt.loop, -1);  // Qt's word for for ever
    EXPECT_EQ(qt.delays, facts.delays);
    EXPECT_EQ(shown_difference(qt, s.frames, true, reduced), QString()) << "Qt";
    if (imagemagick) {
      const Shown magick = read_with_magick(path);
      EXPECT_EQ(magick.loop, 0);
      EXPECT_EQ(magick.delays, facts.delays);
      EXPECT_EQ(shown_difference(magick, s.frames, true, reduced), QString()) << "ImageMagick";
    }
  }
  SKIP_FOR_MISSING_READERS();
}

// The checks every format shares, made once for all of them, and a size
// that one format cannot store.
TEST(AnimationEncoders, Refusals) {
  struct Row {
    const char* name;
    EncoderFactory make;
  };
  const Row rows[] = {{"apng", make_apng_encoder},
                      {"compact-mng", make_compact_mng_encoder},
                      {"gif", make_gif_encoder},
                      {"webp", make_webp_encoder}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    QString error;
    auto wrong_size = row.make(QSize(kWidth, kHeight), {}, 1);
    EXPECT_FALSE(wrong_size->add({QImage(8, 8, QImage::Format_RGB32), QRect(0, 0, 8, 8)}, &error));
    EXPECT_EQ(error.toStdString(),
              "コマの大きさ 8 × 8 がアニメーションの大きさ 80 × 60 と違います。");
    QByteArray bytes;
    auto empty = row.make(QSize(kWidth, kHeight), {}, 0);
    EXPECT_FALSE(empty->finish(&bytes, &error));
    EXPECT_EQ(error.toStdString(), "アニメーションにするコマがありません。");
    EXPECT_TRUE(bytes.isEmpty());
  }
  // A frame is taken once its periods are known: the GIF refuses it when
  // the animation is finished.
  QString error;
  QByteArray bytes;
  auto too_wide = make_gif_encoder(QSize(70000, 1), {}, 1);
  EXPECT_TRUE(
      too_wide->add({QImage(70000, 1, QImage::Format_RGB32), QRect(0, 0, 70000, 1)}, &error));
  EXPECT_FALSE(too_wide->finish(&bytes, &error));
  EXPECT_EQ(error.toStdString(),
            "70000 × 1 ピクセルの画像はGIFにできません（縦横 65535 ピクセルまで）。");
  EXPECT_FALSE(too_wide->add({QImage(70000, 1, QImage::Format_RGB32), QRect()}, &error));
  EXPECT_EQ(error.toStdString(),
            "書き終えたか符号化に失敗したアニメーションには、コマを足せません。");
}

}  // namespace
}  // namespace tamrisk
