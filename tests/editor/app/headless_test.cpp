// Tamrisk --export end to end: the real program on the example project,
// without a display, with the real compiler beside it.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>
#include <vector>

#include "export_test_support.h"

namespace {

using namespace export_test;

struct Outcome {
  int status = -1;
  QString out;
  QString err;
};

// Runs Tamrisk with no display at all, in locale (the C locale unless
// given).
Outcome RunTamrisk(const QStringList& arguments, const QString& locale = QString()) {
  QProcess process;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "LANGUAGE"}) {
    environment.remove(name);
  }
  environment.insert("LC_ALL", locale.isEmpty() ? QStringLiteral("C.UTF-8") : locale);
  process.setProcessEnvironment(environment);
  process.setStandardInputFile(QProcess::nullDevice());
  process.start(TAMRISK_PATH, arguments);
  EXPECT_TRUE(process.waitForFinished(100000));
  Outcome run;
  run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  run.out = QString::fromUtf8(process.readAllStandardOutput());
  run.err = QString::fromUtf8(process.readAllStandardError());
  return run;
}

std::string Describe(const Outcome& run) {
  return QStringLiteral("status %1\nstdout:\n%2\nstderr:\n%3")
      .arg(run.status)
      .arg(run.out, run.err)
      .toStdString();
}

const QString kExample = EXAMPLE_DIR "/walker.pst";

QStringList FrameNames(const char* extension) {
  QStringList names;
  for (int k = 0; k < 16; ++k) {
    names << QStringLiteral("walker%1.%2").arg(k, 2, 10, QLatin1Char('0')).arg(extension);
  }
  return names;
}

// Copies the example's files into folder; the settings file's path there.
QString CopyExample(const QString& folder) {
  QDir().mkpath(folder);
  for (const QString& name : QDir(EXAMPLE_DIR).entryList(QDir::Files)) {
    QFile::copy(QDir(EXAMPLE_DIR).filePath(name), QDir(folder).filePath(name));
  }
  return QDir(folder).filePath("walker.pst");
}

class Headless : public testing::Test {
 protected:
  QString Out(const QString& name = QString()) const { return QDir(dir_.path()).filePath(name); }
  QTemporaryDir dir_;
};

TEST_F(Headless, ExportsTheExampleIntoAPlayableAnimation) {
  const Outcome run = RunTamrisk({"--export", kExample, "--output-dir", Out()});
  ASSERT_EQ(run.status, 0) << Describe(run);
  EXPECT_TRUE(run.out.contains("frame 16/16 " + Out("walker15.png") + "\n")) << Describe(run);
  EXPECT_TRUE(run.out.contains("完了: \"walker.mng\" という名前で出力しました。\n"))
      << Describe(run);
  EXPECT_EQ(run.err, QString());
  EXPECT_EQ(names_in(Out()),
            QStringList("walker.mng") + FrameNames("png") + QStringList("walker_mng.txt"));
  const QByteArray script = read_file(Out("walker_mng.txt"));
  EXPECT_TRUE(
      script.startsWith("# MNG=mng_qoya.mng\r\nMHDR  160  64 10 0 0 0 0\r\n"
                        "LOOP 1 0x7fffffff\r\nIHDR " +
                        Out("walker00.png").toUtf8() + "\r\n"));
  EXPECT_TRUE(script.endsWith("IHDR " + Out("walker15.png").toUtf8() + "\r\nENDL 1\r\nMEND\r\n"));

  // From walker.pst and make_pictures.py: the figure starts at (0, 24) and
  // walks 10 pixels a frame, a pixel higher on odd frames, its face covering
  // (9, 5); the sky at the top left; the post in front of everything.
  const std::vector<QImage> decoded = decode_mng(Out("walker.mng"), 17);
  ASSERT_EQ(decoded.size(), 17u);
  for (int k = 0; k < 17; ++k) {
    SCOPED_TRACE(k);
    const QImage frame(Out(FrameNames("png")[k % 16]));
    ASSERT_EQ(frame.size(), QSize(160, 64));
    EXPECT_EQ(first_difference(decoded[k], frame), QString());
    EXPECT_EQ(frame.pixel(0, 0), qRgb(0x8E, 0xC9, 0xF0));
    EXPECT_EQ(frame.pixel(101, 40), qRgb(0x6E, 0x4A, 0x2A));
    EXPECT_EQ(frame.pixel(10 * (k % 16) + 9, 29 - k % 2), qRgb(0xF2, 0xC1, 0x94));
  }
  EXPECT_EQ(pngcheck_complaint(Out("walker.mng")), QString());
  SKIP_FOR_MISSING_READERS();
}

