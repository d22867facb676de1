// Names of the exported files; writing the script.

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "export/export_paths.h"
#include "export/mng_script.h"

namespace tamrisk {
namespace {

TEST(FrameNumber, HasTwoDigits) {
  const struct {
    int k;
    const char* nn;
  } kCases[] = {{0, "00"}, {9, "09"}, {10, "10"}, {90, "90"}};
  for (const auto& c : kCases) {
    EXPECT_EQ(frame_number(c.k), QLatin1String(c.nn)) << c.k;
  }
}

TEST(ExportPaths, JoinFolderAndBaseNameUnchanged) {
  const struct {
    const char* folder;
    const char* prefix;     // of frame 3, script, animation
    const char* output;     // the compiler's
    const char* ihdr_name;  // frame 3 in the script
  } kCases[] = {
      {"/tmp/anim", "/tmp/anim/sample", "/tmp/anim/mng_qoya.mng", "/tmp/anim/sample03.png"},
      // A root folder already ends in its separator.
      {"/", "//sample", "//mng_qoya.mng", "//sample03.png"},
      // A blank or a tab in the folder would split the IHDR line.
      {"/tmp/my anim", "/tmp/my anim/sample", "/tmp/my anim/mng_qoya.mng", "sample03.png"},
      {"/tmp/a\tb", "/tmp/a\tb/sample", "/tmp/a\tb/mng_qoya.mng", "sample03.png"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.folder);
    const ExportPaths paths(QString::fromUtf8(c.folder), QStringLiteral("sample"));
    const QString prefix = QDir::toNativeSeparators(QString::fromUtf8(c.prefix));
    EXPECT_EQ(paths.frame_file(3, true), prefix + "03.png");
    EXPECT_EQ(paths.frame_file(3, false), prefix + "03.bmp");
    EXPECT_EQ(paths.script_file(), prefix + "_mng.txt");
    EXPECT_EQ(paths.final_animation(), prefix + ".mng");
    EXPECT_EQ(paths.compiler_output(), QDir::toNativeSeparators(QString::fromUtf8(c.output)));
    EXPECT_EQ(paths.script_frame_name(3), QDir::toNativeSeparators(QString::fromUtf8(c.ihdr_name)));
  }
}

TEST(ExportPaths, TakeARelativeFolderFromTheCurrentDirectory) {
  EXPECT_EQ(ExportPaths("rel", "s").prefix(),
            QDir::toNativeSeparators(QDir::current().absoluteFilePath("rel/s")));
}

TEST(WriteScript, ReportsAFileThatCannotBeWritten) {
  QTemporaryDir dir;
  QString error;
  EXPECT_FALSE(write_script(dir.filePath("missing/a_mng.txt"), "MEND\r\n", &error));
  EXPECT_TRUE(error.startsWith(QStringLiteral("スクリプト「") +
                               QDir::toNativeSeparators(dir.filePath("missing/a_mng.txt"))))
      << error.toStdString();
}

}  // namespace
}  // namespace tamrisk
