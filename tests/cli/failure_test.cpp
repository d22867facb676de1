// Runs that fail: faulty lines, outputs that cannot be written, pictures that
// are not what the script says, and input that is no script at all. A failed
// run leaves no output file, no temporary file and an older output unchanged.

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "images.h"
#include "run_vessik.h"

namespace cli {
namespace {

const std::string kOld = "an older file of the same name\n";

class Failure : public testing::Test {
 protected:
  // Writes the script and runs vessik on it from its own folder.
  Result Compile(const std::string& script, std::vector<std::string> options = {},
                 std::optional<std::string> input = std::nullopt) {
    WriteFile(dir_ / "s.txt", script);
    options.push_back((dir_ / "s.txt").string());
    return RunVessik(options, dir_.path(), std::move(input));
  }

  TempDir dir_;
};

TEST_F(Failure, FaultyFifthLineLeavesNoOutput) {
  const struct {
    const char* name;
    std::string script;
    std::string message;
  } kCases[] = {
      {"unknown chunk, CR LF",
       CrLf({"# MNG=out.mng", "", "MHDR 1 1 10 0 0 0 0", "# a comment", "BOGU 1", "MEND"}),
       "(5行目) 未対応のチャンクです。"},
      {"parameter count, LF", "# MNG=out.mng\n \t \nLOOP 1 2\n#\nMHDR 1 2 3\nMEND\n",
       "(5行目) パラメータの数が正しくありません。"},
      {"too long a name, lone CR", "# MNG=out.mng\rMEND\r\r\rMHDRX 1\rMEND\r",
       "(5行目) チャンクでもコメントでもない文字列です。"},
      {"LF then CR is two line ends", "# MNG=out.mng\n\rMEND\n\rMEND 1\nMEND\n",
       "(5行目) パラメータの数が正しくありません。"},
      {"missing picture", "# MNG=out.mng\n\n\n\nIHDR missing.png\n",
       "(5行目) PNGファイルの読込に失敗しました。"},
      {"TERM", "# MNG=out.mng\n\n\n\nTERM 2 0 100 5\n",
       "(5行目) "
       "TERMチャンクは最初のパラメータが3以外の時、2つ目以降のパラメータを省略せねばなりません。"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    const std::string expected = Error(c.message);
    fs::remove(dir_ / "out.mng");
    Result r = Compile(c.script);
    EXPECT_EQ(r.status, 255) << Describe(r);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, expected);
    EXPECT_EQ(Names(dir_.path()), std::set<std::string>{"s.txt"});

    // An older output survives, whether -y or the answer y let the run on.
    WriteFile(dir_ / "out.mng", kOld);
    r = Compile(c.script, {"-y"});
    EXPECT_EQ(r.status, 255) << Describe(r);
    EXPECT_EQ(r.err, expected);
    EXPECT_EQ(ReadFile(dir_ / "out.mng"), kOld);
    r = Compile(c.script, {}, "y");
    EXPECT_EQ(r.status, 255) << Describe(r);
    EXPECT_EQ(r.out, Question("out.mng") + "y\n");
    EXPECT_EQ(r.err, expected);
    EXPECT_EQ(ReadFile(dir_ / "out.mng"), kOld);
    EXPECT_EQ(Names(dir_.path()), (std::set<std::string>{"s.txt", "out.mng"}));
  }
}

TEST_F(Failure, WriteErrorsUnderAFileSizeLimit) {
  // 300 x 300 of noise: a PNG of about 270 KB, far past the limit below.
  SavePng(dir_ / "big.png", MakeNoise(300, 300, 7));
  const auto text_chunks = [](int count) {
    std::vector<std::string> lines = {"# MNG=out.mng", "MHDR 1 1 10 0 0 0 0"};
    for (int i = 0; i < count; ++i) {
      lines.push_back("tEXt Comment " + std::string(100, static_cast<char>('a' + i % 26)));
    }
    lines.push_back("MEND");
    return CrLf(lines);
  };
  const struct {
    const char* name;
    std::string script;
  } kCases[] = {
      {"one big picture",
       CrLf({"# MNG=out.mng", "MHDR 300 300 10 0 0 0 0", "IHDR big.png", "MEND"})},
      {"many small chunks", text_chunks(3000)},
      {"fails only on the last write", text_chunks(800)},
  };
  constexpr long long kLimit = 64 * 1024;
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    WriteFile(dir_ / "s.txt", c.script);
    for (const bool existing : {false, true}) {
      SCOPED_TRACE(existing ? "with an older output" : "without an older output");
      if (existing) {
        WriteFile(dir_ / "out.mng", kOld);
      }
      Invocation how;
      how.args = {"-y", (dir_ / "s.txt").string()};
      how.cwd = dir_.path();
      how.file_size_limit = kLimit;
      const Result r = RunProgram(how);
      SCOPED_TRACE(Describe(r));
      EXPECT_EQ(r.signal, 0);
      EXPECT_EQ(r.status, 255);
      EXPECT_EQ(r.out, "");
      EXPECT_EQ(r.err, kWriteFailed);
      if (existing) {
        EXPECT_EQ(ReadFile(dir_ / "out.mng"), kOld);
        EXPECT_EQ(Names(dir_.path()), (std::set<std::string>{"s.txt", "big.png", "out.mng"}));
      } else {
        EXPECT_EQ(Names(dir_.path()), (std::set<std::string>{"s.txt", "big.png"}));
      }
    }
    // Without the limit the same script compiles: the limit made it fail.
    const Result r = RunVessik({"-y", (dir_ / "s.txt").string()}, dir_.path());
    EXPECT_EQ(r.status, 0) << Describe(r);
    EXPECT_GT(fs::file_size(dir_ / "out.mng"), static_cast<std::uintmax_t>(kLimit));
    fs::remove(dir_ / "out.mng");
  }
}

TEST_F(Failure, OutputThatCannotBeCreated) {
  WriteFile(dir_ / "plain.txt", "a file, not a folder\n");
  fs::create_directories(dir_ / "a folder" / "inner");
  const struct {
    const char* name;
    const char* output;
  } kCases[] = {
      {"folder that does not exist", "none/out.mng"},
      {"parent is a file", "plain.txt/out.mng"},
      {"name of a folder", "a folder"},
      {"trailing slash", "out.mng/"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    const Result r = Compile(std::string("# MNG=") + c.output + "\r\n" + kSmallScript, {"-y"});
    SCOPED_TRACE(Describe(r));
    EXPECT_EQ(r.status, 255);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, kWriteFailed);
    EXPECT_EQ(Names(dir_.path()), (std::set<std::string>{"s.txt", "plain.txt", "a folder"}));
    EXPECT_EQ(Names(dir_ / "a folder"), std::set<std::string>{"inner"});
    EXPECT_EQ(ReadFile(dir_ / "plain.txt"), "a file, not a folder\n");
  }
}

TEST_F(Failure, OutputFolderWithoutWritePermission) {
  if (geteuid() == 0) {
    GTEST_SKIP() << "root may write into any folder";
  }
  fs::create_directory(dir_ / "locked");
  WriteFile(dir_ / "locked" / "out.mng", kOld);
  fs::permissions(dir_ / "locked", fs::perms::owner_read | fs::perms::owner_exec);
  const Result r = Compile("# MNG=locked/out.mng\n" + kSmallScript, {"-y"});
  fs::permissions(dir_ / "locked", fs::perms::owner_all);
  SCOPED_TRACE(Describe(r));
  EXPECT_EQ(r.status, 255);
  EXPECT_EQ(r.err, kWriteFailed);
  EXPECT_EQ(ReadFile(dir_ / "locked" / "out.mng"), kOld);
  EXPECT_EQ(Names(dir_ / "locked"), std::set<std::string>{"out.mng"});
}

TEST_F(Failure, PicturesThatAreNotWhatTheLineSays) {
  const std::string png = SavePng(dir_ / "f.png", MakeFrame(5, 4, 1));
  WriteFile(dir_ / "empty.png", "");
  WriteFile(dir_ / "short.png", kPngSignature.substr(0, 7));
  WriteFile(dir_ / "a.jng", kJngSignature + "whatever follows");
  WriteFile(dir_ / "text.png", "P N G\r\n\x1A\n and more text");
  fs::create_directory(dir_ / "folder.png");
  ASSERT_EQ(mkfifo((dir_ / "pipe.png").c_str(), 0600), 0);
  const std::set<std::string> files = {"s.txt", "f.png",    "empty.png",  "short.png",
                                       "a.jng", "text.png", "folder.png", "pipe.png"};
  const struct {
    const char* line;
    const char* message;
  } kCases[] = {
      {"IHDR missing.png", "(3行目) PNGファイルの読込に失敗しました。"},
      {"IHDR folder.png", "(3行目) PNGファイルの読込に失敗しました。"},
      {"IHDR pipe.png", "(3行目) PNGファイルの読込に失敗しました。"},
      {"JHDR missing.jng", "(3行目) JNGファイルの読込に失敗しました。"},
      {"IHDR empty.png", "(3行目) empty.pngはPNGファイルではありません。"},
      {"IHDR short.png", "(3行目) short.pngはPNGファイルではありません。"},
      {"IHDR a.jng", "(3行目) a.jngはPNGファイルではありません。"},
      {"IHDR text.png", "(3行目) text.pngはPNGファイルではありません。"},
      {"JHDR f.png", "(3行目) f.pngはJNGファイルではありません。"},
      {"JHDR ./empty.png", "(3行目) ./empty.pngはJNGファイルではありません。"},
      {"IHDR", "(3行目) パラメータの数が正しくありません。"},
      {"IHDR f.png f.png", "(3行目) パラメータの数が正しくありません。"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.line);
    const Result r = Compile(CrLf({"# MNG=out.mng", "MHDR 5 4 10 0 0 0 0", c.line, "MEND"}));
    SCOPED_TRACE(Describe(r));
    EXPECT_EQ(r.status, 255);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, Error(c.message));
    EXPECT_EQ(Names(dir_.path()), files);
  }
}

