// Frames encoded on several threads give the files that composing and
// writing one frame after the other gives, with progress and failures
// reported as that would.

#include <QDir>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <utility>
#include <vector>

#include "export/exporter.h"
#include "export_test_support.h"
#include "platform/png_codec.h"
#include "render/compose.h"

namespace tamrisk {
namespace {

using namespace export_test;

constexpr int kFrames = 23;

// width x height pixels drawn from `colours` colours, keyed on the top-left.
QImage noise(std::mt19937& random, int width, int height, int colours, int first) {
  QImage image(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const int c = first + static_cast<int>(random() % static_cast<unsigned>(colours));
      image.setPixel(x, y, qRgb(c & 0xFF, (c >> 8) & 0xFF, 99));
    }
  }
  return image;
}

class ParallelExport : public testing::Test {
 protected:
  // 40 x 30 frames over a background of 200 colours. Pattern 1 brings 20
  // more (palette frames), pattern 2 a hundred (RGB frames), pattern 3 holds
  // one colour besides its key (a palette of few bits).
  void SetUp() override {
    std::mt19937 random(5);
    model_.pic[kBackground] = noise(random, 40, 30, 200, 0);
    model_.pic[1] = noise(random, 12, 9, 20, 300);
    model_.pic[2] = noise(random, 15, 11, 100, 400);
    model_.pic[3] = QImage(8, 8, QImage::Format_RGB32);
    model_.pic[3].fill(Qt::magenta);
    model_.pic[3].setPixelColor(3, 3, Qt::yellow);
    model_.fit_frame_canvas();
    model_.set_background_ranges();
    model_.set_sc_bar(7);
    model_.set_adjust_y(5);
    model_.set_pattern_anime(QStringLiteral("12312301230123121230312"));
    for (int k = 0; k < kFrames; ++k) {
      model_.frame_dy[static_cast<size_t>(k)] = static_cast<std::int16_t>(k % 3 - 1);
    }
    model_.png_output = true;
    options_.compiler = VESSIK_PATH;
  }

  ExportResult Export(const QString& folder, int threads) {
    model_.set_output_folder(folder);
    model_.cur_frame = 0;
    options_.encode_threads = threads;
    return export_frames(model_, options_);
  }

  QTemporaryDir dir_;
  ProjectModel model_;
  ExportOptions options_;
};

TEST_F(ParallelExport, WritesTheFilesOfTheOneByOneWay) {
  // The reference: each frame composed and written before the next.
  ProjectModel plain = model_;
  std::vector<QByteArray> expected;
  for (int k = 0; k < kFrames; ++k) {
    plain.cur_frame = static_cast<std::int16_t>(k);
    compose_frame(plain);
    QByteArray png;
    ASSERT_TRUE(encode_png(plain.win_main, 40, 30, &png, nullptr));
    expected.push_back(png);
  }
  EXPECT_GT(expected[0].size(), 0);
  EXPECT_EQ(expected[0][25], 3) << "frame 0 is a palette picture";
  EXPECT_EQ(expected[1][25], 2) << "frame 1 is an RGB picture";

  QByteArray first_animation;
  for (int threads : {1, 2, 3, 8}) {
    SCOPED_TRACE(threads);
    const QString folder = QDir(dir_.path()).filePath(QString::number(threads));
    QDir().mkpath(folder);
    std::vector<std::pair<int, int>> progress;
    bool on_caller = true;
    const QThread* caller = QThread::currentThread();
    options_.frame_written = [&](int k, int n) {
      progress.emplace_back(k, n);
      on_caller = on_caller && QThread::currentThread() == caller;
    };
    const ExportResult result = Export(folder, threads);
    ASSERT_TRUE(result.ok()) << result.message.toStdString();
    for (int k = 0; k < kFrames; ++k) {
      const QString file =
          QDir(folder).filePath(QStringLiteral("sample%1.png").arg(k, 2, 10, QChar('0')));
      ASSERT_EQ(result.files.value(k), file);
      EXPECT_EQ(read_file(file), expected[static_cast<size_t>(k)]) << "frame " << k;
      EXPECT_EQ(progress.at(static_cast<size_t>(k)), std::make_pair(k, kFrames));
    }
    EXPECT_EQ(progress.size(), static_cast<size_t>(kFrames));
    EXPECT_TRUE(on_caller);
    EXPECT_EQ(model_.cur_frame, kFrames - 1);
    EXPECT_EQ(first_difference(model_.win_main, plain.win_main), QString());
    // The frames' paths differ from folder to folder; the animation does not.
    const QByteArray animation = read_file(QDir(folder).filePath("sample.mng"));
    EXPECT_FALSE(animation.isEmpty());
    if (first_animation.isEmpty()) {
      first_animation = animation;
    }
    EXPECT_EQ(animation, first_animation);
  }
}

// Frame 9 cannot be written (a folder has its name): frames 0 to 8 are
// written, nothing after them, and the model shows frame 9, whatever number
// of threads encoded the frames after it meanwhile.
TEST_F(ParallelExport, StopsAtTheFirstFrameThatCannotBeWritten) {
  ProjectModel plain = model_;
  plain.cur_frame = 9;
  compose_frame(plain);
  for (int threads : {1, 2, 8}) {
    SCOPED_TRACE(threads);
    const QString folder = QDir(dir_.path()).filePath(QString::number(threads));
    QDir().mkpath(QDir(folder).filePath("sample09.png"));
    int reported = 0;
    options_.frame_written = [&](int, int) { ++reported; };
    const ExportResult result = Export(folder, threads);
    EXPECT_FALSE(result.ok());
    EXPECT_TRUE(
        result.message.startsWith("コマのファイル「" + QDir(folder).filePath("sample09.png")))
        << result.message.toStdString();
    EXPECT_EQ(result.files.size(), 9);
    EXPECT_EQ(reported, 9);
    QStringList names;
    for (int k = 0; k < 10; ++k) {
      names << QStringLiteral("sample%1.png").arg(k, 2, 10, QChar('0'));
    }
    EXPECT_EQ(names_in(folder), names);
    EXPECT_EQ(model_.cur_frame, 9);
    EXPECT_EQ(first_difference(model_.win_main, plain.win_main), QString());
  }
}

}  // namespace
}  // namespace tamrisk
