// The console's question before an existing output file is replaced.

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "run_vessik.h"

namespace cli {
namespace {

const std::string kOld = "an older file of the same name\n";

class Overwrite : public testing::Test {
 protected:
  void SetUp() override {
    WriteFile(dir_ / "s.txt", "# MNG=out.mng\r\n" + kSmallScript);
    WriteFile(dir_ / "out.mng", kOld);
  }

  Result Compile(std::vector<std::string> options, std::optional<std::string> input) {
    options.push_back((dir_ / "s.txt").string());
    return RunVessik(options, dir_.path(), std::move(input));
  }

  TempDir dir_;
};

TEST_F(Overwrite, AnswerOnStandardInput) {
  const struct {
    const char* name;
    std::optional<std::string> input;
    char echo;  // the key shown after the question; 0 when the input ends first
    bool replaced;
  } kCases[] = {
      {"y", "y", 'y', true},
      {"Y", "Y", 'Y', true},
      {"n", "n", 'n', false},
      {"N", "N", 'N', false},
      {"y and line feed", "y\n", 'y', true},
      {"other keys before y", "abc\n \tq7y", 'y', true},
      {"other keys before N", "x\r\nzN", 'N', false},
      {"first answer counts", "ny", 'n', false},
      {"end of input", std::nullopt, 0, false},
      {"empty input", "", 0, false},
      {"only other keys", "abc\nxqz 1", 0, false},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    WriteFile(dir_ / "out.mng", kOld);
    const Result r = Compile({}, c.input);
    SCOPED_TRACE(Describe(r));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    const std::string last = c.replaced ? Done("out.mng") : kCancelled;
    if (c.echo != 0) {
      EXPECT_EQ(r.out, Question("out.mng") + c.echo + "\n" + last);
    } else {
      // Without a key there is nothing to show but the question; the final
      // message still starts a line of its own.
      EXPECT_EQ(r.out.rfind(Question("out.mng"), 0), 0u);
      ASSERT_GT(r.out.size(), last.size());
      EXPECT_EQ(r.out.substr(r.out.size() - last.size()), last);
      EXPECT_EQ(r.out[r.out.size() - last.size() - 1], '\n');
    }
    EXPECT_EQ(ReadFile(dir_ / "out.mng"), c.replaced ? SmallScriptOutput() : kOld);
    EXPECT_EQ(Names(dir_.path()), (std::set<std::string>{"s.txt", "out.mng"}));
  }
}

TEST_F(Overwrite, YesOptionReplacesWithoutAsking) {
  for (const char* option : {"-y", "--yes"}) {
    SCOPED_TRACE(option);
    WriteFile(dir_ / "out.mng", kOld);
    const Result r = Compile({option}, "n");
    SCOPED_TRACE(Describe(r));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, Done("out.mng"));
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(ReadFile(dir_ / "out.mng"), SmallScriptOutput());
    EXPECT_EQ(Names(dir_.path()), (std::set<std::string>{"s.txt", "out.mng"}));
  }
}

TEST_F(Overwrite, NoQuestionWithoutAnExistingFile) {
  fs::remove(dir_ / "out.mng");
  const Result r = Compile({}, "n");
  SCOPED_TRACE(Describe(r));
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, Done("out.mng"));
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(ReadFile(dir_ / "out.mng"), SmallScriptOutput());
}

TEST_F(Overwrite, ReplacedFileIsNotAppendedTo) {
  // An old file longer than the new output leaves no tail behind.
  WriteFile(dir_ / "out.mng", std::string(100000, 'z'));
  const Result r = Compile({}, "y");
  EXPECT_EQ(r.status, 0) << Describe(r);
  EXPECT_EQ(ReadFile(dir_ / "out.mng"), SmallScriptOutput());
}

TEST_F(Overwrite, DeclinedRunLeavesEverythingAsItWas) {
  // A folder of the output's name counts as an existing file, too.
  fs::remove(dir_ / "out.mng");
  fs::create_directory(dir_ / "out.mng");
  WriteFile(dir_ / "out.mng" / "inside", kOld);
  const Result r = Compile({}, "n");
  SCOPED_TRACE(Describe(r));
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, Question("out.mng") + "n\n" + kCancelled);
  EXPECT_EQ(ReadFile(dir_ / "out.mng" / "inside"), kOld);
  EXPECT_EQ(Names(dir_.path()), (std::set<std::string>{"s.txt", "out.mng"}));
}

}  // namespace
}  // namespace cli
