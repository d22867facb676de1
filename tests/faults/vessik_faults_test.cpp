// vessik under injected faults and with inputs far beyond any sensible size.
// Every failure must come with the compiler's message and status 255 and
// leave the output folder exactly as it was: no partial MNG, no temporary
// file, an older output untouched.
//
// Covered elsewhere and not repeated here (tests/cli/failure_test.cpp): a
// file-size limit (RLIMIT_FSIZE) on the output, an output folder that does not
// exist or lies under a regular file, a picture that is a folder or a FIFO,
// 1025 and 100000 tokens on a line, 10 MB lines.

#include <gtest/gtest.h>

#include <string>

#include "fault_support.h"
#include "folder_snapshot.h"
#include "images.h"

namespace faults {
namespace {

const std::string kOld = "an older animation\n";

constexpr long long kMiB = 1024 * 1024;

class VessikFaults : public testing::Test {
 protected:
  // Runs vessik -y on the script s.txt in the test folder, from that folder.
  cli::Result Compile(cli::Invocation how = {}) {
    return Execute(VESSIK_PATH, {"-y", (dir_ / "s.txt").string()}, dir_.path(), std::move(how));
  }

  cli::TempDir dir_;
};

TEST_F(VessikFaults, FullDiskFailsTheRunAndKeepsTheOlderOutput) {
  const fs::path disk = dir_ / "disk";
  ScratchDisk scratch(disk, 128 * 1024);
  if (!scratch.Mounted()) {
    GTEST_SKIP() << "no tmpfs here (" << scratch.Why() << "); RLIMIT_FSIZE covers the case";
  }
  cli::WriteFile(disk / "out.mng", kOld);
  cli::WriteFile(disk / "notes.txt", "the user's own file\n");
  // About 270 KB of noise, twice the disk: copied in the kernel where it can.
  cli::SavePng(dir_ / "big.png", cli::MakeNoise(300, 300, 11));
  std::vector<std::string> text = {"# MNG=disk/out.mng", "MHDR 1 1 10 0 0 0 0"};
  for (int i = 0; i < 3000; ++i) {
    text.push_back("tEXt Comment " + std::string(100, 'a'));
  }
  text.push_back("MEND");
  const struct {
    const char* name;
    std::string script;
  } kCases[] = {
      {"one picture larger than the disk",
       cli::CrLf({"# MNG=disk/out.mng", "MHDR 300 300 10 0 0 0 0", "IHDR big.png", "MEND"})},
      {"many chunks through the write buffer", cli::CrLf(text)},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    cli::WriteFile(dir_ / "s.txt", c.script);
    const Snapshot before = TakeSnapshot(disk);
    const cli::Result r = Compile();
    SCOPED_TRACE(cli::Describe(r));
    EXPECT_EQ(r.signal, 0);
    EXPECT_EQ(r.status, 255);
    EXPECT_EQ(r.err, cli::kWriteFailed);
    EXPECT_EQ(Differences(before, TakeSnapshot(disk)), "");
  }
}

TEST_F(VessikFaults, ReadOnlyFolderFailsTheRunEvenForRoot) {
  const fs::path disk = dir_ / "locked";
  ScratchDisk scratch(disk, 64 * 1024);
  if (!scratch.Mounted()) {
    GTEST_SKIP() << "no tmpfs here (" << scratch.Why() << ")";
  }
  cli::WriteFile(disk / "out.mng", kOld);
  ASSERT_TRUE(scratch.MakeReadOnly());
  const Snapshot before = TakeSnapshot(disk);
  cli::WriteFile(dir_ / "s.txt", "# MNG=locked/out.mng\r\n" + cli::kSmallScript);
  const cli::Result r = Compile();
  SCOPED_TRACE(cli::Describe(r));
  EXPECT_EQ(r.status, 255);
  EXPECT_EQ(r.err, cli::kWriteFailed);
  EXPECT_EQ(Differences(before, TakeSnapshot(disk)), "");
}

// Files that change between the moment vessik opens them (and takes their
// size) and the moment it reads them, replayed exactly by the preloaded shim.
TEST_F(VessikFaults, FilesThatShrinkOrVanishWhileRead) {
  cli::SavePng(dir_ / "f.png", cli::MakeFrame(40, 30, 3));
  const std::string script =
      cli::CrLf({"# MNG=out.mng", "MHDR 40 30 10 0 0 0 0", "IHDR f.png", "MEND"});
  const std::size_t third_line = script.find("IHDR");
  const struct {
    const char* name;
    std::vector<std::string> environment;
    std::string message;
  } kCases[] = {
      {"script cut inside its third line", ShrinkAtFirstRead(dir_ / "s.txt", third_line + 2),
       "(3行目) チャンクでもコメントでもない文字列です。"},
      {"script gone when opened", VanishAtFirstOpen(dir_ / "s.txt"),
       "リソースファイルの読込に失敗しました。"},
      {"picture cut after its signature", ShrinkAtFirstRead(dir_ / "f.png", 8),
       "(3行目) PNGファイルの読込に失敗しました。"},
      {"picture cut inside its first chunk", ShrinkAtFirstRead(dir_ / "f.png", 20),
       "(3行目) PNGファイルの読込に失敗しました。"},
      {"picture cut inside its signature", ShrinkAtFirstRead(dir_ / "f.png", 5),
       "(3行目) f.pngはPNGファイルではありません。"},
      {"picture gone when opened", VanishAtFirstOpen(dir_ / "f.png"),
       "(3行目) PNGファイルの読込に失敗しました。"},
  };
  const std::string picture = cli::ReadFile(dir_ / "f.png");
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    cli::WriteFile(dir_ / "s.txt", script);
    cli::WriteFile(dir_ / "f.png", picture);
    cli::WriteFile(dir_ / "out.mng", kOld);
    const Snapshot before = TakeSnapshot(dir_.path());
    cli::Invocation how;
    how.environment = c.environment;
    const cli::Result r = Compile(how);
    SCOPED_TRACE(cli::Describe(r));
    EXPECT_EQ(r.status, 255);
    EXPECT_EQ(r.err, cli::Error(c.message));
    // Only the file the fault changed differs (or is gone).
    Snapshot after = TakeSnapshot(dir_.path());
    Snapshot expected = before;
    for (const char* changed : {"s.txt", "f.png"}) {
      if (after.count(changed) == 0) {
        expected.erase(changed);
      }
    }
    EXPECT_EQ(Differences(expected, after, {"s.txt", "f.png"}), "");
  }
  // Without the shim the same files compile: the fault made them fail.
  cli::WriteFile(dir_ / "s.txt", script);
  cli::WriteFile(dir_ / "f.png", picture);
  EXPECT_EQ(Compile().status, 0);
}

TEST_F(VessikFaults, FilesThatCannotBeRead) {
  // /proc/self/mem is a regular file whose reads at offset 0 fail (EIO).
  const struct {
    const char* name;
    std::string script_path;
    std::string message;
  } kCases[] = {
      {"script", "/proc/self/mem", "リソースファイルの読込に失敗しました。"},
      {"picture", (dir_ / "s.txt").string(), "(2行目) PNGファイルの読込に失敗しました。"},
  };
  cli::WriteFile(dir_ / "s.txt", "# MNG=out.mng\nIHDR /proc/self/mem\nMEND\n");
  cli::WriteFile(dir_ / "out.mng", kOld);
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    const Snapshot before = TakeSnapshot(dir_.path());
    const cli::Result r = Execute(VESSIK_PATH, {"-y", c.script_path}, dir_.path());
    SCOPED_TRACE(cli::Describe(r));
    EXPECT_EQ(r.status, 255);
    EXPECT_EQ(r.err, cli::Error(c.message));
    EXPECT_EQ(Differences(before, TakeSnapshot(dir_.path())), "");
  }
}

