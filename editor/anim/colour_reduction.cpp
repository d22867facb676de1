#include "anim/colour_reduction.h"

#include <algorithm>
#include <array>
#include <numeric>
#include <utility>

namespace tamrisk {
namespace {

constexpr QRgb kColourMask = 0x00FFFFFFu;
// Weights of the squared red, green and blue differences.
constexpr std::array<int, 3> kWeight = {3, 4, 2};
constexpr int kRefinements = 3;

std::size_t slot_for(std::uint32_t key, std::size_t mask) {
  return (key * 0x9E3779B1u >> 7) & mask;
}

struct Item {
  std::array<int, 3> v;  // red, green, blue
  std::uint32_t count;
  std::uint32_t slot;  // in the histogram
  int cluster;
};

struct Box {
  std::size_t begin, end;
  double error;  // weighted sum of squared distances to the mean
  int axis;      // the channel of the greatest weighted spread
};

int distance(const std::array<int, 3>& a, const std::array<int, 3>& b) {
  int d = 0;
  for (int c = 0; c < 3; ++c) {
    d += kWeight[c] * (a[c] - b[c]) * (a[c] - b[c]);
  }
  return d;
}

// Cluster centres sorted by green, so that a search for the nearest centre
// can stop once the green difference alone is too large.
class Centres {
 public:
  explicit Centres(const std::vector<std::array<int, 3>>& centre) : centre_(centre) {
    order_.resize(centre.size());
    std::iota(order_.begin(), order_.end(), 0);
    std::sort(order_.begin(), order_.end(), [&centre](int a, int b) {
      return centre[static_cast<std::size_t>(a)][1] < centre[static_cast<std::size_t>(b)][1];
    });
    for (int i : order_) {
      green_.push_back(centre[static_cast<std::size_t>(i)][1]);
    }
  }

  // The centre nearest to v; `hint` is a good guess, such as v's cluster.
  int nearest(const std::array<int, 3>& v, int hint) const {
    int best = hint;
    int best_distance = distance(v, centre_[static_cast<std::size_t>(hint)]);
    const auto start = std::lower_bound(green_.begin(), green_.end(), v[1]) - green_.begin();
    const auto visit = [&](std::ptrdiff_t j) {
      const int dg = green_[static_cast<std::size_t>(j)] - v[1];
      if (kWeight[1] * dg * dg >= best_distance) {
        return false;
      }
      const int i = order_[static_cast<std::size_t>(j)];
      const int d = distance(v, centre_[static_cast<std::size_t>(i)]);
      if (d < best_distance) {
        best_distance = d;
        best = i;
      }
      return true;
    };
    for (std::ptrdiff_t j = start; j < static_cast<std::ptrdiff_t>(green_.size()) && visit(j);
         ++j) {
    }
    for (std::ptrdiff_t j = start - 1; j >= 0 && visit(j); --j) {
    }
    return best;
  }

 private:
  const std::vector<std::array<int, 3>>& centre_;
  std::vector<int> order_;
  std::vector<int> green_;
};

Box measure(const std::vector<Item>& items, std::size_t begin, std::size_t end) {
  double n = 0;
  std::array<double, 3> sum{}, square{};
  for (std::size_t i = begin; i < end; ++i) {
    n += items[i].count;
    for (int c = 0; c < 3; ++c) {
      const double v = items[i].v[c];
      sum[c] += items[i].count * v;
      square[c] += items[i].count * v * v;
    }
  }
  Box box{begin, end, 0.0, 0};
  double widest = -1;
  for (int c = 0; c < 3; ++c) {
    const double spread = kWeight[c] * (square[c] - sum[c] * sum[c] / n);
    box.error += spread;
    if (spread > widest) {
      widest = spread;
      box.axis = c;
    }
  }
  // One colour alone cannot be split, whatever rounding left in error.
  if (end - begin < 2) {
    box.error = 0;
  }
  return box;
}

// Sorts the box along its axis and cuts it where the two halves' squared
// error along that axis is least.
std::size_t cut(std::vector<Item>& items, const Box& box) {
  const int axis = box.axis;
  std::sort(items.begin() + static_cast<std::ptrdiff_t>(box.begin),
            items.begin() + static_cast<std::ptrdiff_t>(box.end),
            [axis](const Item& a, const Item& b) { return a.v[axis] < b.v[axis]; });
  double total_n = 0, total_sum = 0;
  for (std::size_t i = box.begin; i < box.end; ++i) {
    total_n += items[i].count;
    total_sum += static_cast<double>(items[i].count) * items[i].v[axis];
  }
  double n = 0, sum = 0, best = -1;
  std::size_t at = box.begin + 1;
  for (std::size_t i = box.begin; i + 1 < box.end; ++i) {
    n += items[i].count;
    sum += static_cast<double>(items[i].count) * items[i].v[axis];
    if (items[i].v[axis] == items[i + 1].v[axis]) {
      continue;
    }
    const double rest = total_sum - sum;
    const double score = sum * sum / n + rest * rest / (total_n - n);
    if (score > best) {
      best = score;
      at = i + 1;
    }
  }
  return at;
}

std::array<int, 3> channels(QRgb colour) {
  return {qRed(colour), qGreen(colour), qBlue(colour)};
}

}  // namespace

ColourHistogram::ColourHistogram(std::size_t expected) {
  std::size_t capacity = 16;
  while (capacity < 2 * expected) {
    capacity *= 2;
  }
  slots_.resize(capacity);
}

void ColourHistogram::add(QRgb colour, std::uint32_t count) {
  entry(colour).count += count;
}

ColourHistogram::Entry& ColourHistogram::entry(QRgb colour) {
  const std::uint32_t key = (colour & kColourMask) | kUsed;
  std::size_t mask = slots_.size() - 1;
  for (std::size_t i = slot_for(key, mask);; i = (i + 1) & mask) {
    if (slots_[i].key == key) {
      return slots_[i];
    }
    if (slots_[i].key == 0) {
      if ((size_ + 1) * 2 > slots_.size()) {
        grow();
        mask = slots_.size() - 1;
        for (i = slot_for(key, mask); slots_[i].key != 0;) {
          i = (i + 1) & mask;
        }
      }
      slots_[i] = {key, 0, static_cast<std::uint32_t>(size_++)};
      return slots_[i];
    }
  }
}

std::ptrdiff_t ColourHistogram::find(QRgb colour) const {
  const std::uint32_t key = (colour & kColourMask) | kUsed;
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t i = slot_for(key, mask);; i = (i + 1) & mask) {
    if (slots_[i].key == key) {
      return static_cast<std::ptrdiff_t>(i);
    }
    if (slots_[i].key == 0) {
      return -1;
    }
  }
}

