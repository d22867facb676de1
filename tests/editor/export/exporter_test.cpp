// The whole export over a real model, the real compiler and real files.

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "export/export_paths.h"
#include "export/exporter.h"
#include "export_test_support.h"
#include "playback/animation_test.h"
#include "render/compose.h"

namespace tamrisk {
namespace {

using namespace export_test;
using Outcome = ExportResult::Outcome;

class NoTimer : public AnimationTimer {
 public:
  void set_interval(int) override {}
};

// The frames of the model below, worked out by hand: pattern 1 (a red 2 x 2
// square at (1, 1) of its 4 x 3 picture) or pattern 2 (a green pixel at
// (1, 1)) at x = adjust_x + 5 k, y = adjust_y + the offsets so far, on blue.
QImage Expected(int x, int y, int size, Qt::GlobalColor colour) {
  QImage image(16, 8, QImage::Format_RGB32);
  image.fill(Qt::blue);
  for (int j = 0; j < size; ++j) {
    for (int i = 0; i < size; ++i) {
      image.setPixelColor(x + 1 + i, y + 1 + j, colour);
    }
  }
  return image;
}
const QImage kFrames[] = {Expected(1, 2, 2, Qt::red), Expected(6, 2, 1, Qt::green),
                          Expected(11, 3, 2, Qt::red)};

class ExportTest : public testing::Test {
 protected:
  // A plain blue 16 x 8 background, patterns 1 and 2 keyed on white and on
  // black, no foreground; sequence "121", placement (1, 2), 5 pixels a
  // frame, frame 2 one pixel lower.
  void SetUp() override {
    model_.bg_from_file = false;
    model_.bg_colour = 0xFF0000;  // 0x00BBGGRR
    model_.bg_width = 16 * kTwipsPerPixel;
    model_.bg_height = 8 * kTwipsPerPixel;
    model_.set_plain_background();
    model_.fit_frame_canvas();
    model_.pic[1] = QImage(4, 3, QImage::Format_RGB32);
    model_.pic[1].fill(Qt::white);
    model_.pic[1].setPixelColor(1, 1, Qt::red);
    model_.pic[1].setPixelColor(2, 1, Qt::red);
    model_.pic[1].setPixelColor(1, 2, Qt::red);
    model_.pic[1].setPixelColor(2, 2, Qt::red);
    model_.pic[2] = QImage(3, 3, QImage::Format_RGB32);
    model_.pic[2].fill(Qt::black);
    model_.pic[2].setPixelColor(1, 1, Qt::green);
    model_.set_adjust_x(1);
    model_.set_adjust_y(2);
    model_.set_sc_bar(5);
    model_.set_pattern_anime("121");
    model_.frame_dy[2] = 1;
    model_.png_output = true;
    model_.set_output_folder(dir_.path());
    options_.compiler = VESSIK_PATH;
  }

  QString Path(const QString& name) const { return QDir(model_.output_dir).filePath(name); }

  void ExpectFrames(const char* extension) {
    for (int k = 0; k < 3; ++k) {
      const QString file = Path(QStringLiteral("sample0%1.%2").arg(k).arg(extension));
      EXPECT_EQ(first_difference(QImage(file), kFrames[k]), QString()) << file.toStdString();
    }
  }

  // pngcheck accepts sample.mng and Qt's MNG reader plays the frame files in
  // order, then the first again.
  void ExpectAnimation() {
    EXPECT_EQ(pngcheck_complaint(Path("sample.mng")), QString());
    const std::vector<QImage> decoded = decode_mng(Path("sample.mng"), 4);
    ASSERT_EQ(decoded.size(), 4u);
    for (int k = 0; k < 4; ++k) {
      EXPECT_EQ(first_difference(decoded[k], kFrames[k % 3]), QString()) << "frame " << k;
    }
  }

