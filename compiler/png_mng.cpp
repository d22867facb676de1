#include "png_mng.h"

namespace vessik {
namespace {

void PutBigEndian32(std::uint8_t* out, std::uint32_t v) {
  out[0] = static_cast<std::uint8_t>(v >> 24);
  out[1] = static_cast<std::uint8_t>(v >> 16);
  out[2] = static_cast<std::uint8_t>(v >> 8);
  out[3] = static_cast<std::uint8_t>(v);
}

}  // namespace

Crc32::Crc32() {
  for (std::uint32_t i = 0; i < 256; ++i) {
    std::uint32_t v = i;
    for (int k = 0; k < 8; ++k) {
      v = (v & 1) ? (v >> 1) ^ 0xEDB88320u : v >> 1;
    }
    table_[0][i] = v;
  }
  for (std::size_t t = 1; t < table_.size(); ++t) {
    for (std::size_t i = 0; i < 256; ++i) {
      const std::uint32_t prev = table_[t - 1][i];
      table_[t][i] = (prev >> 8) ^ table_[0][prev & 0xFF];
    }
  }
}

std::uint32_t Crc32::Compute(const std::uint8_t* data, std::size_t size) const {
  std::uint32_t crc = 0xFFFFFFFFu;
  // Eight bytes a step, then the classic byte-at-a-time loop for the rest.
  while (size >= 8) {
    const std::uint32_t lo = crc ^ (std::uint32_t{data[0]} | std::uint32_t{data[1]} << 8 |
                                    std::uint32_t{data[2]} << 16 | std::uint32_t{data[3]} << 24);
    crc = table_[7][lo & 0xFF] ^ table_[6][(lo >> 8) & 0xFF] ^ table_[5][(lo >> 16) & 0xFF] ^
          table_[4][lo >> 24] ^ table_[3][data[4]] ^ table_[2][data[5]] ^ table_[1][data[6]] ^
          table_[0][data[7]];
    data += 8;
    size -= 8;
  }
  for (std::size_t i = 0; i < size; ++i) {
    crc = table_[0][(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  }
  return crc ^ 0xFFFFFFFFu;
}

bool CPngMng::Open(const std::string& path) {
  return out_.Open(path);
}

void CPngMng::WriteSignature() {
  out_.Write(kMngSignature, sizeof kMngSignature);
}

void CPngMng::WriteChunk() {
  std::uint8_t length[4];
  std::uint8_t crc[4];
  PutBigEndian32(length, static_cast<std::uint32_t>(block_size_ - 4));
  PutBigEndian32(crc, crc_.Compute(block_, block_size_));
  out_.Write(length, 4);
  out_.Write(block_, block_size_);
  out_.Write(crc, 4);
}

void CPngMng::WriteRaw() {
  out_.Write(block_, block_size_);
}

bool CPngMng::CopyRaw(io::InputFile& in, std::uint64_t count) {
  return out_.CopyFrom(in, count);
}

bool CPngMng::Close() {
  return out_.Commit();
}

void CPngMng::Discard() {
  out_.Discard();
}

}  // namespace vessik
