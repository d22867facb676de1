// The output writer: CRC-32, chunk framing, and a file that appears under its
// name only when a run completes.

#include "png_mng.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#ifdef __linux__
#include <sys/resource.h>
#include <csignal>
#endif

#include "test_support.h"

namespace vessik {
namespace {

using test::Bytes;
using test::Cat;
using test::Hex;
using test::ToHex;
using Names = std::vector<std::string>;

std::uint32_t Crc(const Bytes& bytes) {
  return Crc32().Compute(bytes.data(), bytes.size());
}

TEST(Crc32Test, KnownValues) {
  EXPECT_EQ(Crc(test::Str("123456789")), 0xCBF43926u);
  EXPECT_EQ(Crc(test::Str("IEND")), 0xAE426082u);
  EXPECT_EQ(Crc({}), 0u);
  EXPECT_EQ(Crc32().Table()[1], 0x77073096u);
  EXPECT_EQ(Crc32().Table()[128], 0xEDB88320u);
}

TEST(Crc32Test, AgreesWithBitwiseCrcForEveryLengthAndAlignment) {
  Bytes data(300);
  for (std::size_t i = 0; i < data.size(); ++i) {
    data[i] = static_cast<std::uint8_t>(i * 167 + 13);
  }
  const Crc32 crc;
  for (std::size_t offset = 0; offset < 8; ++offset) {
    for (std::size_t size = 0; size + offset <= data.size(); size += (size < 40 ? 1 : 37)) {
      ASSERT_EQ(crc.Compute(data.data() + offset, size),
                test::ReferenceCrc(data.data() + offset, size))
          << "offset " << offset << ", size " << size;
    }
  }
}

class WriterTest : public test::InTempDir {};

TEST_F(WriterTest, FramesChunksWithLengthAndCrc) {
  const Bytes iend = test::Str("IEND");
  const Bytes text = test::Str("tEXtab");
  const Bytes raw = Hex("01 02 03");
  CPngMng writer;
  ASSERT_TRUE(writer.Open("out.mng"));
  writer.WriteSignature();
  writer.SetBlock(iend.data(), iend.size());
  writer.WriteChunk();
  writer.SetBlock(text.data(), text.size());
  writer.WriteChunk();
  writer.SetBlock(raw.data(), raw.size());
  writer.WriteRaw();
  ASSERT_TRUE(writer.Close());
  const auto output = test::ReadBytes(dir_ / "out.mng");
  ASSERT_TRUE(output);
  // The length counts the data only; the CRC covers type and data.
  const std::uint32_t text_crc = test::ReferenceCrc(text.data(), text.size());
  EXPECT_EQ(
      ToHex(*output),
      ToHex(Cat(
          {test::kMngSig,
           Hex("00 00 00 00 49 45 4E 44 AE 42 60 82"),
           Hex("00 00 00 02 'tEXtab'"),
           {static_cast<std::uint8_t>(text_crc >> 24), static_cast<std::uint8_t>(text_crc >> 16),
            static_cast<std::uint8_t>(text_crc >> 8), static_cast<std::uint8_t>(text_crc)},
           raw})));
}

TEST_F(WriterTest, BlocksLargerThanAnyBufferKeepTheirOrder) {
  Bytes big(1 << 20);
  for (std::size_t i = 0; i < big.size(); ++i) {
    big[i] = static_cast<std::uint8_t>(i ^ (i >> 9));
  }
  const Bytes mend = test::Str("MEND");
  CPngMng writer;
  ASSERT_TRUE(writer.Open("out.mng"));
  writer.WriteSignature();
  writer.SetBlock(big.data(), big.size());
  writer.WriteRaw();
  writer.SetBlock(mend.data(), mend.size());
  writer.WriteChunk();
  ASSERT_TRUE(writer.Close());
  const auto output = test::ReadBytes(dir_ / "out.mng");
  ASSERT_TRUE(output);
  EXPECT_TRUE(*output == Cat({test::kMngSig, big, test::kMendChunk}));
}

TEST_F(WriterTest, FileAppearsOnlyOnClose) {
  test::WriteText(dir_ / "out.mng", std::string(100, 'x'));
  {
    CPngMng writer;
    ASSERT_TRUE(writer.Open("out.mng"));
    writer.WriteSignature();
    // Written beside the old file, in the same folder, until Close.
    EXPECT_EQ(test::Entries(dir_.path()).size(), 2u);
    EXPECT_EQ(test::ReadBytes(dir_ / "out.mng"), test::Str(std::string(100, 'x')));
    ASSERT_TRUE(writer.Close());
  }
  EXPECT_EQ(test::Entries(dir_.path()), Names{"out.mng"});
  EXPECT_EQ(ToHex(*test::ReadBytes(dir_ / "out.mng")), ToHex(test::kMngSig));  // replaced whole
}

TEST_F(WriterTest, DiscardOrDestructionKeepsTheOldFile) {
  test::WriteText(dir_ / "out.mng", "old");
  {
    CPngMng writer;
    ASSERT_TRUE(writer.Open("out.mng"));
    writer.WriteSignature();
    writer.Discard();
  }
  {
    CPngMng writer;
    ASSERT_TRUE(writer.Open("out.mng"));
    writer.WriteSignature();
  }
  EXPECT_EQ(test::Entries(dir_.path()), Names{"out.mng"});
  EXPECT_EQ(test::ReadBytes(dir_ / "out.mng"), test::Str("old"));
}

TEST_F(WriterTest, OpenFailsWhereNoFileCanBeMade) {
  CPngMng writer;
  EXPECT_FALSE(writer.Open("missing/out.mng"));
  EXPECT_EQ(test::Entries(dir_.path()), Names{});
}

// The same guarantees seen through a whole compile.
TEST_F(WriterTest, CompileReplacesTheOutputOnlyWhenItSucceeds) {
  const struct {
    const char* name;
    const char* script;
    bool answer;
    bool ok;
    const char* message;
    Bytes output;
  } kCases[] = {
      {"success replaces", "MEND", true, true, "\"out.mng\" という名前で出力しました。\n",
       Cat({test::kMngSig, test::kMendChunk})},
      {"faulty line keeps", "MEND\nMEND 1", true, false,
       "(2行目) パラメータの数が正しくありません。\n", test::Str("old contents")},
      {"missing image keeps", "MEND\nIHDR none.png", true, false,
       "(2行目) PNGファイルの読込に失敗しました。\n", test::Str("old contents")},
      {"declined keeps", "MEND", false, true, "MNGファイルの書出を中止しました。\n",
       test::Str("old contents")},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    test::WriteText(dir_ / "out.mng", "old contents");
    test::AnsweringComp comp;
    comp.answer = c.answer;
    EXPECT_EQ(comp.CompileText(c.script, "out.mng"), c.ok);
    EXPECT_EQ(comp.Message(), c.message);
    EXPECT_EQ(comp.asked, Names{"out.mng"});
    EXPECT_EQ(test::Entries(dir_.path()), Names{"out.mng"});
    EXPECT_EQ(ToHex(*test::ReadBytes(dir_ / "out.mng")), ToHex(c.output));
  }
}

TEST_F(WriterTest, CompileFailsWhenTheOutputCannotBeCreated) {
  test::AnsweringComp comp;
  EXPECT_FALSE(comp.CompileText("MEND", "missing/out.mng"));
  EXPECT_EQ(comp.Message(), "MNGファイルの書出に失敗しました。\n");
  EXPECT_EQ(test::Entries(dir_.path()), Names{});
}

TEST_F(WriterTest, UnreadableScriptIsReported) {
  for (const char* script : {"missing.txt", "."}) {
    SCOPED_TRACE(script);
    test::AnsweringComp comp;
    EXPECT_FALSE(comp.Compile(script));
    EXPECT_EQ(comp.Message(), "リソースファイルの読込に失敗しました。\n");
    EXPECT_EQ(comp.asked, Names{});
    EXPECT_EQ(test::Entries(dir_.path()), Names{});
  }
}

#ifdef __linux__
// A file size limit makes the output's writes fail like a full disk.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    old_handler_ = std::signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &saved_);
    rlimit limit = saved_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, old_handler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit saved_{};
  void (*old_handler_)(int);
};

TEST_F(WriterTest, WriteErrorsFailTheRunAndLeaveNoFile) {
  std::string many_ids = "DISC";
  for (int i = 0; i < 1000; ++i) {  // 2000 data bytes
    many_ids += " 1";
  }
  test::WriteBytes(dir_ / "big.png", Cat({test::kPngSig, Bytes(100000, 0x55)}));
  test::WriteText(dir_ / "out.mng", "old contents");
  const struct {
    const char* name;
    std::string script;
  } kCases[] = {
      {"buffered chunks", "MHDR 1 1 1 0 0 0 0\n" + many_ids + "\nMEND"},
      {"embedded image last", "MEND\nIHDR big.png"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    test::AnsweringComp comp;
    bool ok = true;
    {
      FileSizeLimit limit(1024);
      ok = comp.CompileText(c.script, "out.mng");
    }
    EXPECT_FALSE(ok);
    EXPECT_EQ(comp.Message(), "MNGファイルの書出に失敗しました。\n");
    EXPECT_EQ(test::Entries(dir_.path()), (Names{"big.png", "out.mng"}));
    EXPECT_EQ(test::ReadBytes(dir_ / "out.mng"), test::Str("old contents"));
  }
}
#endif

}  // namespace
}  // namespace vessik
