#include "anim/lzw_choice.h"

#include <algorithm>
#include <array>
#include <memory>

namespace tamrisk {
namespace {

constexpr int kLastCode = 4095;

// The strings of an LZW encoder: code of (prefix code, next index).
class Strings {
 public:
  explicit Strings(int code_size) : first_free_((1 << code_size) + 2) { clear(); }

  void clear() {
    keys_.fill(kEmpty);
    next_code_ = first_free_;
  }
  // -1 when the string is not known.
  int find(int prefix, int index) const {
    const std::uint32_t key = key_of(prefix, index);
    for (std::uint32_t i = slot_of(key);; i = (i + 1) & kMask) {
      if (keys_[i] == key) {
        return codes_[i];
      }
      if (keys_[i] == kEmpty) {
        return -1;
      }
    }
  }
  // What the encoder does after emitting `prefix`, when prefix + index is new.
  void learn(int prefix, int index) {
    if (next_code_ >= kLastCode) {
      clear();
      return;
    }
    const std::uint32_t key = key_of(prefix, index);
    std::uint32_t i = slot_of(key);
    while (keys_[i] != kEmpty) {
      i = (i + 1) & kMask;
    }
    keys_[i] = key;
    codes_[i] = static_cast<std::uint16_t>(next_code_++);
  }

 private:
  static constexpr std::uint32_t kSlots = 8192;
  static constexpr std::uint32_t kMask = kSlots - 1;
  static constexpr std::uint32_t kEmpty = 0xFFFFFFFFu;
  static std::uint32_t key_of(int prefix, int index) {
    return static_cast<std::uint32_t>(prefix) << 8 | static_cast<std::uint32_t>(index);
  }
  static std::uint32_t slot_of(std::uint32_t key) { return (key * 0x9E3779B1u) >> 19; }

  std::array<std::uint32_t, kSlots> keys_;
  std::array<std::uint16_t, kSlots> codes_;
  int first_free_;
  int next_code_ = 0;
};

}  // namespace

namespace {

// The longest known string that goes on from code `node` at pixel i, each
// pixel matching either of its indices; its choices go to path[i...].
class Search {
 public:
  Search(const Strings& strings, const std::vector<std::uint8_t>& indices,
         const std::vector<std::int16_t>& alternative)
      : strings_(strings), indices_(indices), alternative_(alternative) {}

  // Length matched from pixel i on; *end the code reached.
  std::size_t extend(int node, std::size_t i, std::vector<std::uint8_t>& path, int* end) {
    budget_ = 512;
    return walk(node, i, path, end);
  }

 private:
  std::size_t walk(int node, std::size_t i, std::vector<std::uint8_t>& path, int* end) {
    *end = node;
    if (i >= indices_.size() || --budget_ < 0) {
      return 0;
    }
    const int a = indices_[i];
    const int b = alternative_[i];
    const int with_a = strings_.find(node, a);
    const int with_b = b >= 0 ? strings_.find(node, b) : -1;
    if (with_a >= 0 && with_b >= 0) {
      int end_a = 0;
      int end_b = 0;
      const std::size_t len_a = walk(with_a, i + 1, path, &end_a);
      std::vector<std::uint8_t> saved(path.begin() + static_cast<std::ptrdiff_t>(i + 1),
                                      path.begin() + static_cast<std::ptrdiff_t>(i + 1 + len_a));
      const std::size_t len_b = walk(with_b, i + 1, path, &end_b);
      if (len_b > len_a) {
        path[i] = static_cast<std::uint8_t>(b);
        *end = end_b;
        return len_b + 1;
      }
      std::copy(saved.begin(), saved.end(), path.begin() + static_cast<std::ptrdiff_t>(i + 1));
      path[i] = static_cast<std::uint8_t>(a);
      *end = end_a;
      return len_a + 1;
    }
    if (with_a < 0 && with_b < 0) {
      return 0;
    }
    path[i] = static_cast<std::uint8_t>(with_a >= 0 ? a : b);
    return walk(with_a >= 0 ? with_a : with_b, i + 1, path, end) + 1;
  }

  const Strings& strings_;
  const std::vector<std::uint8_t>& indices_;
  const std::vector<std::int16_t>& alternative_;
  int budget_ = 0;
};

}  // namespace

void choose_for_lzw(std::vector<std::uint8_t>& indices,
                    const std::vector<std::int16_t>& alternative, int code_size) {
  const std::size_t n = indices.size();
  const auto strings = std::make_unique<Strings>(code_size);  // 48 KB, off the stack
  Search search(*strings, indices, alternative);
  std::vector<std::uint8_t> path(n);
  int prefix = -1;
  for (std::size_t i = 0; i < n;) {
    // Start with the index whose string goes on longest.
    int first = indices[i];
    const int b = alternative[i];
    int end = 0;
    if (b >= 0) {
      const std::size_t len_a = search.extend(first, i + 1, path, &end);
      if (search.extend(b, i + 1, path, &end) > len_a) {
        first = b;
      }
    }
    if (prefix >= 0) {
      strings->learn(prefix, first);
    }
    const std::size_t len = search.extend(first, i + 1, path, &end);
    path[i] = static_cast<std::uint8_t>(first);
    std::copy_n(path.begin() + static_cast<std::ptrdiff_t>(i), len + 1,
                indices.begin() + static_cast<std::ptrdiff_t>(i));
    prefix = end;
    i += len + 1;
  }
}

}  // namespace tamrisk
