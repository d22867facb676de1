// Behaviour of the Windows build that comes from its raw command line: the
// whole tail after the program's name is the script path, quotes included.
// Runs only when vessik.exe is tested under wine.
#include <gtest/gtest.h>

#include "run_vessik.h"

namespace cli {
namespace {

class WindowsCommandLine : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!UnderWine()) {
      GTEST_SKIP() << "only for vessik.exe under wine";
    }
  }
  fs::path Script(const fs::path& name) {
    const fs::path path = dir_ / name;
    fs::create_directories(path.parent_path());
    WriteFile(path, "MHDR 2 2 10 0 0 0 0\nMEND\n");
    return path;
  }
  TempDir dir_;
};

TEST_F(WindowsCommandLine, QuotedPathKeepsItsQuotesAndFails) {
  const fs::path script = Script("a b/s.txt");
  Invocation how;
  how.args = {script.string()};  // wine quotes it, as a Windows shell would
  how.cwd = dir_.path();
  how.keep_words = true;
  const Result r = RunProgram(how);
  EXPECT_EQ(r.status, 255) << Describe(r);
  EXPECT_EQ(r.err, kLoadFailed);
  EXPECT_FALSE(fs::exists(dir_ / "a b" / "mng.mng"));
}

TEST_F(WindowsCommandLine, UnquotedPathWithBlanksWorks) {
  const fs::path script = Script("a  b/s t.txt");
  const Result r = RunVessik({script.string()}, dir_.path());
  // Wine joins the words with single blanks, so the double blank is lost:
  // the path names a folder that does not exist.
  EXPECT_EQ(r.status, 255) << Describe(r);
  const fs::path single = Script("c d/s t.txt");
  const Result ok = RunVessik({single.string()}, dir_.path());
  EXPECT_EQ(ok.status, 0) << Describe(ok);
  EXPECT_EQ(ok.out, Done("mng.mng"));
  EXPECT_TRUE(fs::exists(dir_ / "c d" / "mng.mng"));
}

TEST_F(WindowsCommandLine, BareFileNameIsReadFromTheCurrentFolder) {
  Script("s.txt");
  const Result r = RunVessik({"s.txt"}, dir_.path());
  EXPECT_EQ(r.status, 0) << Describe(r);
  EXPECT_EQ(r.out, Done("mng.mng"));
  EXPECT_TRUE(fs::exists(dir_ / "mng.mng"));
}

TEST_F(WindowsCommandLine, ExitCodesBecomeTheProcessStatus) {
  const fs::path good = Script("good.txt");
  EXPECT_EQ(RunVessik({good.string()}, dir_.path()).status, 0);
  fs::create_directory(dir_ / "bad");
  WriteFile(dir_ / "bad" / "bad.txt", "MHDR 1\n");
  EXPECT_EQ(RunVessik({(dir_ / "bad" / "bad.txt").string()}, dir_.path()).status, 255);
  // A typed script whose folder cannot be entered: exit code -2.
  const Result r = RunVessik({}, dir_.path(), (dir_ / "none" / "s.txt").string() + "\n");
  EXPECT_EQ(r.status, 254) << Describe(r);
}

}  // namespace
}  // namespace cli