TEST_F(Headless, WritesEveryFormatThatItsReadersPlayFrameByFrame) {
  // The example, and a copy whose background is a smooth gradient: more than
  // 256 colours in every frame.
  const QString gradient = CopyExample(Out("gradient"));
  QImage background(160, 64, QImage::Format_RGB32);
  for (int y = 0; y < 64; ++y) {
    for (int x = 0; x < 160; ++x) {
      background.setPixel(x, y, qRgb(x * 255 / 159, y * 4, 255 - (x + y) * 255 / 222));
    }
  }
  QFile::remove(Out("gradient/bg.png"));
  ASSERT_TRUE(background.save(Out("gradient/bg.png")));
  const struct {
    const char* format;
    const char* reader;
    std::function<Shown(const QString&)> read;
    int loop;  // for ever, as the reader says it
  } kReaders[] = {
      {"compact-mng", "Qt", [](const QString& path) { return read_with_qt(path, "mng"); }, -1},
      {"compact-mng", "ImageMagick", read_with_magick, 0},
      {"apng", "apngdis", read_with_apngdis, 0},
      {"gif", "Qt", [](const QString& path) { return read_with_qt(path, "gif"); }, -1},
      {"gif", "ImageMagick", read_with_magick, 0},
      {"webp", "libwebp", read_with_webp, 0},
      {"webp", "Qt", [](const QString& path) { return read_with_qt(path, "webp"); }, -1},
  };
  // Ceilings on the example's sizes, each some 15% above what its format
  // made when set (compact MNG 3,601 bytes, APNG 2,998, GIF 3,017, WebP
  // 3,604, the whole-frame MNG 8,582); whole frames, as the frame files hold
  // them, take 8,620 bytes, so that an encoder falling back to them fails.
  const struct {
    const char* format;
    qint64 bytes;
  } kCeilings[] = {
      {"mng", 8582}, {"compact-mng", 4150}, {"apng", 3450}, {"gif", 3500}, {"webp", 4150},
  };
  for (const QString& project : {kExample, gradient}) {
    for (const QString list :
         {"", "compact-mng", "apng", "gif", "webp", "compact-mng,apng,gif,webp"}) {
      SCOPED_TRACE((project + " --format " + list).toStdString());
      QTemporaryDir dir;
      const Outcome run =
          RunTamrisk(QStringList{"--export", project, "--output-dir", dir.path()} +
                     (list.isEmpty() ? QStringList() : QStringList{"--format", list}));
      ASSERT_EQ(run.status, 0) << Describe(run);
      std::vector<QImage> frames;
      QByteArray chunks;  // of every frame file, as the whole-frame MNG holds them
      int many_coloured = 0;
      for (const QString& name : FrameNames("png")) {
        frames.push_back(QImage(QDir(dir.path()).filePath(name)));
        chunks += read_file(QDir(dir.path()).filePath(name)).mid(8);
        many_coloured += colour_count(frames.back()) > 256 ? 1 : 0;
      }
      EXPECT_EQ(many_coloured, project == kExample ? 0 : 16);
      QStringList names = FrameNames("png");
      for (const QString& format : list.isEmpty() ? QStringList("mng") : list.split(',')) {
        const QString name = QString("walker.") + (format == "apng"   ? "png"
                                                   : format == "gif"  ? "gif"
                                                   : format == "webp" ? "webp"
                                                                      : "mng");
        const QString path = QDir(dir.path()).filePath(name);
        names << name;
        for (const auto& ceiling : kCeilings) {
          if (project == kExample && format == ceiling.format) {
            EXPECT_LE(QFileInfo(path).size(), ceiling.bytes) << name.toStdString();
          }
        }
        EXPECT_TRUE(run.out.contains(
            QStringLiteral("wrote %1 (%2 bytes)\n").arg(path).arg(QFileInfo(path).size())))
            << Describe(run);
        for (const auto& r : kReaders) {
          if (format != r.format ||
              (QString(r.reader) == "ImageMagick" && !installed("identify")) ||
              (QString(r.reader) == "apngdis" && !installed("apngdis"))) {
            continue;
          }
          SCOPED_TRACE(r.reader);
          const Shown shown = r.read(path);
          EXPECT_EQ(shown_difference(shown, frames, format == "gif"), QString());
          EXPECT_EQ(shown.loop, r.loop);
          EXPECT_EQ(shown.image_count, QString(r.reader) == "Qt" ? 16 : 0);
        }
        if (format == "mng") {
          // MHDR 160 x 64 at 10 ticks a second, LOOP for ever, the frame files
          // as written, ENDL, MEND.
          names << "walker_mng.txt";
          const QByteArray mng = read_file(path);
          EXPECT_EQ(QString(mng.left(65).toHex()),
                    "8a4d4e470d0a1a0a"                          // signature
                    "0000001c4d484452000000a0000000400000000a"  // MHDR
                    "0000000000000000000000000000000073f12da3"  // no counts
                    "000000054c4f4f50017fffffff9e5d86f3");      // LOOP
          EXPECT_TRUE(mng.mid(65, chunks.size()) == chunks);
          EXPECT_EQ(QString(mng.mid(65 + chunks.size()).toHex()),
                    "00000001454e444c0171a21aa9"  // ENDL
                    "000000004d454e442120f7d5");  // MEND
          EXPECT_EQ(pngcheck_complaint(path), QString());
        }
      }
      names.sort();
      EXPECT_EQ(names_in(dir.path()), names);
      // Over the gradient every frame shows the background in GIF's colours.
      EXPECT_EQ(run.out.contains("GIF: 256色を超えるコマ（1〜16）を256色に減らしました。\n"),
                list.contains("gif") && project != kExample)
          << Describe(run);
    }
  }
  SKIP_FOR_MISSING_READERS();
}

