// Chunk lines in, MNG bytes out: the chunk table, the field formats, the
// chunks with rules of their own and the messages of faulty lines.

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "mng_comp.h"
#include "test_support.h"

namespace vessik {
namespace {

using test::Bytes;
using test::Cat;
using test::Hex;
using test::ToHex;

constexpr const char* kParamCount = "(1行目) パラメータの数が正しくありません。\n";

class EncodeTest : public test::InTempDir {};

TEST_F(EncodeTest, MendOnly) {
  const Outcome o = CompileText("MEND\r\n");
  ASSERT_TRUE(o.ok) << o.message;
  EXPECT_EQ(o.message, "\"out.mng\" という名前で出力しました。\n");
  ASSERT_TRUE(o.output);
  EXPECT_EQ(ToHex(*o.output), ToHex(Cat({test::kMngSig, test::kMendChunk})));
}

TEST_F(EncodeTest, LoopAndEndlAsTheEditorWritesThem) {
  const Outcome o = CompileText("LOOP 1 0x7fffffff\r\nENDL 1\r\n");
  ASSERT_TRUE(o.ok) << o.message;
  ASSERT_TRUE(o.output);
  EXPECT_EQ(ToHex(*o.output),
            ToHex(Cat({test::kMngSig, Hex("00 00 00 05 4C 4F 4F 50 01 7F FF FF FF 9E 5D 86 F3"),
                       Hex("00 00 00 01 45 4E 44 4C 01 71 A2 1A A9")})));
}

TEST_F(EncodeTest, ThreeLineScriptGives60Bytes) {
  test::WriteText(dir_ / "script.txt", "# MNG=three.mng\r\nMHDR 2 2 10 0 0 0 0\r\nMEND\r\n");
  test::AnsweringComp comp;
  ASSERT_TRUE(comp.Compile("script.txt")) << comp.Message();
  EXPECT_EQ(comp.Message(), "\"three.mng\" という名前で出力しました。\n");
  const auto output = test::ReadBytes(dir_ / "three.mng");
  ASSERT_TRUE(output);
  EXPECT_EQ(output->size(), 60u);
  EXPECT_EQ(
      ToHex(*output),
      ToHex(Cat({test::kMngSig, Hex("00 00 00 1C 4D 48 44 52 00 00 00 02 00 00 00 02 00 00 00 0A"),
                 Bytes(16, 0), Hex("EE B6 38 1D"), test::kMendChunk})));
}

TEST_F(EncodeTest, EmptyBlankAndCommentLinesWriteNothing) {
  const struct {
    const char* script;
    Bytes output;
  } kCases[] = {
      {"", test::kMngSig},
      {"\n  \n# MEND\n\t\r\n", test::kMngSig},
      {"\n# c\r\rMEND # end\n\n", Cat({test::kMngSig, test::kMendChunk})},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(::testing::PrintToString(std::string(c.script)));
    const Outcome o = CompileText(c.script);
    ASSERT_TRUE(o.ok) << o.message;
    ASSERT_TRUE(o.output);
    EXPECT_EQ(ToHex(*o.output), ToHex(c.output));
  }
}

// One line, one chunk: its data bytes, worked out from the field widths.
TEST_F(EncodeTest, ChunkData) {
  const struct {
    std::string line;
    const char* data;
  } kCases[] = {
      {"MHDR 320 240 10 0 0 0 0",
       "00 00 01 40 00 00 00 F0 00 00 00 0A 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00"},
      {"LOOP 1 2 3 4 5 6 7", "01 00 00 00 02 03 00 00 00 04 00 00 00 05 00 00 00 06 00 00 00 07"},
      {"ENDL 256", "00"},
      {"ENDL 300", "2C"},
      {"DEFI 1", "00 01"},
      {"DEFI 1 1 1 -1 2", "00 01 01 01 FF FF FF FF 00 00 00 02"},
      {"DEFI 1 0 1 2 3 4 5 6 7",
       "00 01 00 01 00 00 00 02 00 00 00 03 00 00 00 04 00 00 00 05 00 00 00 06 00 00 00 07"},
      {"CLON 1 2", "00 01 00 02"},
      {"CLON 1 2 3 4 5 6 7 8", "00 01 00 02 03 04 05 06 00 00 00 07 00 00 00 08"},
      {"MAGN 1", "00 01"},
      {"MAGN 1 2 3 4 5 6 7 8 9 10", "00 01 00 02 03 00 04 00 05 00 06 00 07 00 08 00 09 0A"},
      {"DISC 1 2 3", "00 01 00 02 00 03"},
      {"TERM 2", "02"},
      {"TERM 3 0 100 5", "03 00 00 00 00 64 00 00 00 05"},
      {"BACK 1 2 3", "00 01 00 02 00 03"},
      {"BACK 1 2 3 1 5 1", "00 01 00 02 00 03 01 00 05 01"},
      {"MOVE 1 2 3 -1 5", "00 01 00 02 03 FF FF FF FF 00 00 00 05"},
      {"CLIP 1 2 3 4 5 6 7", "00 01 00 02 03 00 00 00 04 00 00 00 05 00 00 00 06 00 00 00 07"},
      {"SHOW", ""},
      {"SHOW 1 2 3", "00 01 00 02 03"},
      {"SEEK", ""},
      {"SEEK seg", "'seg'"},
      {"SEEK a#b", "'a#b'"},
      {"SEEK \xE3\x81\x82", "E3 81 82"},
      {"eXPI 5 snap", "00 05 'snap'"},
      {"fPRI 1 2", "01 02"},
      {"nEED a bb ccc", "'a' 00 'bb' 00 'ccc'"},
      {"pHYg 1 2 1", "00 00 00 01 00 00 00 02 01"},
      {"pHYs 2835 2835 1", "00 00 0B 13 00 00 0B 13 01"},
      {"tEXt Title \\0", "'Title' 00"},
      {"tEXt Title Hello", "'Title' 00 'Hello'"},
      {"tEXt \\0 x", "00 'x'"},
      {"tIME 2024 1 2 3 4 5", "07 E8 01 02 03 04 05"},
      {"cHRM 1 2 3 4 5 6 7 8",
       "00 00 00 01 00 00 00 02 00 00 00 03 00 00 00 04 00 00 00 05 00 00 00 06 00 00 00 07 "
       "00 00 00 08"},
      {"gAMA 45455", "00 00 B1 8F"},
      {"gAMA -2", "FF FF FF FE"},
      {"sRGB 256", "00"},
      {"MEND  # comment", ""},
      {"DEBG", ""},
      {"DEBG 1 2 3 4", "01 00 02 00 00 00 04"},
      {"DEBG 1 2 3 4 a b c d 9 10 11 12",
       "01 00 02 00 00 00 04 'a' 00 'b' 00 'c' 00 'd' 00 00 00 00 09 00 0A 0B 0C"},
      {"FRAM", ""},
      {"FRAM 1", "01"},
      {"FRAM 1 \\0", "01"},
      {"FRAM 4 name", "04 'name'"},
      {"FRAM 1 \\0 0 0 0 0", "01 00 00 00 00 00"},
      {"FRAM 1 \\0 2 0 0 0 5", "01 00 02 00 00 00 00 00 00 05"},
      {"FRAM 1 \\0 0 0 0 1", "01 00 00 00 00 01"},
      {"FRAM 1 \\0 0 0 0 1 7", "01 00 00 00 00 01 00 00 00 07"},
      {"FRAM 1 a 256 0 0 0 5", "01 'a' 00 00 00 00 00 00 00 00 05"},  // flag 256 is set
      {"FRAM 3 ab 1 2 3 4 10 20 0 1 2 3 4 9",
       "03 'ab' 00 01 02 03 04 00 00 00 0A 00 00 00 14 00 00 00 00 01 00 00 00 02 00 00 00 03 "
       "00 00 00 04 00 00 00 09"},
      {"SAVE", ""},
      {"SAVE 4", "04"},
      {"SAVE 4 2 a 3 b", "04 02 61 00 03 62"},
      {"SAVE 4 2", "04 02"},
      {"SAVE 4 0 1 2 3 4", "04 00 00 00 00 01 00 00 00 02 00 00 00 03 00 00 00 04"},
      {"SAVE 4 0 1 2 3 4 x 1 5 nm",
       "04 00 00 00 00 01 00 00 00 02 00 00 00 03 00 00 00 04 'x' 00 01 00 00 00 05 'nm'"},
      {"PAST 1 0 10 20 2 0 0 0 5 6 0 7 8 9 10",
       "00 01 00 00 00 00 0A 00 00 00 14 "
       "00 02 00 00 00 00 00 00 05 00 00 00 06 00 00 00 00 07 00 00 00 08 00 00 00 09 00 00 00 0A"},
      {"PAST 1 0 10 20 2 0 0 0 5 6 0 7 8 9 10 3 1 2 1 -1 -2 1 11 12 13 14",
       "00 01 00 00 00 00 0A 00 00 00 14 "
       "00 02 00 00 00 00 00 00 05 00 00 00 06 00 00 00 00 07 00 00 00 08 00 00 00 09 00 00 00 0A "
       "00 03 01 02 01 FF FF FF FF FF FF FF FE 01 00 00 00 0B 00 00 00 0C 00 00 00 0D 00 00 00 0E"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.line);
    const Outcome o = CompileText(c.line);
    ASSERT_TRUE(o.ok) << o.message;
    ASSERT_TRUE(o.output);
    const auto chunks = test::SplitChunks(*o.output);
    ASSERT_EQ(chunks.size(), 1u);
    EXPECT_EQ(chunks[0].type, c.line.substr(0, 4));
    EXPECT_EQ(ToHex(chunks[0].data), ToHex(Hex(c.data)));
  }
}

// Chunks longer than the pool's first 32768 bytes, each followed by a small one.
TEST_F(EncodeTest, LongChunksGrowThePool) {
  const std::string seek(40000, 's');
  const std::string text(70000, 't');
  const Outcome o = CompileText("SEEK " + seek + "\nMEND\ntEXt key " + text + "\nENDL 1\n");
  ASSERT_TRUE(o.ok) << o.message;
  ASSERT_TRUE(o.output);
  const auto chunks = test::SplitChunks(*o.output);
  ASSERT_EQ(chunks.size(), 4u);
  EXPECT_EQ(chunks[0].type, "SEEK");
  EXPECT_TRUE(chunks[0].data == test::Str(seek));
  EXPECT_EQ(chunks[1].type, "MEND");
  EXPECT_EQ(chunks[1].data, Bytes{});
  EXPECT_EQ(chunks[2].type, "tEXt");
  EXPECT_TRUE(chunks[2].data == test::Str("key" + std::string(1, '\0') + text));
  EXPECT_EQ(chunks[3].type, "ENDL");
  EXPECT_EQ(ToHex(chunks[3].data), "01");
}

// Which numbers of parameters each chunk with a plain format accepts.
TEST_F(EncodeTest, ParameterCounts) {
  const struct {
    const char* name;
    std::set<int> accepted;  // among 0 to 12
  } kCases[] = {
      {"DEBG", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}},
      {"MHDR", {7}},
      {"MEND", {0}},
      {"LOOP", {2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}},
      {"ENDL", {1}},
      {"DEFI", {1, 2, 3, 5, 9}},
      {"CLON", {2, 3, 4, 5, 8}},
      {"MAGN", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
      {"DISC", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}},
      {"TERM", {1, 4}},
      {"BACK", {3, 4, 5, 6}},
      {"MOVE", {5}},
      {"CLIP", {7}},
      {"SHOW", {0, 1, 2, 3}},
      {"SEEK", {0, 1}},
      {"eXPI", {2}},
      {"fPRI", {2}},
      {"nEED", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}},
      {"pHYg", {3}},
      {"tEXt", {2}},
      {"tIME", {6}},
      {"cHRM", {8}},
      {"gAMA", {1}},
      {"sRGB", {1}},
      {"pHYs", {3}},
  };
  for (const auto& c : kCases) {
    std::string line = c.name;
    for (int n = 0; n <= 12; ++n, line += " 3") {
      SCOPED_TRACE(line);
      const Outcome o = CompileText(line);
      const bool accepted = c.accepted.count(n) != 0;
      EXPECT_EQ(o.ok, accepted);
      EXPECT_EQ(o.message, accepted ? "\"out.mng\" という名前で出力しました。\n" : kParamCount);
    }
  }
}

