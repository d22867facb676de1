#include "bin_pool.h"

#include <cstring>
#include <new>
#include <vector>

namespace vessik {

CBinPool::CBinPool(std::uint32_t initial_capacity)
    : storage_(new (std::nothrow) std::uint8_t[initial_capacity]),
      capacity_(storage_ ? initial_capacity : 0) {}

bool CBinPool::Overlaps(const void* source, std::size_t size, std::size_t extent) const {
  const auto s = reinterpret_cast<std::uintptr_t>(source);
  const auto b = reinterpret_cast<std::uintptr_t>(storage_.get());
  return storage_ && extent > 0 && s < b + extent && s + size > b;
}

bool CBinPool::Grow(std::size_t end) {
  // (end + 0x7FFF) rounded down to a multiple of 2048.
  const std::size_t new_capacity = (end + 0x7FFF) & ~static_cast<std::size_t>(0x7FF);
  std::unique_ptr<std::uint8_t[]> grown(new (std::nothrow) std::uint8_t[new_capacity]);
  if (!grown) {
    return false;
  }
  if (length_ > 0) {
    std::memcpy(grown.get(), storage_.get(), length_);
  }
  storage_ = std::move(grown);
  capacity_ = new_capacity;
  return true;
}

bool CBinPool::Write(std::int32_t position, const void* source, std::size_t size) {
  if (size == 0) {
    return true;
  }
  // A source inside the bytes in use would dangle if the storage moves.
  std::vector<std::uint8_t> saved;
  const auto* src = static_cast<const std::uint8_t*>(source);
  if (Overlaps(source, size, length_)) {
    try {
      saved.assign(src, src + size);
    } catch (const std::bad_alloc&) {
      return false;
    }
    src = saved.data();
  }
  std::int64_t pos = position;
  if (pos < 0) {
    pos += static_cast<std::int64_t>(length_);
    if (pos < 0) {
      return false;
    }
  }
  const auto start = static_cast<std::size_t>(pos);
  if (size > kMaxLength || start > kMaxLength - size) {
    return false;
  }
  const std::size_t end = start + size;
  if (end > capacity_ && !Grow(end)) {
    return false;
  }
  std::memcpy(storage_.get() + start, src, size);
  if (end > length_) {
    length_ = end;
  }
  return true;
}

bool CBinPool::Append(const void* source, std::size_t size) {
  if (size == 0) {
    return true;
  }
  // Fast path for the common append that fits and does not copy from the pool.
  if (size <= capacity_ - length_ && !Overlaps(source, size, capacity_)) {
    std::memcpy(storage_.get() + length_, source, size);
    length_ += size;
    return true;
  }
  return Write(static_cast<std::int32_t>(length_), source, size);
}

}  // namespace vessik
