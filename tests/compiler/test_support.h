#pragma once

// Helpers shared by the compiler's unit tests: byte literals, temporary
// folders, an independent CRC-32 and a walker over MNG files.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "mng_comp.h"

namespace vessik::test {

using Bytes = std::vector<std::uint8_t>;
namespace fs = std::filesystem;

// Parses "01 0A ff 'text' 00": hex pairs, and ASCII text in single quotes.
inline Bytes Hex(std::string_view text) {
  Bytes out;
  for (std::size_t i = 0; i < text.size();) {
    const char c = text[i];
    if (c == ' ' || c == ',' || c == '\n') {
      ++i;
    } else if (c == '\'') {
      const std::size_t end = text.find('\'', i + 1);
      out.insert(out.end(), text.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                 text.begin() + static_cast<std::ptrdiff_t>(end));
      i = end + 1;
    } else {
      out.push_back(
          static_cast<std::uint8_t>(std::stoul(std::string(text.substr(i, 2)), nullptr, 16)));
      i += 2;
    }
  }
  return out;
}

inline Bytes Str(std::string_view text) {
  return Bytes(text.begin(), text.end());
}

inline Bytes Cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) {
    out.insert(out.end(), p.begin(), p.end());
  }
  return out;
}

// "00 0A FF": byte strings compare readably in failure output.
inline std::string ToHex(const Bytes& bytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string out;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (i > 0) {
      out += ' ';
    }
    out += kDigits[bytes[i] >> 4];
    out += kDigits[bytes[i] & 15];
  }
  return out;
}

inline const Bytes kMngSig = Hex("8A 4D 4E 47 0D 0A 1A 0A");
inline const Bytes kPngSig = Hex("89 50 4E 47 0D 0A 1A 0A");
inline const Bytes kJngSig = Hex("8B 4A 4E 47 0D 0A 1A 0A");
inline const Bytes kMendChunk = Hex("00 00 00 00 4D 45 4E 44 21 20 F7 D5");

inline std::optional<Bytes> ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    return std::nullopt;
  }
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const fs::path& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(out.good()) << path;
}

inline void WriteText(const fs::path& path, std::string_view text) {
  WriteBytes(path, Str(text));
}

// Names of the entries of a folder, sorted.
inline std::vector<std::string> Entries(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) {
    names.push_back(e.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// A fresh folder, removed with everything in it.
class TempDir {
 public:
  TempDir() {
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
      path_ = fs::temp_directory_path() / ("vessik-test-" + std::to_string(random()));
      if (fs::create_directory(path_)) {
        return;
      }
    }
    ADD_FAILURE() << "cannot make a temporary folder";
  }
  ~TempDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const fs::path& path() const { return path_; }
  fs::path operator/(std::string_view name) const { return path_ / name; }

 private:
  fs::path path_;
};

// Makes dir the current directory and goes back where it was on destruction.
class ScopedCwd {
 public:
  explicit ScopedCwd(const fs::path& dir) : saved_(fs::current_path()) { fs::current_path(dir); }
  ~ScopedCwd() { fs::current_path(saved_); }
  ScopedCwd(const ScopedCwd&) = delete;
  ScopedCwd& operator=(const ScopedCwd&) = delete;

 private:
  fs::path saved_;
};

// Bit-by-bit CRC-32 (reflected, polynomial 0xEDB88320): a reference that
// shares nothing with the writer's table-driven one.
inline std::uint32_t ReferenceCrc(const std::uint8_t* data, std::size_t size) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (std::size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int k = 0; k < 8; ++k) {
      crc = (crc & 1u) ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
    }
  }
  return ~crc;
}

struct Chunk {
  std::string type;
  Bytes data;
};

// Splits an MNG file into its chunks, checking the signature, every length
// field and every CRC; framing faults fail the calling test.
inline std::vector<Chunk> SplitChunks(const Bytes& file) {
  std::vector<Chunk> chunks;
  if (file.size() < 8 || !std::equal(kMngSig.begin(), kMngSig.end(), file.begin())) {
    ADD_FAILURE() << "no MNG signature: " << ToHex(file);
    return chunks;
  }
  const auto be32 = [&file](std::size_t at) {
    return std::uint32_t{file[at]} << 24 | std::uint32_t{file[at + 1]} << 16 |
           std::uint32_t{file[at + 2]} << 8 | std::uint32_t{file[at + 3]};
  };
  std::size_t at = 8;
  while (at < file.size()) {
    if (file.size() - at < 12 || file.size() - at - 12 < be32(at)) {
      ADD_FAILURE() << "chunk at offset " << at << " runs past the end";
      break;
    }
    const std::size_t length = be32(at);
    const std::uint8_t* block = file.data() + at + 4;
    Chunk chunk{std::string(block, block + 4), Bytes(block + 4, block + 4 + length)};
    EXPECT_EQ(be32(at + 8 + length), ReferenceCrc(block, length + 4))
        << "CRC of chunk " << chunk.type << " at offset " << at;
    chunks.push_back(std::move(chunk));
    at += 12 + length;
  }
  return chunks;
}

// A compiler whose overwrite question is answered by the test.
class AnsweringComp : public CMNGComp {
 public:
  bool ConfirmOverwrite(const std::string& output_name) override {
    asked.push_back(output_name);
    return answer;
  }
  bool answer = true;
  std::vector<std::string> asked;
};

// Each test runs in a fresh, empty current directory.
class InTempDir : public ::testing::Test {
 protected:
  struct Outcome {
    bool ok = false;
    std::string message;
    std::optional<Bytes> output;  // the output file, when there is one
  };

  // Compiles script text into out.mng in the test's folder.
  Outcome CompileText(std::string_view script) {
    AnsweringComp comp;
    Outcome o;
    o.ok = comp.CompileText(script, "out.mng");
    o.message = comp.Message();
    o.output = ReadBytes(dir_ / "out.mng");
    return o;
  }

  TempDir dir_;
  ScopedCwd cwd_{dir_.path()};
};

}  // namespace vessik::test
