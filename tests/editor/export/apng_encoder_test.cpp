#include "anim/apng_encoder.h"

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <functional>
#include <vector>

#include "export_test_support.h"

namespace tamrisk {
namespace {

// A 48 x 32 frame: a background of `colour(x, y)` and an 8 x 8 sprite at
// `sprite`, whose quarters differ from the background's first colour in one
// channel each (or in all).
QImage scene(const std::function<QRgb(int, int)>& colour, QPoint sprite) {
  const QRgb quarters[] = {qRgb(31, 120, 60), qRgb(30, 121, 60), qRgb(30, 120, 61),
                           qRgb(200, 0, 0)};
  QImage frame(48, 32, QImage::Format_RGB32);
  for (int y = 0; y < frame.height(); ++y) {
    for (int x = 0; x < frame.width(); ++x) {
      const QPoint in = QPoint(x, y) - sprite;
      const bool on = in.x() >= 0 && in.y() >= 0 && in.x() < 8 && in.y() < 8;
      frame.setPixel(x, y, on ? quarters[in.x() / 4 + 2 * (in.y() / 4)] : colour(x, y));
    }
  }
  return frame;
}

QRgb stripes(int x, int y) {
  return (x / 6 + y / 5) % 2 ? qRgb(30, 120, 60) : qRgb(240, 230, 200);
}
QRgb gradient(int x, int y) {
  return qRgb(x * 5, y * 7, 255 - x - y);  // every pixel its own colour
}
QRgb tiles(int x, int y) {
  return qRgb(std::min(x / 3 + 16 * (y / 2), 251), 17, 99);  // with the sprite's: 256 colours
}

std::vector<QImage> moving(const std::function<QRgb(int, int)>& colour, int count) {
  std::vector<QImage> frames;
  for (int k = 0; k < count; ++k) {
    // Left to right, in at one edge and out at the other, bobbing.
    frames.push_back(scene(colour, QPoint((k * 9) % 52 - 4, 3 + k % 3)));
  }
  return frames;
}

// The frames of an APNG's chunks: delay numerators and denominators, and
// acTL's frame and play counts.
struct Chunks {
  quint32 colour_type = 0;
  quint32 frames = 0;
  quint32 plays = 99;
  std::vector<std::pair<int, int>> delays;
};

quint32 be32(const QByteArray& bytes, qsizetype at) {
  return quint32(quint8(bytes[at])) << 24 | quint32(quint8(bytes[at + 1])) << 16 |
         quint32(quint8(bytes[at + 2])) << 8 | quint32(quint8(bytes[at + 3]));
}

Chunks read_chunks(const QByteArray& png) {
  Chunks chunks;
  for (qsizetype at = 8; at + 12 <= png.size();) {
    const qsizetype length = be32(png, at);
    const QByteArray type = png.mid(at + 4, 4);
    const QByteArray data = png.mid(at + 8, length);
    if (type == "IHDR") {
      chunks.colour_type = quint8(data[9]);
    } else if (type == "acTL") {
      chunks.frames = be32(data, 0);
      chunks.plays = be32(data, 4);
    } else if (type == "fcTL") {
      const auto at16 = [&](int i) { return int(quint8(data[i])) << 8 | quint8(data[i + 1]); };
      chunks.delays.emplace_back(at16(20), at16(22));
    }
    at += 12 + length;
  }
  return chunks;
}

TEST(ApngEncoder, EveryFramePlaysBackAsAdded) {
  const bool have_apngdis = export_test::installed("apngdis");
  const bool have_ffmpeg = export_test::installed("ffmpeg");
  const QImage a = scene(stripes, {4, 4});
  const QImage b = scene(stripes, {20, 10});
  struct Case {
    const char* name;
    std::vector<QImage> frames;
    int colour_type;  // 0: either
  };
  const Case cases[] = {
      {"few colours, moving", moving(stripes, 8), 3},
      {"256 colours", moving(tiles, 6), 0},
      {"smooth shades", moving(gradient, 6), 2},
      {"unchanged and returning frames", {a, a, b, b, b, a, b, a, a}, 3},
      {"one frame", {b}, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QTemporaryDir dir;
    const QString path = dir.filePath("anim.png");
    const auto encoder = make_apng_encoder(c.frames[0].size(), {}, int(c.frames.size()));
    export_test::Feeder feed(*encoder);
    QString error;
    for (const QImage& frame : c.frames) {
      ASSERT_TRUE(feed.add(frame, &error)) << error.toStdString();
    }
    ASSERT_TRUE(feed.finish(path, &error)) << error.toStdString();

    // A frame equal to the one before lengthens it: one fcTL per run.
    std::vector<std::pair<int, int>> runs;
    for (size_t k = 0; k < c.frames.size(); ++k) {
      if (k > 0 && c.frames[k] == c.frames[k - 1]) {
        ++runs.back().first;
      } else {
        runs.emplace_back(1, 10);
      }
    }
    const Chunks chunks = read_chunks(export_test::read_file(path));
    EXPECT_EQ(chunks.plays, 0u);
    EXPECT_EQ(chunks.frames, runs.size());
    EXPECT_EQ(chunks.delays, runs);
    if (c.colour_type != 0) {
      EXPECT_EQ(chunks.colour_type, quint32(c.colour_type));
    }
    // Viewers without APNG show the first frame.
    EXPECT_EQ(export_test::first_difference(QImage(path), c.frames[0]), QString());

    if (have_apngdis) {
      // Opaque everywhere, and the colours of the frame added.
      EXPECT_EQ(
          export_test::shown_difference(export_test::read_with_apngdis(path), c.frames, false),
          QString());
    }
    if (have_ffmpeg) {
      // Many convert animations with it.
      EXPECT_EQ(export_test::sequence_difference(export_test::read_with_ffmpeg(path), c.frames),
                QString())
          << "ffmpeg";
    }
  }
  SKIP_FOR_MISSING_READERS();
}

}  // namespace
}  // namespace tamrisk
