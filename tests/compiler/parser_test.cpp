#include "parser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_support.h"

namespace vessik {
namespace {

using Lines = std::vector<std::string>;

constexpr const char* kTooManyTokens = "パラメータの数がPARAM_MAX個を越えています。\n";

// Reads lines until the end; each line is its tokens joined by '|'.
Lines ReadAll(CParser& parser) {
  Lines lines;
  for (int guard = 0; guard < 1000; ++guard) {
    if (!parser.ReadLine()) {
      ADD_FAILURE() << parser.Message();
      break;
    }
    if (parser.AtEnd()) {
      break;
    }
    std::string joined;
    for (std::size_t i = 0; i < parser.TokenCount(); ++i) {
      joined += (i > 0 ? "|" : "") + std::string(parser.Token(i));
    }
    lines.push_back(joined);
  }
  return lines;
}

Lines LinesOf(std::string_view text) {
  CParser parser;
  parser.SetText(text);
  return ReadAll(parser);
}

// n tokens "MHDR 1 1 1 ..." on one line.
std::string TokenLine(std::size_t n) {
  std::string line = "MHDR";
  for (std::size_t i = 1; i < n; ++i) {
    line += " 1";
  }
  return line;
}

TEST(ParserTest, LfCrLfAndLoneCrGiveTheSameLines) {
  const std::string kScript = "MHDR 1 2\n\n  \n# note\nLOOP 1 0x7fffffff\nMEND";
  const Lines kExpected = {"MHDR|1|2", "", "", "", "LOOP|1|0x7fffffff", "MEND"};
  for (const std::string end : {"\n", "\r\n", "\r"}) {
    for (const bool last_terminated : {false, true}) {
      std::string text;
      for (const char c : kScript) {
        text += c == '\n' ? end : std::string(1, c);
      }
      if (last_terminated) {
        text += end;
      }
      SCOPED_TRACE(::testing::PrintToString(text));
      EXPECT_EQ(LinesOf(text), kExpected);
    }
  }
}

TEST(ParserTest, MixedLineEnds) {
  const struct {
    const char* text;
    Lines lines;
  } kCases[] = {
      {"", {}},
      {"\n", {""}},
      {"\r", {""}},
      {"\r\n", {""}},
      {"A\n\rB", {"A", "", "B"}},  // LF then CR: two line ends
      {"A\r\rB", {"A", "", "B"}},
      {"A\r\r\nB", {"A", "", "B"}},
      {"A\rB\nC", {"A", "B", "C"}},
      {"A\r\n\r\nB\n\n", {"A", "", "B", ""}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(::testing::PrintToString(std::string(c.text)));
    EXPECT_EQ(LinesOf(c.text), c.lines);
  }
}

TEST(ParserTest, BlanksCommentsAndTokens) {
  const struct {
    const char* name;
    std::string line;
    std::string tokens;
  } kCases[] = {
      {"blanks only", " \t  ", ""},
      {"comment only", "# MEND 1 2", ""},
      {"comment after blanks", "\t  #x", ""},
      {"comment after a token", "MEND # note", "MEND"},
      {"'#' inside a token", "MEND#x", "MEND#x"},
      {"'#' inside later tokens", "SEEK a#b c# #d e", "SEEK|a#b|c#"},
      {"tabs and runs of blanks", "\tLOOP\t 1  \t2\t ", "LOOP|1|2"},
      {"only space and tab are blanks", "DEBG a\vb c\fd", "DEBG|a\vb|c\fd"},
      {"control and high bytes belong to tokens",
       std::string("SEEK \x01\x7F\x80\xFF x", 11) + std::string(1, '\0') + "y",
       std::string("SEEK|\x01\x7F\x80\xFF|x", 11) + std::string(1, '\0') + "y"},
      {"CR LF after blanks", "MEND  \r\n", "MEND"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(LinesOf(c.line), Lines{c.tokens});
  }
}

TEST(ParserTest, AtMost1024TokensPerLine) {
  const struct {
    const char* name;
    std::string text;
    bool ok;
  } kCases[] = {
      {"1024 tokens", TokenLine(1024), true},
      {"1024 tokens, blanks, a comment, CR LF", TokenLine(1024) + " \t # 1 2 3\r\nMEND", true},
      {"1024 tokens and a trailing blank", TokenLine(1024) + " ", true},
      {"1025 tokens", TokenLine(1025), false},
      {"1025 tokens and a comment", TokenLine(1025) + " # x", false},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    CParser parser;
    parser.SetText(c.text);
    EXPECT_EQ(parser.ReadLine(), c.ok);
    if (c.ok) {
      EXPECT_EQ(parser.TokenCount(), PARAM_MAX);
      EXPECT_EQ(parser.Token(1023), "1");
    } else {
      EXPECT_EQ(parser.Message(), kTooManyTokens);
    }
  }
}

TEST(ParserTest, ParseNumber) {
  const struct {
    const char* token;
    std::uint32_t value;
  } kCases[] = {
      {"16", 16},
      {"0x10", 16},
      {"0X10", 16},
      {"020", 16},
      {"+16", 16},
      {"0xaB", 0xAB},
      {"0", 0},
      {"08", 0},  // 8 is no octal digit
      {"017", 15},
      {"12abc", 12},
      {"1e3", 1},
      {"0x1fZ", 0x1F},
      {"abc", 0},
      {"", 0},
      {"-", 0},
      {"0x", 0},
      {"-1", 0xFFFFFFFF},
      {"-2", 0xFFFFFFFE},
      {"-0x10", 0xFFFFFFF0},
      {"4294967295", 0xFFFFFFFF},
      {"4294967296", 0xFFFFFFFF},
      {"99999999999", 0xFFFFFFFF},
      {"0x100000000", 0xFFFFFFFF},
      {"0x7fffffff", 0x7FFFFFFF},
      {"+0x10", 16},
      {"0x00000000010", 16},
      {"037777777777", 0xFFFFFFFF},
      {"300", 300},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.token);
    EXPECT_EQ(ParseNumber(c.token), c.value);
  }
}

TEST(ParserTest, PeekFirstLineLeavesTheReadPositionAlone) {
  CParser parser;
  parser.SetText("# MNG=a b\r\nMEND");
  ASSERT_TRUE(parser.PeekFirstLine());
  EXPECT_EQ(parser.Token(0), "# MNG=a b\r");  // the CR of CR LF lies inside the line
  EXPECT_EQ(ReadAll(parser), (Lines{"", "MEND"}));

  CParser empty;
  empty.SetText("");
  EXPECT_FALSE(empty.PeekFirstLine());
}

TEST(ParserTest, EndFlagStaysSet) {
  CParser parser;
  parser.SetText("MEND");
  ASSERT_TRUE(parser.ReadLine());
  EXPECT_FALSE(parser.AtEnd());
  for (int i = 0; i < 2; ++i) {
    ASSERT_TRUE(parser.ReadLine());
    EXPECT_TRUE(parser.AtEnd());
  }
}

TEST(ParserTest, LoadReadsTheFileByteForByte) {
  test::TempDir dir;
  test::WriteBytes(dir / "script.txt", test::Str(std::string("MEND\r\nSEEK a\x1A", 13) +
                                                 std::string(1, '\0') + "b\r\n"));
  test::WriteText(dir / "empty.txt", "");

  CParser parser;
  ASSERT_TRUE(parser.Load((dir / "script.txt").string()));
  EXPECT_EQ(parser.Size(), 17u);
  EXPECT_EQ(ReadAll(parser), (Lines{"MEND", std::string("SEEK|a\x1A", 7) + '\0' + "b"}));

  CParser empty;
  ASSERT_TRUE(empty.Load((dir / "empty.txt").string()));
  EXPECT_EQ(empty.Size(), 0u);
  ASSERT_TRUE(empty.ReadLine());
  EXPECT_TRUE(empty.AtEnd());

  for (const char* bad : {"missing.txt", "."}) {
    SCOPED_TRACE(bad);
    CParser p;
    EXPECT_FALSE(p.Load((dir / bad).string()));
    EXPECT_EQ(p.Message(), "ファイルの読込に失敗しました。");
  }
}

// The output name a script's first line chooses, as Compile sees it: the test
// declines the overwrite question, which names the file and writes nothing.
TEST(OutputNameTest, DirectiveOnTheFirstLine) {
  const struct {
    const char* name;
    std::string script;
    std::string output;
  } kCases[] = {
      {"editor's form", "# MNG=mng_qoya.mng\r\nMEND\r\n", "mng_qoya.mng"},
      {"no blank behind '#'", "#MNG=a.mng\n", "a.mng"},
      {"blanks around '='", "# MNG = a.mng\n", "a.mng"},
      {"tabs as blanks", "#\tMNG\t=\ta.mng\n", "a.mng"},
      {"no line end", "# MNG=a.mng", "a.mng"},
      {"lone CR", "# MNG=a.mng\rMEND", "a.mng"},
      {"space inside and behind the name", "# MNG=my a.mng  \r\n", "my a.mng  "},
      {"tab ends the name", "# MNG=a.mng\tmore\n", "a.mng"},
      {"'=' inside the name", "# MNG==a\n", "=a"},
      {"UTF-8 name", "# MNG=アニメ.mng\r\n", "アニメ.mng"},
      {"300-byte name", "# MNG=" + std::string(300, 'n') + "\n", std::string(300, 'n')},
      {"control byte right behind '='", "# MNG=\x01x\n", ""},
      {"small letters", "# mng=a.mng\n", "mng.mng"},
      {"blank before '#'", " # MNG=a.mng\n", "mng.mng"},
      {"'#' twice", "## MNG=a.mng\n", "mng.mng"},
      {"no '='", "# MNG a.mng\n", "mng.mng"},
      {"other byte before '='", "# MNGX=a.mng\n", "mng.mng"},
      {"nothing behind '='", "# MNG=\r\nMEND", "mng.mng"},
      {"only blanks behind '='", "# MNG=  \nMEND", "mng.mng"},
      {"'=' at the end of the file", "# MNG=", "mng.mng"},
      {"line ends after MNG", "# MNG\n=a.mng", "mng.mng"},
      {"directive on the second line", "MEND\n# MNG=a.mng\n", "mng.mng"},
      {"empty first line", "\n# MNG=a.mng\n", "mng.mng"},
      {"empty script", "", "mng.mng"},
  };
  test::TempDir dir;
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    test::WriteText(dir / "script.txt", c.script);
    test::AnsweringComp comp;
    comp.answer = false;
    EXPECT_TRUE(comp.Compile((dir / "script.txt").string()));
    EXPECT_EQ(comp.asked, std::vector<std::string>{c.output});
    EXPECT_EQ(comp.Message(), "MNGファイルの書出を中止しました。\n");
  }
  EXPECT_EQ(test::Entries(dir.path()), std::vector<std::string>{"script.txt"});
}

TEST(OutputNameTest, AGivenNameWinsOverTheDirective) {
  test::TempDir dir;
  test::WriteText(dir / "script.txt", "# MNG=a.mng\n");
  test::AnsweringComp comp;
  comp.answer = false;
  EXPECT_TRUE(comp.Compile((dir / "script.txt").string(), "given.mng"));
  EXPECT_EQ(comp.asked, std::vector<std::string>{"given.mng"});
}

}  // namespace
}  // namespace vessik
