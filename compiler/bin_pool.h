#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace vessik {

// A growable byte buffer with write-at-position. Growth leaves about 30 KiB of
// headroom so that appends rarely move the storage.
class CBinPool {
 public:
  explicit CBinPool(std::uint32_t initial_capacity);
  CBinPool(const CBinPool&) = delete;
  CBinPool& operator=(const CBinPool&) = delete;

  // Copies size bytes to position; a negative position counts back from the
  // length (-1 is the last byte in use). Never inserts. Returns false and
  // leaves the pool unchanged when it cannot: the position lies before the
  // pool, or memory runs out. The caller words the message.
  bool Write(std::int32_t position, const void* source, std::size_t size);
  bool Append(const void* source, std::size_t size);
  void Reset() { length_ = 0; }

  std::uint8_t* GetData() { return storage_.get(); }
  const std::uint8_t* GetData() const { return storage_.get(); }
  std::size_t GetLength() const { return length_; }
  std::size_t GetCapacity() const { return capacity_; }

  // Largest length a pool may reach: a chunk's data length must fit 31 bits.
  static constexpr std::size_t kMaxLength = 0x7FFFFFFFu;

 private:
  bool Grow(std::size_t end);
  // Whether [source, source + size) touches the first extent bytes of storage.
  bool Overlaps(const void* source, std::size_t size, std::size_t extent) const;

  std::unique_ptr<std::uint8_t[]> storage_;
  std::size_t capacity_ = 0;
  std::size_t length_ = 0;
};

}  // namespace vessik