TEST_F(Headless, FpsAndLoopOverrideTheProjectsTiming) {
  QTemporaryDir dir;
  const Outcome run = RunTamrisk({"--export", kExample, "--output-dir", dir.path(), "--format",
                                  "mng", "--fps", "25", "--loop", "2"});
  ASSERT_EQ(run.status, 0) << Describe(run);
  const QString script =
      QString::fromLatin1(read_file(QDir(dir.path()).filePath("walker_mng.txt")));
  EXPECT_TRUE(script.contains("\r\nMHDR  160  64 25 0 0 0 0\r\nLOOP 1 2\r\n"))
      << qPrintable(script);
  EXPECT_FALSE(script.contains("FRAM"));  // every hold is 1
  const Outcome apng = RunTamrisk({"--export", kExample, "--output-dir", dir.path(), "--format",
                                   "apng", "--fps", "25", "--loop", "2"});
  ASSERT_EQ(apng.status, 0) << Describe(apng);
  if (QStandardPaths::findExecutable("apngdis").isEmpty()) {
    GTEST_SKIP() << "apngdis is not installed: the APNG's timing not read back";
  }
  std::vector<QImage> frames;
  for (const QString& name : FrameNames("png")) {
    frames.push_back(QImage(QDir(dir.path()).filePath(name)));
  }
  const Shown shown = read_with_apngdis(QDir(dir.path()).filePath("walker.png"));
  EXPECT_EQ(shown.loop, 2);
  EXPECT_EQ(timing_difference(shown, frames, std::vector<int>(frames.size(), 4), 1), QString());
}