  QTemporaryDir dir_;
  ProjectModel model_;
  ExportOptions options_;
};

TEST_F(ExportTest, PngModeCompilesTheFramesIntoAnEndlessLoop) {
  std::vector<std::pair<int, int>> progress;
  QStringList compiled;
  options_.frame_written = [&](int k, int n) { progress.emplace_back(k, n); };
  options_.compiling = [&](const QString& script) { compiled << script; };
  NoTimer timer;
  AnimationTest animation(model_, timer);
  animation.anime_Click();
  options_.animation = &animation;

  const ExportResult result = export_frames(model_, options_);
  ASSERT_TRUE(result.ok()) << result.message.toStdString();
  EXPECT_EQ(result.outcome, Outcome::Compiled);
  EXPECT_EQ(result.caption, "完了");
  EXPECT_EQ(result.message, "\"sample.mng\" という名前で出力しました。");
  EXPECT_EQ(result.animation, Path("sample.mng"));
  const QStringList written = {Path("sample00.png"), Path("sample01.png"), Path("sample02.png"),
                               Path("sample_mng.txt")};
  EXPECT_EQ(result.files, written);
  EXPECT_EQ(names_in(dir_.path()), QStringList({"sample.mng", "sample00.png", "sample01.png",
                                                "sample02.png", "sample_mng.txt"}));
  const QByteArray script = QStringList{"# MNG=mng_qoya.mng",
                                        "MHDR  16  8 10 0 0 0 0",
                                        "LOOP 1 0x7fffffff",
                                        "IHDR " + written[0],
                                        "IHDR " + written[1],
                                        "IHDR " + written[2],
                                        "ENDL 1",
                                        "MEND",
                                        ""}
                                .join("\r\n")
                                .toUtf8();
  EXPECT_EQ(read_file(Path("sample_mng.txt")), script);
  EXPECT_EQ(result.script_text.toUtf8(), script);
  ExpectFrames("png");
  ExpectAnimation();
  EXPECT_EQ(model_.cur_frame, 2);
  EXPECT_EQ(first_difference(model_.win_main, kFrames[2]), QString());
  EXPECT_EQ(progress, (std::vector<std::pair<int, int>>{{0, 3}, {1, 3}, {2, 3}}));
  EXPECT_EQ(compiled, QStringList{Path("sample_mng.txt")});
  EXPECT_EQ(animation.state(), AnimationTest::State::Halted);
  SKIP_FOR_MISSING_READERS();
}

TEST_F(ExportTest, BmpModeWritesTwentyFourBitFramesOnly) {
  model_.png_output = false;
  options_.compiler = Path("no-such-compiler");
  const ExportResult result = export_frames(model_, options_);
  ASSERT_TRUE(result.ok()) << result.message.toStdString();
  EXPECT_EQ(result.outcome, Outcome::Written);
  EXPECT_EQ(result.message, "3コマをBMPファイルに書き出しました。");
  EXPECT_EQ(names_in(dir_.path()), QStringList({"sample00.bmp", "sample01.bmp", "sample02.bmp"}));
  for (const QString& name : names_in(dir_.path())) {
    const QByteArray bytes = read_file(Path(name));
    EXPECT_TRUE(bytes.startsWith("BM") && bytes.size() > 28 && bytes[28] == 24)
        << name.toStdString() << " is no 24-bit BMP";
  }
  ExpectFrames("bmp");
  EXPECT_EQ(model_.cur_frame, 2);
}

TEST_F(ExportTest, EmptySequenceIsRefusedBeforeAnyQuestionOrFile) {
  for (const bool png : {true, false}) {
    SCOPED_TRACE(png ? "PNG" : "BMP");
    QTemporaryDir dir;
    model_.set_output_folder(dir.path());
    write_file(Path("sample.mng"), "older");
    model_.set_pattern_anime("");
    model_.png_output = png;
    model_.cur_frame = 7;
    options_.formats = {AnimationFormat::Mng, AnimationFormat::Apng, AnimationFormat::Gif};
    int questions = 0;
    options_.confirm_overwrite = [&questions](const QString&) { return ++questions, true; };
    const ExportResult result = export_frames(model_, options_);
    EXPECT_EQ(result.outcome, Outcome::Failed);
    EXPECT_EQ(result.message.toStdString(),
              "書き出すコマがありません。コマの並びにパターンの番号を入力してください。");
    EXPECT_EQ(questions, 0);
    EXPECT_EQ(model_.cur_frame, 7);
    EXPECT_EQ(names_in(dir.path()), QStringList({"sample.mng"}));
    EXPECT_EQ(read_file(Path("sample.mng")), "older");
  }
}

// Every format plays the project's timing in independent readers: the frame
// rate, each frame's hold and the loop count.
TEST_F(ExportTest, EveryFormatPlaysTheTiming) {
  const struct {
    const char* name;
    int frame_rate;
    std::vector<int> holds;
    int loop_count;
    // Hundredths of a second, worked out by hand: each frame's end rounded
    // to the nearest (12 a second: 16.7, 41.7 and 50 end the frames).
    std::vector<int> delays;
  } kRows[] = {
      {"12 a second, held, for ever", 12, {2, 3, 1}, 0, {17, 25, 8}},
      {"25 a second, three plays", 25, {2, 1, 1}, 3, {8, 4, 4}},
      {"1 a second, one play", 1, {1, 2, 1}, 1, {100, 200, 100}},
      {"50 a second, a long hold, two plays", 50, {1, 99, 1}, 2, {2, 198, 2}},
  };
  const std::vector<QImage> frames(std::begin(kFrames), std::end(kFrames));
  // ImageMagick's "Iterations" counts the plays, 0 for ever; it leaves out 1.
  const auto magick_plays = [](const Shown& shown) { return shown.loop < 0 ? 1 : shown.loop; };
  const bool magick = export_test::installed("identify");
  const bool apngdis = export_test::installed("apngdis");
  const bool qt_mng = QImageReader::supportedImageFormats().contains("mng");
  const bool qt_webp = QImageReader::supportedImageFormats().contains("webp");
  for (const auto& row : kRows) {
    model_.timing = {row.frame_rate, row.loop_count};
    const std::vector<int>& delays = row.delays;
    for (std::size_t k = 0; k < row.holds.size(); ++k) {
      model_.frame_hold[k] = static_cast<std::uint8_t>(row.holds[k]);
    }
    const int finite = row.loop_count;  // plays a reader unrolls; 0 for ever
    for (const AnimationFormat format : all_animation_formats()) {
      SCOPED_TRACE(std::string(row.name) + ", " + format_name(format).toStdString());
      QTemporaryDir dir;
      model_.set_output_folder(dir.path());
      options_.formats = {format};
      ASSERT_TRUE(export_frames(model_, options_).ok());
      const QString path = ExportPaths(dir.path(), "sample").animation_file(format);
      switch (format) {
        case AnimationFormat::Mng: {
          // LOOP is unrolled by both readers; ImageMagick plays no endless one.
          if (qt_mng) {
            const Shown qt = read_with_qt(path, "mng");
            EXPECT_EQ(timing_difference(qt, frames, delays, finite), QString()) << "Qt";
          }
          if (magick && finite > 0) {
            EXPECT_EQ(timing_difference(read_with_magick(path), frames, delays, finite), QString())
                << "ImageMagick";
          }
          break;
        }
        case AnimationFormat::CompactMng: {
          // TERM: Qt counts the repeats after the first play, -1 for ever.
          if (qt_mng) {
            const Shown qt = read_with_qt(path, "mng");
            EXPECT_EQ(timing_difference(qt, frames, delays, finite > 0 ? 1 : 0), QString()) << "Qt";
            EXPECT_EQ(qt.loop, finite == 0 ? -1 : finite - 1);
          }
          if (magick) {
            const Shown im = read_with_magick(path);
            EXPECT_EQ(timing_difference(im, frames, delays, 1), QString()) << "ImageMagick";
            EXPECT_EQ(magick_plays(im), finite);
          }
          break;
        }
        case AnimationFormat::Apng:
          if (apngdis) {
            const Shown shown = read_with_apngdis(path);
            EXPECT_EQ(timing_difference(shown, frames, delays, 1), QString()) << "apngdis";
            EXPECT_EQ(shown.loop, finite);  // acTL's plays, 0 for ever
          }
          break;
        case AnimationFormat::Gif: {
          const Shown qt = read_with_qt(path, "gif");
          EXPECT_EQ(qt.delays, delays) << "Qt";
          EXPECT_EQ(timing_difference(qt, frames, delays, 1), QString()) << "Qt";
          // Qt reads the NETSCAPE count of repeats; none for a single play.
          EXPECT_EQ(qt.loop, finite == 0 ? -1 : finite - 1);
          if (magick) {
            const Shown im = read_with_magick(path);
            EXPECT_EQ(im.delays, delays) << "ImageMagick";
            EXPECT_EQ(magick_plays(im), finite);
          }
          break;
        }
        case AnimationFormat::Sheet:
          break;  // durations: the sheet's own test
        case AnimationFormat::Webp: {
          // libwebp's own decoder counts the plays; Qt the repeats after the first.
          const Shown shown = read_with_webp(path);
          EXPECT_EQ(timing_difference(shown, frames, delays, 1), QString()) << "libwebp";
          EXPECT_EQ(shown.loop, finite);
          if (qt_webp) {
            const Shown qt = read_with_qt(path, "webp");
            EXPECT_EQ(timing_difference(qt, frames, delays, 1), QString()) << "Qt";
            EXPECT_EQ(qt.loop, finite == 0 ? -1 : finite - 1);
          }
          break;
        }
      }
    }
  }
  if (!magick || !apngdis || !qt_mng || !qt_webp) {
    GTEST_SKIP() << "some readers are missing (ImageMagick, apngdis, Qt's MNG and WebP plugins): "
                    "their rows were not checked";
  }
  SKIP_FOR_MISSING_READERS();
}

// The sprite sheet sliced by its frame list shows every frame file, scaled;
// repeated frames share a cell, and the durations add up to the length.
TEST_F(ExportTest, SpriteSheetSlicedByItsListShowsEveryFrame) {
  model_.set_sc_bar(0);
  model_.frame_dy[2] = 0;
  model_.set_pattern_anime("12121");  // two pictures, five frames
  model_.timing.frame_rate = 12;
  model_.frame_hold[1] = 3;
  model_.export_scale = 2;
  options_.formats = {AnimationFormat::Sheet};
  ASSERT_TRUE(export_frames(model_, options_).ok());
  const QImage sheet(Path("sample_sheet.png"));
  const QJsonObject json = QJsonDocument::fromJson(read_file(Path("sample_sheet.json"))).object();
  const QJsonObject meta = json["meta"].toObject();
  EXPECT_EQ(meta["image"].toString(), "sample_sheet.png");
  EXPECT_EQ(meta["scale"].toString(), "2");
  EXPECT_EQ(QSize(meta["size"]["w"].toInt(), meta["size"]["h"].toInt()), sheet.size());
  const QJsonObject frames = json["frames"].toObject();
  ASSERT_EQ(frames.size(), 5);
  int total = 0;
  QSet<QString> cells;
  for (int k = 0; k < 5; ++k) {
    const QJsonObject entry = frames[QString("sample%1.png").arg(k, 2, 10, QChar('0'))].toObject();
    const QJsonObject r = entry["frame"].toObject();
    const QRect rect(r["x"].toInt(), r["y"].toInt(), r["w"].toInt(), r["h"].toInt());
    cells << QString::number(rect.x()) + "," + QString::number(rect.y());
    EXPECT_EQ(entry["sourceSize"]["w"].toInt(), 32);
    const QImage frame(Path(QString("sample%1.png").arg(k, 2, 10, QChar('0'))));
    EXPECT_EQ(first_difference(sheet.copy(rect), frame.scaled(frame.size() * 2)), QString())
        << "frame " << k;
    total += entry["duration"].toInt();
  }
  EXPECT_EQ(cells.size(), 2);
  EXPECT_EQ(total, 583);  // 7 periods of 1/12 s
}

TEST_F(ExportTest, AsksBeforeReplacingTheAnimation) {
  const struct {
    const char* name;
    bool exists;
    bool answer;
    Outcome outcome;
  } kCases[] = {
      {"no animation yet: no question", false, false, Outcome::Compiled},
      {"No keeps it and stops before the compiler", true, false, Outcome::Declined},
      {"Yes replaces it", true, true, Outcome::Compiled},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    QTemporaryDir dir;
    model_.set_output_folder(dir.path());
    if (c.exists) {
      write_file(Path("sample.mng"), "an older animation");
    }
    // The compiler would not replace this: it is removed without a question.
    write_file(Path("mng_qoya.mng"), "a leftover");
    QStringList asked;
    options_.confirm_overwrite = [&](const QString& path) {
      asked << path;
      return c.answer;
    };
    const ExportResult result = export_frames(model_, options_);
    EXPECT_EQ(result.outcome, c.outcome) << result.message.toStdString();
    EXPECT_EQ(asked, c.exists ? QStringList{Path("sample.mng")} : QStringList());
    EXPECT_TRUE(QFileInfo::exists(Path("sample_mng.txt")));
    if (c.outcome == Outcome::Declined) {
      EXPECT_EQ(read_file(Path("sample.mng")), "an older animation");
      EXPECT_EQ(read_file(Path("mng_qoya.mng")), "a leftover");
    } else {
      EXPECT_FALSE(QFileInfo::exists(Path("mng_qoya.mng")));
      ExpectAnimation();
    }
  }
  SKIP_FOR_MISSING_READERS();
}

TEST_F(ExportTest, RefusesBeforeAnythingChanges) {
  const struct {
    const char* basename;
    const char* folder;
    int scale = 1;
  } kCases[] = {{"my walk", ""},
                {"my\twalk", ""},
                {"sub/walk", ""},
                {"sample", "missing"},
                {"sample", "", 8}};  // 4100 pixels wide: 32800 once scaled
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.basename + std::string(" in ") + c.folder + " x" + std::to_string(c.scale));
    if (c.scale > 1) {
      model_.bg_from_file = true;
      model_.pic[kBackground] = QImage(4100, 8, QImage::Format_RGB32);
      model_.pic[kBackground].fill(Qt::blue);
      model_.fit_frame_canvas();
      model_.export_scale = c.scale;
      options_.formats = {AnimationFormat::Mng, AnimationFormat::Gif};
    }
    QTemporaryDir dir;
    QDir(dir.path()).mkdir("sub");
    model_.set_output_folder(QDir(dir.path()).filePath(c.folder));
    model_.basename = c.basename;
    model_.anime_on = false;
    NoTimer timer;
    AnimationTest animation(model_, timer);
    animation.anime_Click();
    options_.animation = &animation;
    const ExportResult result = export_frames(model_, options_);
    EXPECT_EQ(result.outcome, Outcome::Failed);
    EXPECT_EQ(result.caption, "エラー");
    EXPECT_FALSE(result.message.isEmpty());
    if (c.scale > 1) {
      EXPECT_EQ(result.message.toStdString(),
                "8倍に拡大すると 32800 × 64 ピクセルになり、アニメーションにできる大きさ"
                "（縦横 32767 ピクセルまで）を超えます。");
    }
    EXPECT_EQ(names_in(dir.path()), QStringList{"sub"});
    EXPECT_EQ(names_in(QDir(dir.path()).filePath("sub")), QStringList());
    EXPECT_EQ(animation.state(), AnimationTest::State::Running);
    EXPECT_EQ(model_.cur_frame, 0);
  }
}

