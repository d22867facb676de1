// The command line and the console front end of vessik: which streams carry
// which message, the exit statuses, the options and how the script's path is
// found and resolved.

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "images.h"
#include "run_vessik.h"

namespace cli {
namespace {

const std::string kPrompt = "MNGコンパイラ用リソースの選択";

class CommandLine : public testing::Test {
 protected:
  // Writes the small script at dir_/relative, creating its folders.
  fs::path Script(const fs::path& relative, const std::string& text = kSmallScript) {
    const fs::path path = dir_ / relative;
    fs::create_directories(path.parent_path());
    WriteFile(path, text);
    return path;
  }

  TempDir dir_;
};

TEST_F(CommandLine, SuccessIsReportedOnStandardOutput) {
  const fs::path script = Script("s.txt");
  const Result r = RunVessik({script.string()}, dir_.path());
  SCOPED_TRACE(Describe(r));
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, Done("mng.mng"));
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(ReadFile(dir_ / "mng.mng"), SmallScriptOutput());
  EXPECT_EQ(Names(dir_.path()), (std::set<std::string>{"s.txt", "mng.mng"}));
}

TEST_F(CommandLine, FailureIsReportedOnStandardError) {
  const fs::path script = Script("s.txt", "MHDR 2 2 10 0 0 0 0\nmend\n");
  const Result r = RunVessik({script.string()}, dir_.path());
  SCOPED_TRACE(Describe(r));
  EXPECT_EQ(r.status, 255);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, Error("(2行目) 未対応のチャンクです。"));
  EXPECT_EQ(Names(dir_.path()), std::set<std::string>{"s.txt"});
}

TEST_F(CommandLine, QuietSilencesSuccessOnly) {
  const struct {
    const char* name;
    std::vector<std::string> options;
    const char* script;
    int status;
    std::string err;
  } kCases[] = {
      {"-q success", {"-q"}, "MEND\n", 0, ""},
      {"--quiet success", {"--quiet"}, "MEND\n", 0, ""},
      {"-q failure", {"-q"}, "MEND 1\n", 255, Error("(1行目) パラメータの数が正しくありません。")},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    const fs::path script = Script("s.txt", c.script);
    std::vector<std::string> args = c.options;
    args.push_back(script.string());
    const Result r = RunVessik(args, dir_.path());
    SCOPED_TRACE(Describe(r));
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, c.err);
    EXPECT_EQ(fs::exists(dir_ / "mng.mng"), c.status == 0);
    fs::remove(dir_ / "mng.mng");
  }
}

TEST_F(CommandLine, HelpAndVersionCompileNothing) {
  const fs::path script = Script("s.txt");
  for (const char* option : {"-h", "--help", "--version"}) {
    SCOPED_TRACE(option);
    const Result r = RunVessik({option, script.string()}, dir_.path());
    SCOPED_TRACE(Describe(r));
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out, "");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(Names(dir_.path()), std::set<std::string>{"s.txt"});
  }
}

TEST_F(CommandLine, UnknownOptionsCompileNothing) {
  const fs::path script = Script("s.txt");
  for (const char* option : {"--bogus", "-x", "-yx", "--yes=1"}) {
    SCOPED_TRACE(option);
    const Result r = RunVessik({option, script.string()}, dir_.path());
    SCOPED_TRACE(Describe(r));
    EXPECT_NE(r.status, 0);
    EXPECT_EQ(r.signal, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err, "");
    EXPECT_EQ(Names(dir_.path()), std::set<std::string>{"s.txt"});
  }
}

TEST_F(CommandLine, DoubleDashLetsAPathStartWithADash) {
  Script("-s.txt");
  const Result r = RunVessik({"--", "-s.txt"}, dir_.path());
  SCOPED_TRACE(Describe(r));
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, Done("mng.mng"));
  EXPECT_EQ(ReadFile(dir_ / "mng.mng"), SmallScriptOutput());
}

TEST_F(CommandLine, WordsAfterTheOptionsFormOnePath) {
  const fs::path script = Script("two words/a b c.txt");
  const std::string base = dir_.path().string();
  const struct {
    const char* name;
    std::vector<std::string> args;
  } kCases[] = {
      {"one word", {script.string()}},
      {"split at every blank", {base + "/two", "words/a", "b", "c.txt"}},
      {"after -y and --", {"-y", "--", base + "/two words/a", "b c.txt"}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    const Result r = RunVessik(c.args, dir_.path());
    SCOPED_TRACE(Describe(r));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, Done("mng.mng"));
    EXPECT_EQ(ReadFile(dir_ / "two words" / "mng.mng"), SmallScriptOutput());
    fs::remove(dir_ / "two words" / "mng.mng");
  }
}