// The bounds: the script is held in memory once and a chunk once more, so a
// run needs about twice the script's size besides the program itself (a few
// megabytes; kBaseline leaves room); a line holds at most 1024 tokens,
// however many it has; a picture is copied in pieces, whatever its header
// claims. No run may take more than kCpuSeconds of processor time.
constexpr long long kBaseline = 32 * kMiB;
constexpr long long kCpuSeconds = 60;

cli::Invocation Bounded(long long memory) {
  return faults::Bounded(kBaseline, memory, kCpuSeconds);
}

TEST_F(VessikFaults, HundredMegabyteLines) {
  const std::string text(100 * kMiB, 'x');
  cli::WriteFile(dir_ / "s.txt", "tEXt Comment " + text + "\r\nMEND\r\n");
  cli::Result r = Compile(Bounded(2 * 100 * kMiB));
  ASSERT_EQ(r.status, 0) << cli::Describe(r);
  const std::string mng = cli::ReadFile(dir_ / "mng.mng");
  const std::string data = "Comment" + std::string(1, '\0') + text;
  EXPECT_TRUE(mng == cli::kMngSignature + cli::Chunk("tEXt", data) + cli::Chunk("MEND", ""))
      << "an output of " << mng.size() << " bytes";
  fs::remove(dir_ / "mng.mng");

  // The same line as a chunk name: refused without copying it anywhere.
  cli::WriteFile(dir_ / "s.txt", "MEND\r\n" + text + "\r\nMEND\r\n");
  r = Compile(Bounded(100 * kMiB));
  EXPECT_EQ(r.status, 255) << cli::Describe(r);
  EXPECT_EQ(r.err, cli::Error("(2行目) チャンクでもコメントでもない文字列です。"));
  EXPECT_EQ(cli::Names(dir_.path()), std::set<std::string>{"s.txt"});
}

