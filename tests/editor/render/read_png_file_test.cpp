#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "grid.h"
#include "model/project_model.h"
#include "platform/png_codec.h"
#include "render/compose.h"
#include "render/read_png_file.h"

namespace tamrisk {
namespace {

using test::grid;
using test::grid_colour;
using test::text_of;

bool write_bytes(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Transparent pixels of any RGB share the window colour, so that a pattern
// whose top-left pixel is transparent loses all of them to the key.
TEST(ReadPNGFile, TransparentPixelsAreKeyedOut) {
  QImage picture(3, 2, QImage::Format_ARGB32);
  picture.setPixel(0, 0, qRgba(255, 0, 0, 0));
  picture.setPixel(1, 0, grid_colour('a'));
  picture.setPixel(2, 0, qRgba(0, 255, 0, 0));
  picture.setPixel(0, 1, grid_colour('c'));
  picture.setPixel(1, 1, grid_colour('d'));
  picture.setPixel(2, 1, grid_colour('e'));
  QTemporaryDir dir;
  const QString path = dir.filePath("pattern.png");
  ASSERT_TRUE(picture.save(path, "PNG"));

  ProjectModel model;
  ASSERT_TRUE(ReadPNGFile(model.pic[1], path));
  EXPECT_EQ(text_of(model.pic[1]), "waw/cde");

  model.pic[kBackground] = grid("......../........");
  model.fit_frame_canvas();
  model.set_pattern_anime(QStringLiteral("1"));
  compose_frame(model);
  EXPECT_EQ(text_of(model.win_main), ".a....../cde.....");
}

TEST(ReadPNGFile, TakesThePicturesOwnSize) {
  QImage wide(70000, 2, QImage::Format_RGB32);
  wide.fill(grid_colour('x'));
  wide.setPixel(69999, 1, grid_colour('y'));
  QTemporaryDir dir;
  const QString path = dir.filePath("wide.png");
  ASSERT_TRUE(write_png(wide, 70000, 2, path, nullptr));
  QImage canvas = grid("..");
  ASSERT_TRUE(ReadPNGFile(canvas, path));
  EXPECT_EQ(canvas.size(), QSize(70000, 2));
  EXPECT_EQ(canvas, wide);
}

TEST(ReadPNGFile, LeavesTheCanvasAloneOnFailure) {
  QImage good(4, 4, QImage::Format_RGB32);
  good.fill(grid_colour('g'));
  QTemporaryDir dir;
  const QString good_path = dir.filePath("good.png");
  ASSERT_TRUE(write_png(good, 4, 4, good_path, nullptr));
  QFile file(good_path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray bytes = file.readAll();

  const struct {
    const char* name;
    QByteArray contents;
  } kBad[] = {
      {"empty", {}},
      {"cut short", bytes.left(bytes.size() - 20)},
  };
  for (const auto& c : kBad) {
    SCOPED_TRACE(c.name);
    const QString path = dir.filePath("bad.png");
    ASSERT_TRUE(write_bytes(path, c.contents));
    QImage canvas = grid("ab/cd");
    const qint64 key = canvas.cacheKey();
    QString error;
    EXPECT_FALSE(ReadPNGFile(canvas, path, &error));
    EXPECT_EQ(canvas.cacheKey(), key);
    EXPECT_EQ(text_of(canvas), "ab/cd");
    EXPECT_FALSE(error.isEmpty());
  }
}

}  // namespace
}  // namespace tamrisk