// A faulty line ends the run with its message and leaves no file behind.
TEST_F(EncodeTest, FaultyLines) {
  std::string too_many = "MEND\nDISC";
  for (int i = 0; i < 1024; ++i) {
    too_many += " 1";
  }
  std::string later_too_many = "MEND 1\nDISC";
  for (int i = 0; i < 1024; ++i) {
    later_too_many += " 1";
  }
  std::string past14 = "PAST";
  for (int i = 0; i < 14; ++i) {
    past14 += " 1";
  }
  const struct {
    std::string script;
    const char* message;
  } kCases[] = {
      {"MHDR 1 2 3 4 5 6", kParamCount},
      {"MHDR 1 2 3 4 5 6 7 8", kParamCount},
      {"\n  \n# comment\n\t\nMHDR 1 2 3 4 5 6\nMEND\n",
       "(5行目) パラメータの数が正しくありません。\n"},
      {"MEND\r\rMEND\rXXXX 1", "(4行目) 未対応のチャンクです。\n"},
      {"MHDR 1 1 1 0 0 0 0\r\nMEND\r\nBOGUS", "(3行目) チャンクでもコメントでもない文字列です。\n"},
      {"mhdr 320 240 10 0 0 0 0", "(1行目) 未対応のチャンクです。\n"},
      {"Mend", "(1行目) 未対応のチャンクです。\n"},
      {"MHDRX 320 240 10 0 0 0 0", "(1行目) チャンクでもコメントでもない文字列です。\n"},
      {"MEN", "(1行目) チャンクでもコメントでもない文字列です。\n"},
      {"MEND#x", "(1行目) チャンクでもコメントでもない文字列です。\n"},
      {"\xE3\x81\x82", "(1行目) チャンクでもコメントでもない文字列です。\n"},
      {too_many, "パラメータの数がPARAM_MAX個を越えています。\n"},
      {later_too_many, kParamCount},  // the first faulty line ends the run
      {"TERM 2 0 100 5",
       "(1行目) "
       "TERMチャンクは最初のパラメータが3以外の時、2つ目以降のパラメータを省略せねばなりませ"
       "ん。\n"},
      {"TERM 3 0", kParamCount},
      {"FRAM 1 a 0", kParamCount},
      {"FRAM 1 \\0 2 0 0 0", kParamCount},  // the delay is missing
      {"FRAM 1 a 0 0 0 0 9", kParamCount},  // no flag asks for it
      {"FRAM 1 a 0 0 1 0 1 2 3 4", kParamCount},
      {"FRAM 1 \\0 0 0 0 1 7 8", kParamCount},
      {"SAVE 8",
       "(1行目) このバイナリの制限により、SAVEチャンクの最初のパラメータは4のみが指定可能です。\n"},
      {"SAVE 5", "(1行目) SAVEチャンクの最初のパラメータは4か8でなければなりません。\n"},
      {"SAVE 0 2 a", "(1行目) SAVEチャンクの最初のパラメータは4か8でなければなりません。\n"},
      {"SAVE 4 0 1 2 3", kParamCount},
      {"SAVE 4 1", kParamCount},
      {"SAVE 4 7", "(1行目) entry_typeの値は0-3のみが指定可能です。\n"},
      {"SAVE 4 2 a 4 b", "(1行目) entry_typeの値は0-3のみが指定可能です。\n"},
      {"PAST", kParamCount},
      {past14, kParamCount},
      {past14 + " 1 1", kParamCount},
      {"IHDR", kParamCount},
      {"IHDR a.png b.png", kParamCount},
      {"JHDR", kParamCount},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.script.substr(0, 60));
    const Outcome o = CompileText(c.script);
    EXPECT_FALSE(o.ok);
    EXPECT_EQ(o.message, c.message);
    EXPECT_EQ(test::Entries(dir_.path()), std::vector<std::string>{});
  }
}

}  // namespace
}  // namespace vessik