void ColourHistogram::grow() {
  std::vector<Entry> old(slots_.size() * 2);
  old.swap(slots_);
  const std::size_t mask = slots_.size() - 1;
  for (const Entry& e : old) {
    if (e.key != 0) {
      std::size_t i = slot_for(e.key, mask);
      while (slots_[i].key != 0) {
        i = (i + 1) & mask;
      }
      slots_[i] = e;
    }
  }
}

ColourReduction::ColourReduction(ColourHistogram histogram, int max_colours)
    : histogram_(std::move(histogram)) {
  max_colours = std::clamp(max_colours, 2, 256);
  auto& entries = histogram_.entries();
  if (histogram_.size() <= static_cast<std::size_t>(max_colours)) {
    for (auto& e : entries) {
      if (e.key != 0) {
        e.value = static_cast<std::uint32_t>(palette_.size());
        palette_.push_back(0xFF000000u | e.key);
      }
    }
    return;
  }
  reduced_ = true;

  std::vector<Item> items;
  items.reserve(histogram_.size());
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (entries[i].key != 0) {
      items.push_back(
          {channels(entries[i].key), entries[i].count, static_cast<std::uint32_t>(i), 0});
    }
  }

  // Median cut: split the box of the greatest error until there are enough.
  std::vector<Box> boxes{measure(items, 0, items.size())};
  while (static_cast<int>(boxes.size()) < max_colours) {
    auto worst = std::max_element(boxes.begin(), boxes.end(),
                                  [](const Box& a, const Box& b) { return a.error < b.error; });
    if (worst->error <= 0) {
      break;
    }
    const Box box = *worst;
    const std::size_t at = cut(items, box);
    *worst = measure(items, box.begin, at);
    boxes.push_back(measure(items, at, box.end));
  }

  // k-means over the distinct colours, seeded with the boxes' means.
  const std::size_t k = boxes.size();
  std::vector<std::array<int, 3>> centre(k);
  std::vector<std::array<double, 3>> sum(k);
  std::vector<double> weight(k);
  auto recentre = [&] {
    for (std::size_t j = 0; j < k; ++j) {
      if (weight[j] > 0) {
        for (int c = 0; c < 3; ++c) {
          centre[j][c] = static_cast<int>(sum[j][c] / weight[j] + 0.5);
        }
      }
    }
  };
  for (std::size_t j = 0; j < k; ++j) {
    sum[j] = {};
    weight[j] = 0;
    for (std::size_t i = boxes[j].begin; i < boxes[j].end; ++i) {
      items[i].cluster = static_cast<int>(j);
      weight[j] += items[i].count;
      for (int c = 0; c < 3; ++c) {
        sum[j][c] += static_cast<double>(items[i].count) * items[i].v[c];
      }
    }
  }
  recentre();
  for (int round = 0; round < kRefinements; ++round) {
    std::fill(sum.begin(), sum.end(), std::array<double, 3>{});
    std::fill(weight.begin(), weight.end(), 0.0);
    bool moved = false;
    const Centres centres(centre);
    for (Item& item : items) {
      const int best = centres.nearest(item.v, item.cluster);
      moved = moved || best != item.cluster;
      item.cluster = best;
      const auto j = static_cast<std::size_t>(best);
      weight[j] += item.count;
      for (int c = 0; c < 3; ++c) {
        sum[j][c] += static_cast<double>(item.count) * item.v[c];
      }
    }
    recentre();
    if (!moved) {
      break;
    }
  }
  // The last recentring may have moved a colour's nearest centre.
  const Centres centres(centre);
  for (Item& item : items) {
    entries[item.slot].value = static_cast<std::uint32_t>(centres.nearest(item.v, item.cluster));
  }
  palette_.reserve(k);
  for (const auto& c : centre) {
    palette_.push_back(qRgb(c[0], c[1], c[2]));
  }
}

}  // namespace tamrisk
