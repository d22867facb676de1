// The program's run: command line, choice of the script, its folder, the
// overwrite question, the final message and the exit code.

#include "driver.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "test_support.h"

namespace vessik {
namespace {

using test::Bytes;
using test::Cat;
using test::ToHex;
namespace fs = std::filesystem;

constexpr const char* kDone = "完了";
constexpr const char* kError = "エラー";

// The options that are set, as letters: c(onsole) y(es) q(uiet) g(ui)
// h(elp) v(ersion) e(rror).
std::string Flags(const Options& o) {
  std::string f;
  for (const auto& [set, letter] : {std::pair{o.console, 'c'},
                                    {o.yes, 'y'},
                                    {o.quiet, 'q'},
                                    {o.gui, 'g'},
                                    {o.help, 'h'},
                                    {o.version, 'v'},
                                    {!o.error.empty(), 'e'}}) {
    if (set) {
      f += letter;
    }
  }
  return f;
}

TEST(ParseCommandLineTest, OptionsThenTheScriptPath) {
  const struct {
    std::vector<std::string> args;
    const char* flags;
    std::string script;
  } kCases[] = {
      {{}, "", ""},
      {{"/a/s.txt"}, "", "/a/s.txt"},
      {{"/a/my", "dir/s.txt"}, "", "/a/my dir/s.txt"},  // words joined by one blank
      {{"-y", "s.txt"}, "y", "s.txt"},
      {{"--yes", "--quiet", "--gui", "s"}, "yqg", "s"},
      {{"-qy", "s"}, "yq", "s"},
      {{"--", "-y", "s"}, "", "-y s"},
      {{"s", "-y"}, "", "s -y"},  // options end at the path
      {{"-"}, "", "-"},
      {{"-h"}, "h", ""},
      {{"--help"}, "h", ""},
      {{"--version"}, "v", ""},
      {{"-z", "s"}, "e", ""},
      {{"--bogus", "s"}, "e", ""},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(::testing::PrintToString(c.args));
    const Options o = ParseCommandLine(c.args);
    EXPECT_EQ(Flags(o), c.flags) << o.error;
    EXPECT_EQ(o.script, c.script);
  }
}

TEST(ParseCommandTailTest, TheRawTailIsThePathQuotesIncluded) {
  const struct {
    std::string line;
    const char* flags;
    std::string script;
  } kCases[] = {
      {"vessik.exe", "", ""},
      {"vessik.exe   ", "", ""},
      {"vessik C:\\anim\\s.txt", "", "C:\\anim\\s.txt"},
      {"\"C:\\Program Files\\vessik.exe\"  C:\\a b\\s.txt", "", "C:\\a b\\s.txt"},
      {"vessik \"C:\\a b\\s.txt\"", "", "\"C:\\a b\\s.txt\""},  // quotes stay
      {"vessik\ta  b.txt ", "", "a  b.txt "},                   // inner and trailing blanks stay
      {"vessik --console -y s.txt", "cy", "s.txt"},
      {"vessik -q --yes -- -y.txt", "yq", "-y.txt"},
      {"vessik s.txt --console", "", "s.txt --console"},
      {"vessik --help", "h", ""},
      {"vessik --version", "v", ""},
      {"\"vessik", "", ""},  // unterminated program name
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.line);
    const Options o = ParseCommandTail(c.line);
    EXPECT_EQ(Flags(o), c.flags);
    EXPECT_EQ(o.script, c.script);
  }
}

class DriverTest : public test::InTempDir {
 protected:
  void SetUp() override {
    fs::create_directories(dir_ / "sub");
    fs::create_directories(dir_ / "my dir");
  }
  // Whether the current directory is dir_ / rel.
  bool InFolder(const std::string& rel) { return fs::equivalent(fs::current_path(), dir_ / rel); }
};

TEST_F(DriverTest, EnterScriptDirectory) {
  const struct {
    const char* name;
    std::string path;
    bool ok;
    const char* folder;  // current directory afterwards, relative to the test's
  } kCases[] = {
      {"absolute path", (dir_ / "sub" / "s.txt").string(), true, "sub"},
      {"relative path", "sub/s.txt", true, "sub"},
      {"blank in the folder", (dir_ / "my dir" / "a b.txt").string(), true, "my dir"},
      {"path ending in a separator", (dir_ / "sub").string() + "/", true, "sub"},
      {"no separator", "s.txt", false, "."},
      {"missing folder", (dir_ / "missing" / "s.txt").string(), false, "."},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    fs::current_path(dir_.path());
    EXPECT_EQ(EnterScriptDirectory(c.path), c.ok);
    EXPECT_TRUE(InFolder(c.folder)) << fs::current_path();
  }
}

// Plays the user: picks a file, answers the question, records what is shown.
class ScriptedFrontEnd : public FrontEnd {
 public:
  struct Shown {
    std::string caption;
    std::string text;
    bool error;
    bool operator==(const Shown&) const = default;
  };
  std::optional<std::string> ChooseScriptFile() override {
    ++choices;
    return choice;
  }
  void ShowMessage(const std::string& caption, const std::string& text, bool error) override {
    shown.push_back({caption, text, error});
  }
  bool ConfirmOverwrite(const std::string& output_name) override {
    asked.push_back(output_name);
    return answer;
  }