TEST_F(CommandLine, ScriptThatCannotBeLoaded) {
  const fs::path script = Script("s.txt");
  fs::create_directory(dir_ / "folder.txt");
  ASSERT_EQ(mkfifo((dir_ / "pipe.txt").c_str(), 0600), 0);
  const struct {
    const char* name;
    std::string path;
  } kCases[] = {
      {"quotes are kept", "\"" + script.string() + "\""},
      {"missing file", (dir_ / "none.txt").string()},
      {"missing folder", (dir_ / "none" / "s.txt").string()},
      {"a folder", (dir_ / "folder.txt").string()},
      {"a named pipe without a writer", (dir_ / "pipe.txt").string()},
      {"trailing blank", script.string() + " "},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    const Result r = RunVessik({c.path}, dir_.path());
    SCOPED_TRACE(Describe(r));
    EXPECT_EQ(r.status, 255);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, kLoadFailed);
    EXPECT_FALSE(r.timed_out);
    EXPECT_EQ(Names(dir_.path()), (std::set<std::string>{"s.txt", "folder.txt", "pipe.txt"}));
  }
}

TEST_F(CommandLine, RelativePathsAreTakenFromTheStartingFolder) {
  // The picture lies only beside the script: it is found only if the run
  // moves into the script's folder.
  fs::create_directories(dir_ / "sub");
  const std::string png = SavePng(dir_ / "sub" / "p.png", MakeFrame(4, 3, 0)).substr(8);
  const std::string script = CrLf({"MHDR 4 3 1 0 0 0 0", "IHDR p.png", "MEND"});
  Script("sub/s.txt", script);
  Script("s.txt", script);
  const std::string expected =
      kMngSignature +
      Chunk("MHDR", std::string("\0\0\0\4\0\0\0\3\0\0\0\1", 12) + std::string(16, '\0')) + png +
      Chunk("MEND", "");
  const struct {
    const char* name;
    const char* cwd;
    const char* arg;
  } kCases[] = {
      {"bare name in its folder", "sub", "s.txt"},
      {"folder and name", "", "sub/s.txt"},
      {"dot and double slash", "", "./sub//s.txt"},
      {"through the parent", "sub", "../sub/s.txt"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    const Result r = RunVessik({c.arg}, dir_ / c.cwd);
    SCOPED_TRACE(Describe(r));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, Done("mng.mng"));
    EXPECT_EQ(ReadFile(dir_ / "sub" / "mng.mng"), expected);
    EXPECT_EQ(Names(dir_.path()), (std::set<std::string>{"s.txt", "sub"}));
    fs::remove(dir_ / "sub" / "mng.mng");
  }
}

TEST_F(CommandLine, NoScriptArgumentAndNoAnswerCancels) {
  const struct {
    const char* name;
    std::optional<std::string> input;
  } kCases[] = {
      {"end of input", std::nullopt},
      {"empty input", ""},
      {"empty line", "\n"},
      {"empty line with CR", "\r\n"},
  };
  Script("s.txt");
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    const Result r = RunVessik({}, dir_.path(), c.input);
    SCOPED_TRACE(Describe(r));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.rfind(kPrompt, 0), 0u);
    EXPECT_EQ(r.err.find("エラー"), std::string::npos);
    EXPECT_EQ(Names(dir_.path()), std::set<std::string>{"s.txt"});
  }
}

TEST_F(CommandLine, ScriptPathTypedOnStandardInput) {
  const fs::path script = Script("two words/s.txt");
  const struct {
    const char* name;
    std::string input;
  } kCases[] = {
      {"absolute path", script.string() + "\n"},
      {"CR LF after it", script.string() + "\r\n"},
      {"no line end", script.string()},
      {"relative path", "two words/s.txt\n"},
      {"only the first line counts", script.string() + "\n/elsewhere/x.txt\n"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    const Result r = RunVessik({}, dir_.path(), c.input);
    SCOPED_TRACE(Describe(r));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, Done("mng.mng"));
    EXPECT_EQ(r.err.rfind(kPrompt, 0), 0u);
    EXPECT_EQ(r.err.find("エラー"), std::string::npos);
    EXPECT_EQ(ReadFile(dir_ / "two words" / "mng.mng"), SmallScriptOutput());
    fs::remove(dir_ / "two words" / "mng.mng");
  }
}

TEST_F(CommandLine, TypedPathThenTheAnswerToTheQuestion) {
  // One line for the path, then a key for the question, from one input.
  const fs::path script = Script("s.txt");
  for (const char* answer : {"y", "y\n", "n"}) {
    SCOPED_TRACE(answer);
    WriteFile(dir_ / "mng.mng", "older");
    const Result r = RunVessik({}, dir_.path(), script.string() + "\n" + answer);
    SCOPED_TRACE(Describe(r));
    const bool yes = answer[0] == 'y';
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, Question("mng.mng") + answer[0] + "\n" + (yes ? Done("mng.mng") : kCancelled));
    EXPECT_EQ(ReadFile(dir_ / "mng.mng"), yes ? SmallScriptOutput() : "older");
  }
}

