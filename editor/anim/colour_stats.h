#pragma once

#include <QImage>
#include <QRect>
#include <QRgb>
#include <cstdint>
#include <optional>
#include <vector>

#include "anim/colour_reduction.h"

namespace tamrisk {

// The encoders' one way of counting colours (the low 24 bits of a pixel):
// the distinct colours in order of first appearance, each with its place in
// that order, up to a limit.
class ColourStats {
 public:
  explicit ColourStats(std::size_t limit = 256) : limit_(limit) {}

  // Adds the pixels of rect in scan order; with `except`, only those whose
  // colour differs from except's at the same place. false once more than
  // limit colours were seen (the list then holds the first limit + 1).
  bool add(const QImage& image, QRect rect, const QImage* except = nullptr);
  bool add(QRgb colour) {
    if (colours_.size() <= limit_ && index_.insert(colour) == colours_.size()) {
      colours_.push_back(colour & 0x00FFFFFFu);
    }
    return colours_.size() <= limit_;
  }
  bool fits() const { return colours_.size() <= limit_; }
  const std::vector<QRgb>& colours() const { return colours_; }
  // The place of a colour that was added in the order of first appearance.
  std::uint32_t index_of(QRgb colour) const { return index_.value_of(colour); }

 private:
  std::size_t limit_;
  ColourHistogram index_{512};
  std::vector<QRgb> colours_;
};

// Every 24-bit colour as one bit: which colours occur, and the smallest
// that does not. Emptied by forgetting what was put in, so that a small
// area costs no more than its own pixels.
class ColourBits {
 public:
  ColourBits() : bits_(std::size_t{1} << 18) {}
  void insert(QRgb colour) {
    colour &= 0x00FFFFFFu;
    bits_[colour >> 6] |= std::uint64_t{1} << (colour & 63);
  }
  // Drops the colour together with the 63 that share its word.
  void forget(QRgb colour) { bits_[(colour & 0x00FFFFFFu) >> 6] = 0; }
  // The smallest colour not in the set; none when every colour is.
  std::optional<QRgb> first_missing() const;

 private:
  std::vector<std::uint64_t> bits_;
};

}  // namespace tamrisk