TEST_F(VessikFaults, AMillionTokensOnOneLine) {
  std::string line = "DISC";
  for (int i = 0; i < 1000000; ++i) {
    line += " 7";
  }
  cli::WriteFile(dir_ / "s.txt", "MEND\n" + line + "\nMEND\n");
  const cli::Result r = Compile(Bounded(2 * static_cast<long long>(line.size())));
  EXPECT_EQ(r.status, 255) << cli::Describe(r);
  EXPECT_EQ(r.err, cli::Error("パラメータの数がPARAM_MAX個を越えています。"));
  EXPECT_EQ(cli::Names(dir_.path()), std::set<std::string>{"s.txt"});
}

TEST_F(VessikFaults, TenMillionLinesEndedByCarriageReturnsAlone) {
  std::string script = "MHDR 1 1 10 0 0 0 0\r";
  for (int i = 0; i < 10000000; ++i) {
    script += "#\r";
  }
  script += "MEND\r";
  cli::WriteFile(dir_ / "s.txt", script);
  const cli::Result r = Compile(Bounded(2 * static_cast<long long>(script.size())));
  ASSERT_EQ(r.status, 0) << cli::Describe(r);
  const std::string mhdr =
      cli::BigEndian32(1) + cli::BigEndian32(1) + cli::BigEndian32(10) + std::string(16, '\0');
  EXPECT_EQ(cli::ReadFile(dir_ / "mng.mng"),
            cli::kMngSignature + cli::Chunk("MHDR", mhdr) + cli::Chunk("MEND", ""));
}

TEST_F(VessikFaults, PictureHeaderClaimingTwoToTheThirtyFirstSquared) {
  // vessik judges the signature only and copies the rest as it is.
  const std::string huge = PngHeaderOnly(0x80000000ul, 0x80000000ul);
  cli::WriteFile(dir_ / "huge.png", huge);
  cli::WriteFile(dir_ / "s.txt", "MHDR 0 0 0 0 0 0 0\nIHDR huge.png\nMEND\n");
  const cli::Result r = Compile(Bounded(16 * kMiB));
  ASSERT_EQ(r.status, 0) << cli::Describe(r);
  EXPECT_EQ(cli::ReadFile(dir_ / "mng.mng"), cli::kMngSignature +
                                                 cli::Chunk("MHDR", std::string(28, '\0')) +
                                                 huge.substr(8) + cli::Chunk("MEND", ""));
}

}  // namespace
}  // namespace faults