TEST_F(Failure, PicturesAreCopiedAfterTheirSignatureOnly) {
  // Only the 8 signature bytes are judged: the rest goes out verbatim.
  const std::string damaged("\0\0\0\5junk and no IEND", 20);
  WriteFile(dir_ / "bare.png", kPngSignature);
  WriteFile(dir_ / "damaged.png", kPngSignature + damaged);
  WriteFile(dir_ / "a.jng", kJngSignature + Chunk("JHDR", std::string(16, '\1')));
  const std::string head = kMngSignature + Chunk("MHDR", std::string(28, '\0'));
  const struct {
    const char* line;
    std::string embedded;
  } kCases[] = {
      {"IHDR bare.png", ""},
      {"IHDR damaged.png", damaged},
      {"JHDR a.jng", Chunk("JHDR", std::string(16, '\1'))},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.line);
    const Result r = Compile(CrLf({"MHDR 0 0 0 0 0 0 0", c.line, "MEND"}), {"-y"});
    EXPECT_EQ(r.status, 0) << Describe(r);
    EXPECT_EQ(ReadFile(dir_ / "mng.mng"), head + c.embedded + Chunk("MEND", ""));
  }
}

TEST_F(Failure, TokenLimitPerLine) {
  const auto disc = [](int ids) {
    std::string line = "DISC";
    for (int i = 0; i < ids; ++i) {
      line += " 7";
    }
    return line;
  };
  const std::string too_many = Error("パラメータの数がPARAM_MAX個を越えています。");
  const struct {
    const char* name;
    std::string line;
    std::string err;
  } kCases[] = {
      {"1024 tokens and a comment", disc(1023) + " \t # and 1 2 3", ""},
      {"1025 tokens", disc(1024), too_many},
      {"100000 tokens", disc(99999), too_many},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    fs::remove(dir_ / "mng.mng");
    const Result r = Compile("MEND\n" + c.line + "\nMEND\n");
    SCOPED_TRACE(Describe(r));
    EXPECT_EQ(r.err, c.err);
    if (c.err.empty()) {
      EXPECT_EQ(r.status, 0);
      std::string ids;
      for (int i = 0; i < 1023; ++i) {
        ids += std::string("\0\7", 2);
      }
      EXPECT_EQ(ReadFile(dir_ / "mng.mng"),
                kMngSignature + Chunk("MEND", "") + Chunk("DISC", ids) + Chunk("MEND", ""));
    } else {
      EXPECT_EQ(r.status, 255);
      EXPECT_EQ(Names(dir_.path()), std::set<std::string>{"s.txt"});
    }
  }
}

