#pragma once

#include <QRgb>

#include <cstdint>
#include <vector>

namespace tamrisk {

// Colours (0xRRGGBB, the high byte ignored) and how often each occurs, in an
// open-addressing table that grows as needed.
class ColourHistogram {
 public:
  struct Entry {
    std::uint32_t key = 0;  // 0xRRGGBB with kUsed set; 0 is a free slot
    std::uint32_t count = 0;
    std::uint32_t value = 0;  // free for the user, e.g. a palette index
  };

  explicit ColourHistogram(std::size_t expected = 256);
  void add(QRgb colour, std::uint32_t count = 1);
  // Adds a colour not yet seen with the value size() - 1 (its order of first
  // appearance); returns the colour's value.
  std::uint32_t insert(QRgb colour) { return entry(colour).value; }
  std::size_t size() const { return size_; }
  // Slot of a colour that was added; -1 when it never was.
  std::ptrdiff_t find(QRgb colour) const;
  // The value of a colour that was added; 0 for one that never was.
  std::uint32_t value_of(QRgb colour) const {
    const std::ptrdiff_t slot = find(colour);
    return slot < 0 ? 0 : slots_[static_cast<std::size_t>(slot)].value;
  }
  // The entry of a colour, added with a count of 0 when missing. Valid until
  // the next colour is added.
  Entry& entry(QRgb colour);
  std::vector<Entry>& entries() { return slots_; }
  const std::vector<Entry>& entries() const { return slots_; }
  static constexpr std::uint32_t kUsed = 0x01000000u;

 private:
  void grow();

  std::vector<Entry> slots_;
  std::size_t size_ = 0;
};

// At most max_colours colours (2..256) that stand for the colours of a
// histogram well: every colour as it is when there are no more than
// max_colours of them, otherwise median cut refined by a few k-means rounds,
// with distances weighted towards green and red as the eye is. Each colour of
// the histogram is mapped to the index of its nearest palette colour.
class ColourReduction {
 public:
  ColourReduction(ColourHistogram histogram, int max_colours);
  // Opaque 0xFFRRGGBB colours.
  const std::vector<QRgb>& palette() const { return palette_; }
  // Whether some colour was replaced by another.
  bool reduced() const { return reduced_; }
  // The palette index standing for a colour among the pixels.
  int index_of(QRgb colour) const { return static_cast<int>(histogram_.value_of(colour)); }

 private:
  ColourHistogram histogram_;
  std::vector<QRgb> palette_;
  bool reduced_ = false;
};

}  // namespace tamrisk