  std::optional<std::string> choice;
  bool answer = false;
  int choices = 0;
  std::vector<Shown> shown;
  std::vector<std::string> asked;
};

std::ostream& operator<<(std::ostream& out, const ScriptedFrontEnd::Shown& s) {
  return out << s.caption << ": " << s.text << (s.error ? " (error)" : "");
}

using Shown = std::vector<ScriptedFrontEnd::Shown>;

TEST_F(DriverTest, CancelledChoiceEndsSilently) {
  ScriptedFrontEnd ui;
  EXPECT_EQ(RunCompiler(Options{}, ui), 0);
  EXPECT_EQ(ui.choices, 1);
  EXPECT_EQ(ui.shown, Shown{});
}

TEST_F(DriverTest, ChosenScriptWhoseFolderCannotBeEntered) {
  ScriptedFrontEnd ui;
  ui.choice = (dir_ / "missing" / "s.txt").string();
  EXPECT_EQ(RunCompiler(Options{}, ui), -2);
  EXPECT_EQ(ui.shown, (Shown{{kError, "カレントディレクトリの移動に失敗しました。", true}}));
  EXPECT_TRUE(InFolder("."));
}

TEST_F(DriverTest, ChosenScriptIsCompiledInItsFolder) {
  test::WriteText(dir_ / "sub" / "s.txt", "# MNG=mng_qoya.mng\r\nIHDR f.png\r\nMEND\r\n");
  test::WriteBytes(dir_ / "sub" / "f.png", Cat({test::kPngSig, test::Hex("'data'")}));
  ScriptedFrontEnd ui;
  ui.choice = (dir_ / "sub" / "s.txt").string();
  EXPECT_EQ(RunCompiler(Options{}, ui), 0);
  EXPECT_EQ(ui.shown, (Shown{{kDone, "\"mng_qoya.mng\" という名前で出力しました。\n", false}}));
  const auto output = test::ReadBytes(dir_ / "sub" / "mng_qoya.mng");
  ASSERT_TRUE(output);
  EXPECT_EQ(ToHex(*output), ToHex(Cat({test::kMngSig, test::Hex("'data'"), test::kMendChunk})));
}

TEST_F(DriverTest, ScriptFromTheCommandLine) {
  test::WriteText(dir_ / "my dir" / "a b.txt", "MEND");
  test::WriteText(dir_ / "s.txt", "");
  test::WriteText(dir_ / "sub" / "s.txt", "# MNG=x.mng\nIHDR f.png");
  test::WriteBytes(dir_ / "sub" / "f.png", test::kPngSig);
  test::WriteText(dir_ / "sub" / "bad.txt", "MEND\n\n# note\n  \nLOOP 1\nMEND\n");
  const std::string quoted = "\"" + (dir_ / "s.txt").string() + "\"";
  const struct {
    const char* name;
    std::string script;
    int exit;
    ScriptedFrontEnd::Shown shown;
    const char* output;  // relative to the test's folder, or null for none
    Bytes bytes;
  } kCases[] = {
      {"blanks without quotes",
       (dir_ / "my dir" / "a b.txt").string(),
       0,
       {kDone, "\"mng.mng\" という名前で出力しました。\n", false},
       "my dir/mng.mng",
       Cat({test::kMngSig, test::kMendChunk})},
      {"bare file name",
       "s.txt",
       0,
       {kDone, "\"mng.mng\" という名前で出力しました。\n", false},
       "mng.mng",
       test::kMngSig},
      {"relative path",
       "sub/s.txt",
       0,
       {kDone, "\"x.mng\" という名前で出力しました。\n", false},
       "sub/x.mng",
       test::kMngSig},
      {"quotes are kept",
       quoted,
       -1,
       {kError, "リソースファイルの読込に失敗しました。\n", true},
       nullptr,
       {}},
      {"missing folder",
       "missing/s.txt",
       -1,
       {kError, "リソースファイルの読込に失敗しました。\n", true},
       nullptr,
       {}},
      {"fifth line faulty",
       "sub/bad.txt",
       -1,
       {kError, "(5行目) パラメータの数が正しくありません。\n", true},
       nullptr,
       {}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    fs::current_path(dir_.path());
    for (const char* old : {"mng.mng", "my dir/mng.mng", "sub/x.mng", "sub/mng.mng"}) {
      fs::remove(dir_ / old);
    }
    ScriptedFrontEnd ui;
    Options options;
    options.script = c.script;
    EXPECT_EQ(RunCompiler(options, ui), c.exit);
    EXPECT_EQ(ui.choices, 0);
    EXPECT_EQ(ui.asked, std::vector<std::string>{});
    EXPECT_EQ(ui.shown, Shown{c.shown});
    if (c.output != nullptr) {
      const auto output = test::ReadBytes(dir_ / c.output);
      ASSERT_TRUE(output);
      EXPECT_EQ(ToHex(*output), ToHex(c.bytes));
    }
    EXPECT_FALSE(fs::exists(dir_ / "sub" / "mng.mng"));
  }
}

TEST_F(DriverTest, ExistingOutputIsReplacedOnlyWhenAllowed) {
  test::WriteText(dir_ / "sub" / "s.txt", "# MNG=out.mng\nMEND");
  const struct {
    const char* name;
    bool yes_option;
    bool answer;
    std::vector<std::string> asked;
    const char* message;
    Bytes output;
  } kCases[] = {
      {"user declines",
       false,
       false,
       {"out.mng"},
       "MNGファイルの書出を中止しました。\n",
       test::Str("old")},
      {"user agrees",
       false,
       true,
       {"out.mng"},
       "\"out.mng\" という名前で出力しました。\n",
       Cat({test::kMngSig, test::kMendChunk})},
      {"-y asks nothing",
       true,
       false,
       {},
       "\"out.mng\" という名前で出力しました。\n",
       Cat({test::kMngSig, test::kMendChunk})},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    fs::current_path(dir_.path());
    test::WriteText(dir_ / "sub" / "out.mng", "old");
    ScriptedFrontEnd ui;
    ui.answer = c.answer;
    Options options;
    options.yes = c.yes_option;
    options.script = (dir_ / "sub" / "s.txt").string();
    EXPECT_EQ(RunCompiler(options, ui), 0);
    EXPECT_EQ(ui.asked, c.asked);
    EXPECT_EQ(ui.shown, (Shown{{kDone, c.message, false}}));
    EXPECT_EQ(ToHex(*test::ReadBytes(dir_ / "sub" / "out.mng")), ToHex(c.output));
  }
}

TEST_F(DriverTest, QuietShowsFailuresOnly) {
  test::WriteText(dir_ / "sub" / "good.txt", "MEND");
  test::WriteText(dir_ / "my dir" / "bad.txt", "MEND 1");
  ScriptedFrontEnd ui;
  Options options;
  options.quiet = true;
  options.script = (dir_ / "sub" / "good.txt").string();
  EXPECT_EQ(RunCompiler(options, ui), 0);
  EXPECT_EQ(ui.shown, Shown{});
  options.script = (dir_ / "my dir" / "bad.txt").string();
  EXPECT_EQ(RunCompiler(options, ui), -1);
  EXPECT_EQ(ui.shown, (Shown{{kError, "(1行目) パラメータの数が正しくありません。\n", true}}));
}

}  // namespace
}  // namespace vessik