TEST_F(Failure, TenMegabyteLines) {
  const std::string text(10 * 1024 * 1024, 'x');
  Result r = Compile("tEXt Comment " + text + "\r\nMEND");
  EXPECT_EQ(r.status, 0) << Describe(r);
  EXPECT_EQ(r.out, Done("mng.mng"));
  const std::string expected =
      kMngSignature + Chunk("tEXt", "Comment" + std::string(1, '\0') + text) + Chunk("MEND", "");
  EXPECT_TRUE(ReadFile(dir_ / "mng.mng") == expected);
  fs::remove(dir_ / "mng.mng");

  r = Compile("MEND\r\n" + text + "\r\n");
  EXPECT_EQ(r.status, 255) << Describe(r);
  EXPECT_EQ(r.err, Error("(2行目) チャンクでもコメントでもない文字列です。"));
  EXPECT_EQ(Names(dir_.path()), std::set<std::string>{"s.txt"});
}

TEST_F(Failure, AbsurdNumbersAreCutNotRefused) {
  const Result r = Compile(CrLf({"MHDR 99999999999 4294967296 -1 -4294967295 08 0x1g junk",
                                 "LOOP 300 -2 65793 0x100000001", "ENDL 0777"}));
  ASSERT_EQ(r.status, 0) << Describe(r);
  const std::string ff = BigEndian32(0xFFFFFFFFu);
  const std::string mhdr =
      ff + ff + ff + BigEndian32(1) + BigEndian32(0) + BigEndian32(1) + BigEndian32(0);
  const std::string loop = std::string("\x2C") + BigEndian32(0xFFFFFFFEu) + "\x01" + ff;
  EXPECT_EQ(ReadFile(dir_ / "mng.mng"),
            kMngSignature + Chunk("MHDR", mhdr) + Chunk("LOOP", loop) + Chunk("ENDL", "\xFF"));
}

