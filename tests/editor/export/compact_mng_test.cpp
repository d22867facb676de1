// The compact MNG read back by pngcheck, Qt's MNG plugin and ImageMagick.

#include <QImageReader>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <vector>

#include "anim/compact_mng_encoder.h"
#include "export_test_support.h"

namespace tamrisk {
namespace {

using namespace export_test;

// A 40 x 24 frame. kind 0: 12 colour bands and a red 20 x 15 square at
// (place, place / 2); kind 1: a colour a pixel, the square a gradient of 300
// colours; kind 2, place 0 or 1: plain, then a 16 x 17 block of 256 colours
// whose pixel (0, 16) keeps the colour it had; kind 3: four grey bands and
// a 2 x 2 square at (place, 5).
QImage Frame(int kind, int place) {
  QImage image(40, 24, QImage::Format_RGB32);
  for (int y = 0; y < 24; ++y) {
    for (int x = 0; x < 40; ++x) {
      const bool square = x >= place && x < place + 20 && y >= place / 2 && y < place / 2 + 15;
      const int k = (place == 1 && x < 16 && y < 17) ? y % 16 * 16 + x : x == 0 && y == 16 ? 0 : -1;
      const bool dot = x >= place && x < place + 2 && y >= 5 && y < 7;
      image.setPixel(x, y,
                     kind == 3   ? (dot ? qRgb(250, 200, 0) : qRgb(x / 10 * 40, x / 10 * 40, 60))
                     : kind == 2 ? (k < 0 ? 0x123 : qRgb(k, 255 - k, 77))
                     : square    ? (kind == 0 ? qRgb(255, 0, 0) : qRgb(255, x * 12, y * 16))
                     : kind == 0 ? qRgb(x / 10 * 60, 200, y / 8 * 90)
                                 : qRgb(x * 6, y * 10, 128));
    }
  }
  return image;
}

// The colour type of every image embedded in an MNG: 3 palette, 2 RGB.
QList<int> ColourTypes(const QByteArray& mng) {
  QList<int> types;
  for (qsizetype at = 8; at + 12 <= mng.size();
       at += 12 + qFromBigEndian<quint32>(mng.constData() + at)) {
    if (mng.mid(at + 4, 4) == "IHDR") {
      types << mng.at(at + 17);
    }
  }
  return types;
}

// Whether an MNG has a PLTE of its own, outside every embedded image.
bool HasGlobalPalette(const QByteArray& mng) {
  bool inside = false;
  for (qsizetype at = 8; at + 12 <= mng.size();
       at += 12 + qFromBigEndian<quint32>(mng.constData() + at)) {
    const QByteArray type = mng.mid(at + 4, 4);
    inside = type == "IHDR" || (inside && type != "IEND");
    if (!inside && type == "PLTE") {
      return true;
    }
  }
  return false;
}

// Encodes frames into path; the message of the first failure.
QString Encode(const std::vector<QImage>& frames, const QString& path) {
  const auto encoder = make_compact_mng_encoder(QSize(40, 24), {}, static_cast<int>(frames.size()));
  export_test::Feeder feed(*encoder);
  QString error;
  for (const QImage& frame : frames) {
    if (!feed.add(frame, &error)) {
      break;
    }
  }
  if (error.isEmpty()) {
    feed.finish(path, &error);
  }
  return error;
}

TEST(CompactMng, ReadersShowEveryFrameForEver) {
  if (!QImageReader::supportedImageFormats().contains("mng")) {
    GTEST_SKIP() << "Qt's MNG image plugin is not installed (qt6-image-formats-plugins)";
  }
  const struct {
    const char* name;
    int kind;
    std::vector<int> places;
    QList<int> colour_types;
    // One palette for all: a few colours, whose PLTE in every rectangle
    // would cost more than one global PLTE (none over 256 colours).
    bool global_palette;
  } kCases[] = {
      {"few colours", 0, {0, 3, 6, 9, 6}, {3, 3, 3, 3, 3}, true},
      {"many colours", 1, {0, 6, 12}, {2, 2, 2}, false},
      {"unchanged", 0, {2, 2, 2, 8, 8, 2}, {3, 3, 3, 3, 3, 3}, true},
      {"256 changed colours", 2, {0, 1}, {3, 3}, false},
      {"a single frame", 1, {4}, {2}, false},
      {"a dot moving a pixel a frame",
       3,
       {3, 4, 5, 6, 7, 8, 9, 10},
       {3, 3, 3, 3, 3, 3, 3, 3},
       true},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    std::vector<QImage> frames;
    for (const int place : c.places) {
      frames.push_back(Frame(c.kind, place));
    }
    const int n = static_cast<int>(frames.size());
    QTemporaryDir dir;
    const QString path = dir.filePath("a.mng");
    ASSERT_EQ(Encode(frames, path), QString());
    EXPECT_EQ(pngcheck_complaint(path), QString());
    EXPECT_EQ(ColourTypes(read_file(path)), c.colour_types);
    EXPECT_EQ(HasGlobalPalette(read_file(path)), c.global_palette);

    const Shown qt = read_with_qt(path, "mng");
    EXPECT_EQ(shown_difference(qt, frames, false), QString()) << "Qt";
    EXPECT_EQ(qt.loop, -1);
    EXPECT_EQ(qt.image_count, n);
    if (!installed("identify")) {
      continue;
    }
    Shown magick = read_with_magick(path);
    EXPECT_EQ(magick.loop, 0);
    if (n == 1) {
      EXPECT_EQ(magick.delays, std::vector<int>{0});  // a single frame shown for ever
      magick.delays = {10};
    }
    EXPECT_EQ(shown_difference(magick, frames, false), QString()) << "ImageMagick";
  }
  SKIP_FOR_MISSING_READERS();
}

}  // namespace
}  // namespace tamrisk