// --scale shows every pixel as a block in every animation; the frame files
// keep the pictures' size.
TEST_F(Headless, ScaleShowsEveryPixelAsABlockInEveryAnimation) {
  const struct {
    const char* format;
    const char* file;
    std::function<Shown(const QString&)> read;
  } kRows[] = {
      {"mng", "walker.mng",
       [](const QString& path) {
         Shown first;  // of an endless loop, the first play
         first.frames = decode_mng(path, 16);
         first.delays.assign(first.frames.size(), 10);
         return first;
       }},
      {"compact-mng", "walker.mng", [](const QString& path) { return read_with_qt(path, "mng"); }},
      {"apng", "walker.png", read_with_apngdis},
      {"gif", "walker.gif", [](const QString& path) { return read_with_qt(path, "gif"); }},
      {"webp", "walker.webp", read_with_webp},
  };
  for (const auto& row : kRows) {
    SCOPED_TRACE(row.format);
    QTemporaryDir dir;
    const Outcome run = RunTamrisk(
        {"--export", kExample, "--output-dir", dir.path(), "--format", row.format, "--scale", "3"});
    ASSERT_EQ(run.status, 0) << Describe(run);
    std::vector<QImage> scaled;
    for (const QString& name : FrameNames("png")) {
      const QImage frame(QDir(dir.path()).filePath(name));
      EXPECT_EQ(frame.size(), QSize(160, 64));
      scaled.push_back(frame.scaled(frame.size() * 3));  // nearest neighbour
    }
    if (QString(row.format) == "apng" && !installed("apngdis")) {
      continue;
    }
    EXPECT_EQ(shown_difference(row.read(QDir(dir.path()).filePath(row.file)), scaled, false),
              QString());
  }
  SKIP_FOR_MISSING_READERS();
}

TEST_F(Headless, ReplacesAnAnimationOnlyWithForce) {
  ASSERT_EQ(RunTamrisk({"--export", kExample, "--output-dir", Out()}).status, 0);
  const QByteArray animation = read_file(Out("walker.mng"));
  write_file(Out("walker00.png"), "not written again");

  Outcome run = RunTamrisk({"--export", kExample, "--output-dir", Out()});
  EXPECT_EQ(run.status, 1) << Describe(run);
  EXPECT_TRUE(run.err.contains("walker.mng exists; add --force")) << Describe(run);
  EXPECT_EQ(read_file(Out("walker00.png")), "not written again");
  EXPECT_EQ(read_file(Out("walker.mng")), animation);

  run = RunTamrisk({"--export", kExample, "--output-dir", Out(), "--force"});
  EXPECT_EQ(run.status, 0) << Describe(run);
  EXPECT_EQ(read_file(Out("walker.mng")), animation);  // the same project, the same bytes
  EXPECT_EQ(QImage(Out("walker00.png")).size(), QSize(160, 64));
}

TEST_F(Headless, BmpModeWritesFramesOnly) {
  const Outcome run = RunTamrisk({"--export", kExample, "--bmp", "--output-dir", Out()});
  ASSERT_EQ(run.status, 0) << Describe(run);
  EXPECT_TRUE(run.out.endsWith("完了: 16コマをBMPファイルに書き出しました。\n")) << Describe(run);
  EXPECT_EQ(names_in(Out()), FrameNames("bmp"));
}

