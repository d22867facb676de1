// The export (コマ作成) in-process, with faults the headless command cannot
// reach: a frame file that cannot be written, a compiler that crashes or
// hangs (with a short timeout), an animation that cannot take its name.
// Every failure must be reported with a message and leave every file that
// was in the output folder before as it was; the frames and the script that
// the export writes before the failure are its own.
//
// Covered elsewhere and not repeated here (tests/editor/export/
// exporter_test.cpp, tests/editor/app/headless_test.cpp): a compiler that
// fails with its own message or exits without output, a base name or output
// folder refused before anything is written.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <optional>
#include <set>
#include <string>

#include "export/exporter.h"
#include "export_test_support.h"
#include "folder_snapshot.h"

namespace tamrisk {
namespace {

using faults::Differences;
using faults::Snapshot;
using faults::TakeSnapshot;
using Outcome = ExportResult::Outcome;

const QByteArray kOldAnimation = "an older animation\n";

class ExportFaults : public testing::Test {
 protected:
  // Two frames of a 2 x 2 picture on a plain 12 x 6 background, into dir_.
  void SetUp() override {
    model_.bg_from_file = false;
    model_.bg_width = 12 * kTwipsPerPixel;
    model_.bg_height = 6 * kTwipsPerPixel;
    model_.set_plain_background();
    model_.fit_frame_canvas();
    model_.pic[1] = QImage(2, 2, QImage::Format_RGB32);
    model_.pic[1].fill(Qt::red);
    model_.set_pattern_anime("11");
    model_.png_output = true;
    model_.set_output_folder(dir_.path());
    options_.compiler = VESSIK_PATH;
    options_.confirm_overwrite = [](const QString&) { return true; };
    export_test::write_file(Path("sample.mng"), kOldAnimation);
    export_test::write_file(Path("notes.txt"), "the user's own file\n");
  }

  QString Path(const QString& name) const { return QDir(dir_.path()).filePath(name); }
  faults::fs::path Root() const { return dir_.path().toStdString(); }

  QTemporaryDir dir_;
  ProjectModel model_;
  ExportOptions options_;
};

// What an export may write before it fails: its frames, its script and the
// compiler's output under the compiler's name.
const std::set<std::string> kExported = {"sample00.png", "sample01.png", "sample_mng.txt",
                                         "mng_qoya.mng"};

TEST_F(ExportFaults, FrameThatCannotBeWritten) {
  // The second frame's name is taken by a folder with a file in it.
  QDir(dir_.path()).mkdir("sample01.png");
  export_test::write_file(Path("sample01.png/inside.txt"), "kept\n");
  const Snapshot before = TakeSnapshot(Root());
  const ExportResult result = export_frames(model_, options_);
  EXPECT_EQ(result.outcome, Outcome::Failed);
  EXPECT_EQ(result.caption, "エラー");
  EXPECT_TRUE(result.message.startsWith("コマのファイル「" + Path("sample01.png") +
                                        "」を書き出せませんでした（"))
      << result.message.toStdString();
  EXPECT_EQ(result.files, QStringList{Path("sample00.png")});
  EXPECT_EQ(Differences(before, TakeSnapshot(Root()), {"sample00.png"}), "");
}

// Lowers this process's limit on the size of a file it writes (and of the
// compiler it starts) while the object lives; writes beyond it fail (EFBIG).
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &old_);
    old_handler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = old_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &old_);
    std::signal(SIGXFSZ, old_handler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit old_{};
  void (*old_handler_)(int) = nullptr;
};

