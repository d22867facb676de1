#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "file_io.h"

namespace vessik {

// CRC-32 of ISO 3309 / ITU-T V.42, as PNG and MNG use it.
class Crc32 {
 public:
  Crc32();
  std::uint32_t Compute(const std::uint8_t* data, std::size_t size) const;
  const std::array<std::uint32_t, 256>& Table() const { return table_[0]; }

 private:
  // Eight tables for slicing-by-8; the first is the classic byte table.
  std::array<std::array<std::uint32_t, 256>, 8> table_;
};

inline constexpr std::uint8_t kMngSignature[8] = {0x8A, 0x4D, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};

// The MNG output writer: signature, chunks framed with big-endian length and
// CRC-32, and raw image datastreams. The file is written beside its target
// and replaces it only on Close().
class CPngMng {
 public:
  CPngMng() = default;
  CPngMng(const CPngMng&) = delete;
  CPngMng& operator=(const CPngMng&) = delete;

  // false when no file can be made beside path; the caller words the message.
  bool Open(const std::string& path);
  void WriteSignature();
  // Writes the current block (4 type bytes and the data) as one chunk.
  void WriteChunk();
  // Writes the current block unchanged.
  void WriteRaw();
  // Copies count bytes from an open input file, the way WriteRaw writes a
  // block. false when the input could not be read to that length.
  bool CopyRaw(io::InputFile& in, std::uint64_t count);
  // Completes the file under its name; false when any write failed.
  bool Close();
  // Drops the file being written; an older file of the name stays.
  void Discard();

  void SetBlock(const std::uint8_t* data, std::size_t size) {
    block_ = data;
    block_size_ = size;
  }
  bool Failed() const { return out_.Failed(); }
  const Crc32& Crc() const { return crc_; }

 private:
  Crc32 crc_;
  io::OutputFile out_;
  const std::uint8_t* block_ = nullptr;
  std::size_t block_size_ = 0;
};

}  // namespace vessik