TEST_F(Headless, FailsWithAMessage) {
  const QString out = Out("out");
  const QString fake = Out("failing");
  write_program(fake, "echo 'エラー: (2行目) テストの失敗' >&2\nexit 255\n");
  const struct {
    const char* name;
    QStringList arguments;
    std::function<void()> prepare;
    QString message;  // empty: skip the case
    bool writes;      // whether frames are written before the failure
    QString locale = QString();
  } kCases[] = {
      {"no settings file", {"--export", Out("none.pst")}, [] {}, "no such settings file", false},
      {"a folder as the settings file",
       {"--export", Out()},
       [] {},
       Out() + ": not a settings file (a folder or a device)",
       false},
      {"a pipe as the settings file",
       {"--export", Out("pipe.pst")},
       [&] { ASSERT_EQ(mkfifo(QFile::encodeName(Out("pipe.pst")).constData(), 0600), 0); },
       "not a settings file (a folder or a device)",
       false},
      {"no compiler",
       {"--export", kExample, "--output-dir", out, "--compiler", Out("none")},
       [] {},
       "エラー: MNGコンパイラ「" + Out("none") + "」を起動できませんでした",
       true},
      {"the compiler fails",
       {"--export", kExample, "--output-dir", out, "--compiler", fake},
       [] {},
       "エラー: (2行目) テストの失敗\n",
       true},
      {"output folder under a file",
       {"--export", kExample, "--output-dir", fake + "/out"},
       [] {},
       "cannot create the folder",
       false},
      {"blank in the base name",
       {"--export", Out("blank/walker.pst"), "--output-dir", out},
       [&] {
         write_file(CopyExample(Out("blank")),
                    read_file(kExample).replace("\"walker\"", "\"my walker\""));
       },
       "エラー: ファイル名「my walker」には空白",
       false},
      {"read-only output folder",
       {"--export", kExample, "--output-dir", out},
       [&] { QFile::setPermissions(out, QFile::ReadOwner | QFile::ExeOwner); },
       ignores_permissions()
           ? QString()
           : "エラー: コマのファイル「" + out + "/walker00.png」を書き出せませんでした",
       false},
      {"both formats",
       {"--export", kExample, "--png", "--bmp"},
       [] {},
       "exclude each other",
       false},
      {"both MNGs",
       {"--export", kExample, "--output-dir", out, "--format", "mng,compact-mng"},
       [] {},
       "mng and compact-mng both write <basename>.mng",
       false},
      {"an unknown animation",
       {"--export", kExample, "--output-dir", out, "--format", "gif,avif"},
       [] {},
       "unknown animation format \"avif\"",
       false},
      {"no animation named",
       {"--export", kExample, "--output-dir", out, "--format", ""},
       [] {},
       "an empty animation format",
       false},
      {"animations of BMP frames",
       {"--export", kExample, "--output-dir", out, "--bmp", "--format", "gif"},
       [] {},
       "--format makes animations of PNG frames; drop --bmp",
       false},
      {"no --export", {"--force"}, [] {}, "need --export", false},
      {"a frame rate out of range",
       {"--export", kExample, "--output-dir", out, "--fps", "51"},
       [] {},
       "--fps takes a whole number from 1 to 50, not \"51\"",
       false},
      {"a scale out of range",
       {"--export", kExample, "--output-dir", out, "--scale", "9"},
       [] {},
       "--scale takes a whole number from 1 to 8, not \"9\"",
       false},
      {"a loop count that is no number",
       {"--export", kExample, "--output-dir", out, "--loop", "x"},
       [] {},
       "--loop takes a whole number from 0 to 65535, not \"x\"",
       false},
      {"no compiler, Japanese locale",
       {"--export", kExample, "--output-dir", out, "--compiler", Out("none")},
       [] {},
       "エラー: MNGコンパイラ「" + Out("none") + "」を起動できませんでした",
       true,
       "ja_JP.UTF-8"},
      {"no compiler, English locale",
       {"--export", kExample, "--output-dir", out, "--compiler", Out("none")},
       [] {},
       "Error: Could not start the MNG compiler “" + Out("none") + "”",
       true,
       "en_US.UTF-8"},
      {"blank in the base name, English locale",
       {"--export", Out("blank/walker.pst"), "--output-dir", out},
       [] {},
       "Error: The file name “my walker” cannot contain blanks",
       false,
       "en_GB.UTF-8"},
      {"a broken settings file, English locale",
       {"--export", Out("broken.pst")},
       [&] { write_file(Out("broken.pst"), "\"only one line\"\r\n"); },
       "Tamrisk: Cannot load the settings file “" + Out("broken.pst") +
           "”. The settings are unchanged.\nRecords are missing (there is only 1 line;",
       false,
       "en_US.UTF-8"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    QFile::setPermissions(out, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QDir(out).removeRecursively();
    QDir().mkpath(out);
    c.prepare();
    if (c.message.isEmpty()) {
      continue;  // permissions do not stop this user
    }
    const Outcome run = RunTamrisk(c.arguments, c.locale);
    EXPECT_EQ(run.status, 1) << Describe(run);
    EXPECT_TRUE(run.err.contains(c.message)) << Describe(run);
    EXPECT_EQ(names_in(out).size(), c.writes ? 17 : 0);  // frames and script, no animation
  }
}

TEST(HeadlessCommandLine, HelpVersionAndTheWindow) {
  Outcome run = RunTamrisk({"--help"});
  EXPECT_EQ(run.status, 0);
  EXPECT_TRUE(run.out.startsWith("Usage: Tamrisk --export FILE.pst")) << Describe(run);
  EXPECT_TRUE(run.out.contains("--output-dir <DIR>"));
  run = RunTamrisk({"--version"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "Tamrisk " TAMRISK_VERSION "\n");
  // Without --export the window opens, which needs a display.
  run = RunTamrisk({kExample});
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(run.err.contains("no display for the editor's window")) << Describe(run);
}

}  // namespace
