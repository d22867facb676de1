#include "script_samples.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>

namespace fuzz {
namespace {

// A 1x1 grey PNG: signature, IHDR, IDAT, IEND.
constexpr std::uint8_t kTinyPng[] = {
    0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x48,
    0x44, 0x52, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x08, 0x00, 0x00, 0x00,
    0x00, 0x3A, 0x7E, 0x9B, 0x55, 0x00, 0x00, 0x00, 0x0A, 0x49, 0x44, 0x41, 0x54, 0x78,
    0xDA, 0x63, 0x60, 0x00, 0x00, 0x00, 0x02, 0x00, 0x01, 0xE5, 0x27, 0xDE, 0xFC, 0x00,
    0x00, 0x00, 0x00, 0x49, 0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82};

// A JNG signature, a JHDR chunk and IEND.
constexpr std::uint8_t kTinyJng[] = {
    0x8B, 0x4A, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x10, 0x4A, 0x48, 0x44, 0x52,
    0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x08, 0x08, 0x00, 0x08, 0x00, 0x00, 0x00, 0x00,
    0x1C, 0x08, 0x72, 0xF5, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82};

// Spelled out here rather than taken from the compiler, so that a wrong
// constant there shows.
constexpr std::uint8_t kMngSignature[8] = {0x8A, 0x4D, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};

std::string Bytes(const std::uint8_t* data, std::size_t size) {
  return std::string(reinterpret_cast<const char*>(data), size);
}

}  // namespace

std::vector<SampleFile> ScriptPictures() {
  return {
      {"tiny.png", Bytes(kTinyPng, sizeof kTinyPng)},
      {"sig.png", Bytes(kTinyPng, 8)},
      {"tiny.jng", Bytes(kTinyJng, sizeof kTinyJng)},
      {"empty.png", ""},
      {"short.png", Bytes(kTinyPng, 7)},
  };
}

void CheckMngFile(const char* target, const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    Fail(target, "a successful compile left no output file");
  }
  const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                        std::istreambuf_iterator<char>()};
  if (bytes.size() < sizeof kMngSignature ||
      std::memcmp(bytes.data(), kMngSignature, sizeof kMngSignature) != 0) {
    Fail(target, "the output does not begin with the MNG signature");
  }
  std::size_t pos = sizeof kMngSignature;
  while (pos < bytes.size()) {
    const std::size_t left = bytes.size() - pos;
    if (left < 12) {
      Fail(target, "the output ends inside a chunk header");
    }
    const std::uint32_t length = ReadBigEndian32(&bytes[pos]);
    if (length > left - 12) {
      Fail(target, "a chunk of the output runs past its end");
    }
    const std::uint8_t* typed = &bytes[pos + 4];
    if (ReferenceCrc(typed, 4 + std::size_t{length}) != ReadBigEndian32(typed + 4 + length)) {
      Fail(target, "a chunk of the output has a wrong CRC");
    }
    pos += 12 + std::size_t{length};
  }
}

}  // namespace fuzz