TEST_F(CommandLine, OptionsAfterThePathArePartOfIt) {
  Script("s.txt -q");
  const Result r = RunVessik({(dir_ / "s.txt").string(), "-q"}, dir_.path());
  SCOPED_TRACE(Describe(r));
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, Done("mng.mng"));
  EXPECT_EQ(ReadFile(dir_ / "mng.mng"), SmallScriptOutput());
}

TEST_F(CommandLine, TypedPathWhoseFolderCannotBeEntered) {
  const Result r = RunVessik({}, dir_.path(), (dir_ / "none" / "s.txt").string() + "\n");
  SCOPED_TRACE(Describe(r));
  EXPECT_EQ(r.status, 254);
  EXPECT_EQ(r.out, "");
  const std::string message = Error("カレントディレクトリの移動に失敗しました。");
  ASSERT_GE(r.err.size(), message.size());
  EXPECT_EQ(r.err.substr(r.err.size() - message.size()), message);
  EXPECT_EQ(r.err.rfind(kPrompt, 0), 0u);
  EXPECT_TRUE(fs::is_empty(dir_.path()));
}

TEST_F(CommandLine, OutputNameFromTheFirstLine) {
  fs::create_directory(dir_ / "sub");
  const std::string mend = kMngSignature + Chunk("MEND", "");
  const struct {
    const char* name;
    std::string script;
    std::string output;  // as the message quotes it
    fs::path file;       // where it lands, from the script's folder
    std::string bytes;
  } kCases[] = {
      {"empty script", "", "mng.mng", "mng.mng", kMngSignature},
      {"editor's form", "# MNG=mng_qoya.mng\r\nMEND\r\n", "mng_qoya.mng", "mng_qoya.mng", mend},
      // Windows drops trailing blanks from file names; the message keeps them.
      {"blanks around =, space kept", "#MNG \t=  b c.mng \r\nMEND", "b c.mng ",
       UnderWine() ? "b c.mng" : "b c.mng ", mend},
      {"tab ends the name", "# MNG=t.mng\t# note\nMEND", "t.mng", "t.mng", mend},
      {"into a sub-folder", "# MNG=sub/o.mng\nMEND", "sub/o.mng", "sub/o.mng", mend},
      {"absolute", "# MNG=" + (dir_ / "sub" / "a.mng").string() + "\nMEND",
       (dir_ / "sub" / "a.mng").string(), "sub/a.mng", mend},
      {"nothing behind =", "# MNG=\r\nMEND", "mng.mng", "mng.mng", mend},
      {"small letters", "# mng=x.mng\nMEND", "mng.mng", "mng.mng", mend},
      {"blank before #", " # MNG=x.mng\nMEND", "mng.mng", "mng.mng", mend},
      {"on the second line", "MEND\n# MNG=x.mng\n", "mng.mng", "mng.mng", mend},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    const fs::path script = Script("s.txt", c.script);
    const Result r = RunVessik({script.string()}, dir_.path());
    SCOPED_TRACE(Describe(r));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, Done(c.output));
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(ReadFile(dir_ / c.file), c.bytes);
    fs::remove(dir_ / c.file);
    EXPECT_EQ(Names(dir_.path()), (std::set<std::string>{"s.txt", "sub"}));
    EXPECT_TRUE(fs::is_empty(dir_ / "sub"));
  }
}

TEST_F(CommandLine, LongPathsAndNamesAreNotCut) {
  if (UnderWine()) {
    GTEST_SKIP() << "Windows' narrow file calls stop at 260 characters";
  }
  // Well past the 271 bytes of a fixed path buffer.
  fs::path folder = "f";
  while (folder.string().size() < 600) {
    folder /= std::string(60, 'd');
  }
  fs::create_directories(dir_ / folder);
  const std::string out_name = folder.string() + "/" + std::string(200, 'o') + ".mng";
  const std::string bad_name = folder.string() + "/" + std::string(200, 'b') + ".png";
  WriteFile(dir_ / bad_name, "not a picture");

  const fs::path good = Script(folder / "good.txt", "# MNG=../" + std::string(200, 'o') +
                                                        ".mng\nMHDR 2 2 10 0 0 0 0\nMEND\n");
  Result r = RunVessik({good.string()}, dir_.path());
  EXPECT_EQ(r.status, 0) << Describe(r);
  EXPECT_EQ(r.out, Done("../" + std::string(200, 'o') + ".mng"));
  EXPECT_EQ(ReadFile(good.parent_path().parent_path() / (std::string(200, 'o') + ".mng")),
            SmallScriptOutput());

  const fs::path bad = Script("bad.txt", "# MNG=" + out_name + "\nMEND\nIHDR " + bad_name + "\n");
  r = RunVessik({bad.string()}, dir_.path());
  EXPECT_EQ(r.status, 255) << Describe(r);
  EXPECT_EQ(r.err, Error("(3行目) " + bad_name + "はPNGファイルではありません。"));
  EXPECT_FALSE(fs::exists(dir_ / out_name));
}

}  // namespace
}  // namespace cli