// A missing compiler, and one that fails with its own message, are run by
// the headless command's tests.
TEST_F(ExportTest, ReportsACompilerThatFailsOrHangs) {
  const QString silent = Path("silent");
  write_program(silent, "echo '完了: 何も書きません'\n");
  const QString hanging = Path("hanging");
  write_program(hanging, "exec sleep 30\n");
  const QString out = Path("out");
  const struct {
    const char* name;
    QString compiler;
    int timeout_ms;
    QString message;
  } kCases[] = {
      {"the real compiler misses frame 1", VESSIK_PATH, kCompilerTimeoutMs,
       "(5行目) PNGファイルの読込に失敗しました。"},
      {"succeeds without output", silent, kCompilerTimeoutMs,
       "何も書きません\nMNGコンパイラの出力「" + QDir(out).filePath("mng_qoya.mng") +
           "」が見つかりません。"},
      {"never finishes", hanging, 500, "MNGコンパイラが0.5秒たっても終わらないため、止めました。"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    QDir(out).removeRecursively();
    QDir().mkpath(out);
    model_.set_output_folder(out);
    options_.compiler = c.compiler;
    options_.compiler_timeout_ms = c.timeout_ms;
    options_.compiling = [&](const QString&) { QFile::remove(Path("sample01.png")); };
    QElapsedTimer clock;
    clock.start();
    const ExportResult result = export_frames(model_, options_);
    EXPECT_LT(clock.elapsed(), 20000);
    EXPECT_FALSE(result.ok());
    EXPECT_EQ(result.caption, "エラー");
    EXPECT_EQ(result.message, c.message);
    EXPECT_TRUE(QFileInfo::exists(Path("sample_mng.txt")));
    EXPECT_FALSE(QFileInfo::exists(Path("sample.mng")));
  }
}

TEST_F(ExportTest, FolderWithABlankNamesBareFrames) {
  QDir(dir_.path()).mkdir("my anim");
  model_.set_output_folder(Path("my anim"));
  const ExportResult result = export_frames(model_, options_);
  ASSERT_TRUE(result.ok()) << result.message.toStdString();
  EXPECT_TRUE(result.script_text.contains("\r\nIHDR sample00.png\r\nIHDR sample01.png\r\n"));
  ExpectFrames("png");
  ExpectAnimation();
  SKIP_FOR_MISSING_READERS();
}

}  // namespace
}  // namespace tamrisk
