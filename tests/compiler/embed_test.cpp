// IHDR and JHDR lines: whole PNG and JNG files copied into the stream.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#ifndef _WIN32
#include <unistd.h>
#endif

#include "test_support.h"

namespace vessik {
namespace {

using test::Bytes;
using test::Cat;
using test::Hex;
using test::kMendChunk;
using test::kMngSig;
using test::ToHex;

const Bytes kLoopChunk = Hex("00 00 00 05 4C 4F 4F 50 01 7F FF FF FF 9E 5D 86 F3");
const Bytes kEndlChunk = Hex("00 00 00 01 45 4E 44 4C 01 71 A2 1A A9");

// The chunks of a 1x1 RGB PNG: IHDR and IEND (no pixel data needed here).
const Bytes kPngChunks =
    Hex("00 00 00 0D 'IHDR' 00 00 00 01 00 00 00 01 08 02 00 00 00 90 77 53 DE "
        "00 00 00 00 'IEND' AE 42 60 82");

class EmbedTest : public test::InTempDir {};

TEST_F(EmbedTest, FileWithoutItsSignatureStandsInPlaceOfTheLine) {
  const Bytes damaged = Hex("'junk' 00 FF 12 00 00 00 07");  // copied as it is
  const Bytes jng_chunks = Hex("00 00 00 00 'JHDR' 01 02 03 04 00 00 00 00 'IEND' AE 42 60 82");
  test::WriteBytes(dir_ / "frame.png", Cat({test::kPngSig, kPngChunks}));
  test::WriteBytes(dir_ / "damaged.png", Cat({test::kPngSig, damaged}));
  test::WriteBytes(dir_ / "sig.png", test::kPngSig);
  test::WriteBytes(dir_ / "photo.jng", Cat({test::kJngSig, jng_chunks}));
  std::filesystem::create_directory(dir_ / "sub");
  test::WriteBytes(dir_ / "sub" / "f.png", Cat({test::kPngSig, Hex("'sub'")}));

  const struct {
    const char* line;
    Bytes embedded;
  } kCases[] = {
      {"IHDR frame.png", kPngChunks}, {"IHDR damaged.png", damaged},    {"IHDR sig.png", {}},
      {"JHDR photo.jng", jng_chunks}, {"IHDR sub/f.png", Hex("'sub'")},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.line);
    const Outcome o =
        CompileText("LOOP 1 0x7fffffff\r\n" + std::string(c.line) + "\r\nENDL 1\r\nMEND\r\n");
    ASSERT_TRUE(o.ok) << o.message;
    ASSERT_TRUE(o.output);
    EXPECT_EQ(ToHex(*o.output),
              ToHex(Cat({kMngSig, kLoopChunk, c.embedded, kEndlChunk, kMendChunk})));
  }
}

TEST_F(EmbedTest, LargeFilesAreCopiedWholeAndInOrder) {
  Bytes big(300000);
  for (std::size_t i = 0; i < big.size(); ++i) {
    big[i] = static_cast<std::uint8_t>((i * 7919) >> 3);
  }
  test::WriteBytes(dir_ / "big.png", Cat({test::kPngSig, big}));
  const Outcome o = CompileText("LOOP 1 0x7fffffff\nIHDR big.png\nIHDR big.png\nENDL 1\nMEND");
  ASSERT_TRUE(o.ok) << o.message;
  ASSERT_TRUE(o.output);
  const Bytes expected = Cat({kMngSig, kLoopChunk, big, big, kEndlChunk, kMendChunk});
  ASSERT_EQ(o.output->size(), expected.size());
  EXPECT_TRUE(*o.output == expected);
}

TEST_F(EmbedTest, UnusableFiles) {
  test::WriteBytes(dir_ / "short.png", Bytes(test::kPngSig.begin(), test::kPngSig.end() - 1));
  test::WriteBytes(dir_ / "empty.png", {});
  test::WriteBytes(dir_ / "x.jng", Cat({test::kJngSig, kPngChunks}));
  test::WriteBytes(dir_ / "x.png", Cat({test::kPngSig, kPngChunks}));
  test::WriteBytes(dir_ / "x.mng", Cat({kMngSig, kMendChunk}));
  test::WriteBytes(dir_ / "lf.png", Hex("89 50 4E 47 0A 1A 0A 00 00 00"));  // CR LF made LF
  std::filesystem::create_directories(dir_ / "folder.png");
  std::filesystem::create_directories(dir_ / "sub");
  test::WriteBytes(dir_ / "sub" / "y.jng", test::kJngSig);

  const struct {
    const char* script;
    const char* message;
  } kCases[] = {
      {"IHDR short.png", "(1行目) short.pngはPNGファイルではありません。\n"},
      {"IHDR empty.png", "(1行目) empty.pngはPNGファイルではありません。\n"},
      {"MEND\nIHDR x.jng", "(2行目) x.jngはPNGファイルではありません。\n"},
      {"IHDR sub/y.jng", "(1行目) sub/y.jngはPNGファイルではありません。\n"},
      {"IHDR x.mng", "(1行目) x.mngはPNGファイルではありません。\n"},
      {"IHDR lf.png", "(1行目) lf.pngはPNGファイルではありません。\n"},
      {"JHDR x.png", "(1行目) x.pngはJNGファイルではありません。\n"},
      {"JHDR empty.png", "(1行目) empty.pngはJNGファイルではありません。\n"},
      {"MEND\n\nIHDR missing.png", "(3行目) PNGファイルの読込に失敗しました。\n"},
      {"JHDR missing.jng", "(1行目) JNGファイルの読込に失敗しました。\n"},
      {"IHDR folder.png", "(1行目) PNGファイルの読込に失敗しました。\n"},
      {"JHDR folder.png", "(1行目) JNGファイルの読込に失敗しました。\n"},
  };
  const auto before = test::Entries(dir_.path());
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.script);
    const Outcome o = CompileText(c.script);
    EXPECT_FALSE(o.ok);
    EXPECT_EQ(o.message, c.message);
    EXPECT_EQ(test::Entries(dir_.path()), before);  // no output, no leftovers
  }
}

// Names from the script are quoted whole, however long the message gets.
TEST_F(EmbedTest, LongNamesAreNeverCut) {
  std::string name;
  for (const char c : {'a', 'b', 'c'}) {
    name += std::string(120, c) + "/";
    std::filesystem::create_directory(dir_ / name);
  }
  name += "x.jng";
  test::WriteBytes(dir_ / name, test::kJngSig);
  const Outcome o = CompileText("IHDR " + name);
  EXPECT_FALSE(o.ok);
  EXPECT_EQ(o.message, "(1行目) " + name + "はPNGファイルではありません。\n");
}

TEST_F(EmbedTest, UnreadableFile) {
#ifdef _WIN32
  GTEST_SKIP() << "no permission bits to take away";
#else
  if (geteuid() == 0) {
    GTEST_SKIP() << "root reads every file";
  }
  test::WriteBytes(dir_ / "locked.png", Cat({test::kPngSig, kPngChunks}));
  std::filesystem::permissions(dir_ / "locked.png", std::filesystem::perms::none);
  const Outcome o = CompileText("MEND\nIHDR locked.png");
  EXPECT_FALSE(o.ok);
  EXPECT_EQ(o.message, "(2行目) PNGファイルの読込に失敗しました。\n");
  EXPECT_FALSE(o.output);
#endif
}

}  // namespace
}  // namespace vessik