// Walks an MNG file: the signature, then whole chunks with correct CRCs up
// to the last byte. Gives what is wrong, or an empty text.
std::string CheckFraming(const std::string& mng) {
  if (mng.substr(0, 8) != kMngSignature) {
    return "no MNG signature";
  }
  std::size_t at = 8;
  while (at < mng.size()) {
    if (mng.size() - at < 12) {
      return "a cut chunk at " + std::to_string(at);
    }
    const auto byte = [&mng](std::size_t i) { return static_cast<unsigned char>(mng[i]); };
    const std::size_t length = std::size_t{byte(at)} << 24 | std::size_t{byte(at + 1)} << 16 |
                               std::size_t{byte(at + 2)} << 8 | byte(at + 3);
    if (mng.size() - at - 12 < length) {
      return "a chunk longer than the file at " + std::to_string(at);
    }
    const std::string body = mng.substr(at + 4, length + 4);
    if (mng.substr(at + 8 + length, 4) != BigEndian32(Crc32(body))) {
      return "a wrong CRC at " + std::to_string(at);
    }
    at += length + 12;
  }
  return {};
}

// A line of random tokens, most of them of the kinds a script holds.
std::string RandomLine(std::mt19937& random) {
  static const char* const kNames[] = {"DEBG", "LOOP", "DISC", "nEED", "tEXt", "FRAM", "SAVE",
                                       "SEEK", "SHOW", "TERM", "MEND", "MAGN", "BACK", "mhdr"};
  static const char* const kTokens[] = {"0",           "1",  "4",        "3",    "-1",
                                        "0x7fffffff",  "08", "\\0",      "#",    "a#b",
                                        "99999999999", "",   "\x81\x40", "\x01", "name"};
  // Now and then a comment or a blank line, else a chunk name.
  std::string line = random() % 8 == 0 ? " #" : kNames[random() % std::size(kNames)];
  for (unsigned n = random() % 6; n > 0; --n) {
    line += random() % 4 == 0 ? "\t" : " ";
    line += kTokens[random() % std::size(kTokens)];
  }
  return line;
}

TEST_F(Failure, RandomInputIsHandledCleanly) {
  std::mt19937 random(20240611);
  static const char* const kLineEnds[] = {"\n", "\r\n", "\r"};
  int compiled = 0;
  for (int round = 0; round < 60; ++round) {
    std::string script;
    if (round % 3 == 0) {
      // Bytes of every value.
      script.resize(random() % 3000);
      for (char& b : script) {
        b = static_cast<char>(random() & 0xFF);
      }
    } else {
      // Lines of tokens, so that runs get past the first line.
      for (unsigned lines = random() % 12; lines > 0; --lines) {
        script += RandomLine(random) + kLineEnds[random() % 3];
      }
    }
    SCOPED_TRACE("round " + std::to_string(round));
    const Result r = Compile(script, {"-y"});
    SCOPED_TRACE(Describe(r));
    ASSERT_EQ(r.signal, 0);
    ASSERT_FALSE(r.timed_out);
    if (r.status == 0) {
      ++compiled;
      EXPECT_EQ(r.out, Done("mng.mng"));
      EXPECT_EQ(r.err, "");
      EXPECT_EQ(CheckFraming(ReadFile(dir_ / "mng.mng")), "");
      fs::remove(dir_ / "mng.mng");
    } else {
      ASSERT_EQ(r.status, 255);
      EXPECT_EQ(r.out, "");
      EXPECT_EQ(r.err.rfind("エラー: ", 0), 0u);
      EXPECT_EQ(r.err.find('\n'), r.err.size() - 1);
    }
    EXPECT_EQ(Names(dir_.path()), std::set<std::string>{"s.txt"});
  }
  // The generator is meant to reach both ends of a run.
  EXPECT_GT(compiled, 5);
  EXPECT_LT(compiled, 55);
}

}  // namespace
}  // namespace cli