TEST_F(ExportFaults, FilesBeyondAFileSizeLimitOrNamedByAFolder) {
  // A frame here takes about 100 bytes (a 54-byte header and more as BMP);
  // ten frames' script about 500; each animation 60 or more, but the WebP of
  // frames that are all the same, a still picture of 38.
  const auto not_written = [this](const QString& what, const char* file) {
    return what + "のファイル「" + Path(file) + "」を書き出せませんでした（";
  };
  const char* kAnimations = "compact-mng,apng,gif,webp,sheet";
  const struct {
    const char* name;
    bool png;
    const char* formats;
    rlim_t limit;      // 0: a folder with a file in it takes the name instead
    const char* file;  // the file whose write fails, there from an earlier export
    QString message;   // its start
  } kCases[] = {
      {"PNG frame", true, "mng", 40, "sample00.png", not_written("コマ", "sample00.png")},
      {"BMP frame", false, "mng", 40, "sample00.bmp", not_written("コマ", "sample00.bmp")},
      {"script", true, "mng", 200, "sample_mng.txt",
       "スクリプト「" + Path("sample_mng.txt") + "」を書き出せませんでした（"},
      {"compact MNG", true, kAnimations, 40, "sample.mng",
       not_written("MNG（差分）", "sample.mng")},
      {"APNG", true, kAnimations, 40, "sample.png", not_written("APNG", "sample.png")},
      {"GIF", true, kAnimations, 40, "sample.gif", not_written("GIF", "sample.gif")},
      {"compact MNG's name", true, kAnimations, 0, "sample.mng",
       not_written("MNG（差分）", "sample.mng")},
      {"APNG's name", true, kAnimations, 0, "sample.png", not_written("APNG", "sample.png")},
      {"GIF's name", true, kAnimations, 0, "sample.gif", not_written("GIF", "sample.gif")},
      {"WebP", true, kAnimations, 20, "sample.webp", not_written("WebP", "sample.webp")},
      {"WebP's name", true, kAnimations, 0, "sample.webp", not_written("WebP", "sample.webp")},
      {"sprite sheet", true, kAnimations, 40, "sample_sheet.png",
       not_written("スプライトシート", "sample_sheet.png")},
      {"sprite sheet's name", true, kAnimations, 0, "sample_sheet.png",
       not_written("スプライトシート", "sample_sheet.png")},
      {"sprite sheet list's name", true, kAnimations, 0, "sample_sheet.json",
       not_written("スプライトシート", "sample_sheet.json")},
  };
  model_.set_pattern_anime("1111111111");
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    for (const char* name : {"sample.mng", "sample.png", "sample.gif", "sample.webp",
                             "sample_sheet.png", "sample_sheet.json"}) {
      QDir(Path(name)).removeRecursively();  // the folder of the row before
    }
    QFile::remove(Path(c.file));
    if (c.limit == 0) {
      QDir(dir_.path()).mkdir(c.file);
      export_test::write_file(Path(c.file) + "/inside.txt", "kept\n");
    } else {
      export_test::write_file(Path(c.file), "written by an earlier export\n");
    }
    model_.png_output = c.png;
    ASSERT_TRUE(parse_formats(c.formats, &options_.formats, nullptr));
    // Animations made beside the frames meet the limit only while they are
    // finished: the frames and the other animations are written.
    const bool beside = options_.formats != QList{AnimationFormat::Mng};
    std::optional<FileSizeLimit> limit;
    options_.finishing = [&](AnimationFormat, const QString& path) {
      limit.reset();
      if (c.limit > 0 && path == Path(c.file)) {
        limit.emplace(c.limit);
      }
    };
    const Snapshot before = TakeSnapshot(Root());
    if (c.limit > 0 && !beside) {
      limit.emplace(c.limit);
    }
    const ExportResult result = export_frames(model_, options_);
    limit.reset();
    EXPECT_EQ(result.outcome, Outcome::Failed);
    EXPECT_TRUE(result.message.startsWith(c.message)) << result.message.toStdString();
    if (c.limit > 0) {
      EXPECT_TRUE(result.message.contains(QString::fromLocal8Bit(std::strerror(EFBIG))));
    }
    std::set<std::string> written(kExported);
    for (const QString& file : result.files) {
      written.insert(QFileInfo(file).fileName().toStdString());
    }
    QStringList others;
    for (const AnimationFile& animation : result.animations) {
      others << QFileInfo(animation.path).fileName();
      written.insert(others.back().toStdString());
    }
    QStringList expected = {"sample.mng",  "sample.png",       "sample.gif",
                            "sample.webp", "sample_sheet.png", "sample_sheet.json"};
    expected.removeOne(c.file);
    if (QString(c.file) == "sample_sheet.png") {
      expected.removeOne("sample_sheet.json");  // the list goes only with its sheet
    }
    EXPECT_EQ(others, beside ? expected : QStringList());
    written.erase(c.file);
    EXPECT_EQ(Differences(before, TakeSnapshot(Root()), written), "");
  }
}

TEST_F(ExportFaults, CompilerThatIsMissingCrashesOrHangs) {
  const QString crashing = Path("crashing");
  export_test::write_program(crashing, "kill -SEGV $$\n");
  const QString half = Path("half");
  export_test::write_program(half, "printf '\\212MNG' > mng_qoya.mng\nkill -SEGV $$\n");
  const QString hanging = Path("hanging");
  export_test::write_program(hanging, "exec sleep 30\n");
  const struct {
    const char* name;
    QString compiler;
    int timeout_ms;
    QString message;  // its start
  } kCases[] = {
      {"missing", Path("none"), kCompilerTimeoutMs,
       "MNGコンパイラ「" + Path("none") + "」を起動できませんでした（"},
      {"crashes", crashing, kCompilerTimeoutMs, "MNGコンパイラが異常終了しました（"},
      {"crashes after writing part of its output", half, kCompilerTimeoutMs,
       "MNGコンパイラが異常終了しました（"},
      {"never finishes", hanging, 300, "MNGコンパイラが0.3秒たっても終わらないため、止めました。"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    QFile::remove(Path("mng_qoya.mng"));
    const Snapshot before = TakeSnapshot(Root());
    options_.compiler = c.compiler;
    options_.compiler_timeout_ms = c.timeout_ms;
    const ExportResult result = export_frames(model_, options_);
    EXPECT_EQ(result.outcome, Outcome::Failed);
    EXPECT_EQ(result.caption, "エラー");
    EXPECT_TRUE(result.message.startsWith(c.message)) << result.message.toStdString();
    EXPECT_EQ(Differences(before, TakeSnapshot(Root()), kExported), "");
    EXPECT_EQ(export_test::read_file(Path("sample.mng")), kOldAnimation);
  }
}

TEST_F(ExportFaults, AnimationThatCannotTakeItsName) {
  // The animation's name is taken by a folder with a file in it.
  QFile::remove(Path("sample.mng"));
  QDir(dir_.path()).mkdir("sample.mng");
  export_test::write_file(Path("sample.mng/inside.txt"), "kept\n");
  const Snapshot before = TakeSnapshot(Root());
  const ExportResult result = export_frames(model_, options_);
  EXPECT_EQ(result.outcome, Outcome::Failed);
  EXPECT_EQ(result.caption, "エラー");
  EXPECT_TRUE(result.message.startsWith("「" + Path("mng_qoya.mng") + "」を「" +
                                        Path("sample.mng") + "」に置き換えられませんでした（"))
      << result.message.toStdString();
  EXPECT_EQ(Differences(before, TakeSnapshot(Root()), kExported), "");
  // The compiled animation is kept under the compiler's name.
  EXPECT_EQ(export_test::pngcheck_complaint(Path("mng_qoya.mng")), QString());
  SKIP_FOR_MISSING_READERS();
}

}  // namespace
}  // namespace tamrisk
