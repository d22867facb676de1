#include "anim/gif_encoder.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QRect>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <utility>
#include <vector>

#include "anim/colour_reduction.h"
#include "anim/colour_stats.h"
#include "anim/frame_delta.h"
#include "anim/gif_block.h"
#include "anim/lzw_choice.h"

namespace tamrisk {
namespace {

constexpr int kMaxSide = 65535;
constexpr int kNoTransparency = -1;
// The disposal method "do not dispose": the next frame is drawn over this one.
constexpr int kDoNotDispose = 1;
constexpr int kMaxDelay = 65535;
constexpr QRgb kColourMask = 0x00FFFFFFu;
// A frame's delay follows the introducer, label, size and flags of its
// graphic control extension.
constexpr qsizetype kDelayInControl = 4;
// The PSNR (dB, over every frame shown and its red, green and blue) below
// which one palette for all frames is not taken where frames of at most 256
// colours could be shown exactly: banding shows plainly below it.
constexpr double kSharedPaletteFloor = 35.0;

// Frames wait in memory until they take this much, so that the global colour
// table can be chosen to suit as many of them as possible.
constexpr std::size_t kPendingBudget = std::size_t{64} << 20;

std::size_t area_of(QRect rect) {
  return static_cast<std::size_t>(rect.width()) * static_cast<std::size_t>(rect.height());
}

const QRgb* row_of(const QImage& image, int y) {
  return reinterpret_cast<const QRgb*>(image.constScanLine(y));
}

// The squared differences of red, green and blue between two colours.
std::uint32_t squared_error(QRgb a, QRgb b) {
  const int r = qRed(a) - qRed(b);
  const int g = qGreen(a) - qGreen(b);
  const int u = qBlue(a) - qBlue(b);
  return static_cast<std::uint32_t>(r * r + g * g + u * u);
}

void put_byte(QByteArray& out, int value) {
  out.append(static_cast<char>(value & 0xFF));
}

void put_word(QByteArray& out, int value) {
  put_byte(out, value);
  put_byte(out, value >> 8);
}

void put_colours(QByteArray& out, const std::vector<QRgb>& colours) {
  for (QRgb colour : colours) {
    put_byte(out, qRed(colour));
    put_byte(out, qGreen(colour));
    put_byte(out, qBlue(colour));
  }
}

// A graphic control extension: the frame stays when the next is drawn.
void put_control(QByteArray& out, int delay, int transparent) {
  out.append("\x21\xF9\x04", 3);
  put_byte(out, kDoNotDispose << 2 | (transparent >= 0 ? 1 : 0));
  put_word(out, delay);
  put_byte(out, std::max(transparent, 0));
  put_byte(out, 0);
}

// The header, logical screen and global colour table of a GIF89a, and the
// NETSCAPE2.0 extension, which counts the repeats after the first play (0
// meaning for ever); a single play needs none.
void put_header(QByteArray& out, QSize size, const std::vector<QRgb>& global, int loops) {
  out.append("GIF89a", 6);
  put_word(out, size.width());
  put_word(out, size.height());
  put_byte(out, 0x80 | 0x70 | (gif_table_bits(global.size()) - 1));
  put_byte(out, 0);  // background colour
  put_byte(out, 0);  // pixel aspect ratio
  put_colours(out, global);
  if (loops != 1) {
    out.append("\x21\xFF\x0BNETSCAPE2.0\x03\x01", 16);
    put_word(out, loops == 0 ? 0 : loops - 1);
    put_byte(out, 0);
  }
}

// Where a stretch of kept pixels (consecutive in scan order) is all one
// colour that the table holds, that colour becomes the first choice and
// transparency the alternative: a single run gains nothing from being
// transparent and may join changed pixels of its colour.
void prefer_single_runs(std::vector<std::uint8_t>& indices, std::vector<std::int16_t>& alternative,
                        const std::vector<bool>& keep) {
  const std::size_t n = indices.size();
  for (std::size_t i = 0; i < n;) {
    if (!keep[i]) {
      ++i;
      continue;
    }
    std::size_t end = i + 1;
    bool one_colour = alternative[i] >= 0;
    while (end < n && keep[end]) {
      one_colour = one_colour && alternative[end] == alternative[i];
      ++end;
    }
    if (one_colour) {
      for (std::size_t k = i; k < end; ++k) {
        const std::int16_t own = alternative[k];
        alternative[k] = indices[k];
        indices[k] = static_cast<std::uint8_t>(own);
      }
    }
    i = end;
  }
}

// A frame waiting for the global colour table: its rectangle's exact colours,
// or, when they had to be reduced, its finished block.
struct Pending {
  QRect rect;
  std::vector<QRgb> colours;           // at most 256
  std::vector<std::uint8_t> codes;     // each pixel's colour in `colours`
  std::vector<bool> keep;              // pixels already shown; empty when none
  std::vector<bool> colour_of_change;  // colours that a pixel outside `keep` has
  bool opaque = true;                  // whether every pixel has a code and may show it
  QByteArray block;                    // the finished block, when not empty
  int transparent = kNoTransparency;   // of the finished block
  int delay = 0;                       // hundredths of a second
};

class GifEncoder final : public AnimationEncoder {
 public:
  GifEncoder(QSize size, const AnimationTiming& timing) : AnimationEncoder(size, timing) {}

  QStringList notes() const override;

 protected:
  bool take(const FrameStep& step, QString* error) override;
  bool assemble(QByteArray* bytes, QString* error) override;

 private:
  bool start(const QImage& image, int delay, QString* error);
  // The rectangle with every colour exact; false when it has too many.
  bool exact(const QImage& image, const QImage& before, QRect rect, Pending* out) const;
  // The rectangle reduced to 256 colours, stored the smaller of two ways.
  bool reduce(const QImage& image, const QImage& before, QRect rect, Pending* out, QString* error);
  // The frame before stays delay hundredths longer.
  bool lengthen(int delay, QString* error);
  bool wait(Pending pending, int delay, QString* error);
  void choose_global();
  bool flush(QString* error);
  std::vector<GifPicture> ways_to_store(const Pending& pending) const;
  void show(const GifPicture& picture);
  void record(const FrameStep& step, int first_frame, int delay);
  bool one_palette(QByteArray* out, std::vector<int>* reduced, double* psnr, QString* error);

  // Once a frame has more than 256 colours, one palette for all frames, as
  // ffmpeg and gifski choose, may give the smaller file: the changed
  // rectangles are kept for it, up to a bound.
  struct Recorded {
    QRect rect;
    QImage pixels;  // the frame in rect
    int delay = 0;
    int first = 0;  // the frames shown, numbered from 1
    int last = 0;
  };
  std::vector<Recorded> recorded_;
  bool recording_ = true;
  std::size_t recorded_bytes_ = 0;

  QImage canvas_;       // what a viewer shows after the frames so far
  QImage previous_;     // the last frame added
  bool stale_ = false;  // whether canvas_ may differ from previous_
  GifBlockEncoder blocks_;
  std::vector<Pending> pending_;
  std::size_t pending_bytes_ = 0;
  QByteArray bytes_;          // the file so far, from the header on
  std::vector<QRgb> global_;  // the global colour table, a power of two long
  ColourHistogram global_index_{512};
  qsizetype delay_at_ = -1;          // of the last frame written
  int frames_ = 0;                   // of the sequence, so far
  long long periods_ = 0;            // frame periods so far
  std::vector<int> reduced_frames_;  // numbered from 1
  bool assembled_ = false;
};

bool GifEncoder::take(const FrameStep& step, QString* error) {
  const QImage& image = step.frame;
  const int delay =
      static_cast<int>(hundredths_until(periods_ + step.periods, timing().frame_rate) -
                       hundredths_until(periods_, timing().frame_rate));
  periods_ += step.periods;
  const int first_frame = frames_ + 1;
  frames_ += step.frames;
  record(step, first_frame, delay);
  bool ok = true;
  if (first_frame == 1) {
    ok = start(image, delay, error);
  } else {
    // Where the canvas shows the frame before, the step's rectangle is what
    // changed; after a reduced frame it may show other colours.
    QRect rect = stale_ ? changed_rect(canvas_, image) : step.changed;
    if (rect.isEmpty()) {
      previous_ = image;
      stale_ = false;
      return lengthen(delay, error);
    }
    Pending pending;
    if (exact(image, canvas_, rect, &pending)) {
      stale_ = false;
    } else {
      // Too many colours to show the whole frame exactly: store what changed
      // since the frame before, and leave the rest as it is shown.
      if (stale_) {
        rect = step.changed;
      }
      if (!(stale_ && exact(image, previous_, rect, &pending)) &&
          !reduce(image, previous_, rect, &pending, error)) {
        return false;
      }
      stale_ = true;
    }
    if (pending.block.isEmpty()) {
      std::size_t i = 0;
      for (int y = rect.top(); y <= rect.bottom(); ++y) {
        const QRgb* now = row_of(image, y) + rect.x();
        QRgb* shown = reinterpret_cast<QRgb*>(canvas_.scanLine(y)) + rect.x();
        for (int x = 0; x < rect.width(); ++x, ++i) {
          if (pending.keep.empty() || !pending.keep[i]) {
            shown[x] = now[x];
          }
        }
      }
    }
    ok = wait(std::move(pending), delay, error);
  }
  previous_ = image;
  // A frame is reduced when a viewer shows it in other colours: its own
  // pixels reduced, or pixels of an earlier reduced frame that it keeps.
  if (ok && stale_) {
    stale_ = changed_rect(canvas_, previous_).isValid();
    for (int k = first_frame; stale_ && k <= frames_; ++k) {
      reduced_frames_.push_back(k);
    }
  }
  return ok && (pending_bytes_ <= kPendingBudget || flush(error));
}

bool GifEncoder::start(const QImage& image, int delay, QString* error) {
  if (size().width() < 1 || size().height() < 1 || size().width() > kMaxSide ||
      size().height() > kMaxSide) {
    *error = QCoreApplication::translate(
                 "tamrisk::GifEncoder",
                 "%1 × %2 ピクセルの画像はGIFにできません（縦横 %3 ピクセルまで）。")
                 .arg(size().width())
                 .arg(size().height())
                 .arg(kMaxSide);
    return false;
  }
  const int width = image.width();
  ColourHistogram histogram(4096);
  for (int y = 0; y < image.height(); ++y) {
    const QRgb* row = row_of(image, y);
    for (int x = 0; x < width; ++x) {
      histogram.add(row[x]);
    }
  }
  const ColourReduction colours(std::move(histogram), 256);
  Pending pending;
  pending.rect = image.rect();
  pending.colours = colours.palette();
  pending.colour_of_change.assign(pending.colours.size(), true);
  pending.codes.reserve(area_of(pending.rect));
  for (int y = 0; y < image.height(); ++y) {
    const QRgb* row = row_of(image, y);
    for (int x = 0; x < width; ++x) {
      pending.codes.push_back(static_cast<std::uint8_t>(colours.index_of(row[x])));
    }
  }
  // The canvas is written to: a copy of its own.
  canvas_ = image.copy();
  if (canvas_.isNull()) {
    *error = out_of_memory();
    return false;
  }
  if (colours.reduced()) {
    stale_ = true;
    show({pending.rect, pending.codes, pending.colours, kNoTransparency});
  }
  return wait(std::move(pending), delay, error);
}

bool GifEncoder::exact(const QImage& image, const QImage& before, QRect rect, Pending* out) const {
  ColourStats all(256);
  ColourStats changed(255);  // leaving an entry for transparency
  bool all_fit = true;
  bool changed_fit = true;  // leaving an entry for transparency
  bool some_kept = false;
  for (int y = rect.top(); y <= rect.bottom(); ++y) {
    const QRgb* now = row_of(image, y) + rect.x();
    const QRgb* then = row_of(before, y) + rect.x();
    for (int x = 0; x < rect.width(); ++x) {
      const QRgb colour = now[x] & kColourMask;
      if (all_fit) {
        all_fit = all.add(colour);
      }
      if (colour == (then[x] & kColourMask)) {
        some_kept = true;
      } else if (changed_fit) {
        changed_fit = changed.add(colour);
      }
    }
    if (!all_fit && !changed_fit) {
      return false;
    }
  }
  // Pixels kept from a frame other than the one shown must stay transparent.
  const bool opaque = all_fit && (!some_kept || &before == &canvas_);
  if (!opaque && !(changed_fit && some_kept)) {
    return false;
  }
  const ColourStats& list = all_fit ? all : changed;
  Pending pending;
  pending.rect = rect;
  pending.colours = list.colours();
  pending.opaque = opaque;
  pending.colour_of_change.assign(list.colours().size(), !all_fit);
  pending.codes.reserve(area_of(rect));
  if (some_kept) {
    pending.keep.reserve(area_of(rect));
  }
  for (int y = rect.top(); y <= rect.bottom(); ++y) {
    const QRgb* now = row_of(image, y) + rect.x();
    const QRgb* then = row_of(before, y) + rect.x();
    for (int x = 0; x < rect.width(); ++x) {
      const QRgb colour = now[x] & kColourMask;
      const bool kept = colour == (then[x] & kColourMask);
      const std::uint32_t code = kept && !all_fit ? 0 : list.index_of(colour);
      pending.codes.push_back(static_cast<std::uint8_t>(code));
      if (some_kept) {
        pending.keep.push_back(kept);
      }
      if (!kept && all_fit) {
        pending.colour_of_change[code] = true;
      }
    }
  }
  *out = std::move(pending);
  return true;
}

bool GifEncoder::reduce(const QImage& image, const QImage& before, QRect rect, Pending* out,
                        QString* error) {
  ColourHistogram all(std::min<std::size_t>(area_of(rect), 4096));
  ColourHistogram changed(std::min<std::size_t>(area_of(rect), 4096));
  bool some_kept = false;
  for (int y = rect.top(); y <= rect.bottom(); ++y) {
    const QRgb* now = row_of(image, y) + rect.x();
    const QRgb* then = row_of(before, y) + rect.x();
    for (int x = 0; x < rect.width(); ++x) {
      all.add(now[x]);
      if (((now[x] ^ then[x]) & kColourMask) != 0) {
        changed.add(now[x]);
      } else {
        some_kept = true;
      }
    }
  }
  std::vector<GifPicture> ways;
  const auto index = [&](const ColourReduction& colours, const QImage* kept, int transparent) {
    GifPicture picture{rect, {}, colours.palette(), transparent};
    picture.indices.reserve(area_of(rect));
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
      const QRgb* now = row_of(image, y) + rect.x();
      const QRgb* then = kept ? row_of(*kept, y) + rect.x() : nullptr;
      for (int x = 0; x < rect.width(); ++x) {
        const bool same = then && ((now[x] ^ then[x]) & kColourMask) == 0;
        picture.indices.push_back(
            static_cast<std::uint8_t>(same ? transparent : colours.index_of(now[x])));
      }
    }
    if (kept) {
      picture.local.push_back(0);
    }
    ways.push_back(std::move(picture));
  };
  index(ColourReduction(std::move(all), 256), nullptr, kNoTransparency);
  if (some_kept && changed.size() > 0) {
    const ColourReduction colours(std::move(changed), 255);
    index(colours, &before, static_cast<int>(colours.palette().size()));
  }
  std::size_t best = 0;
  for (std::size_t i = 0; i < ways.size(); ++i) {
    QByteArray block;
    if (!blocks_.encode(ways[i], &block, error)) {
      return false;
    }
    if (i == 0 || block.size() < out->block.size()) {
      out->block = std::move(block);
      best = i;
    }
  }
  out->rect = rect;
  out->transparent = ways[best].transparent;
  show(ways[best]);
  return true;
}

void GifEncoder::show(const GifPicture& picture) {
  const QRect r = picture.rect;
  const std::uint8_t* index = picture.indices.data();
  for (int y = r.top(); y <= r.bottom(); ++y) {
    QRgb* row = reinterpret_cast<QRgb*>(canvas_.scanLine(y)) + r.x();
    for (int x = 0; x < r.width(); ++x, ++index) {
      if (*index != picture.transparent) {
        row[x] = 0xFF000000u | picture.local[*index];
      }
    }
  }
}

bool GifEncoder::wait(Pending pending, int delay, QString* error) {
  pending.delay = std::min(delay, kMaxDelay);
  pending_bytes_ += pending.codes.size() + pending.keep.size() / 8 +
                    static_cast<std::size_t>(pending.block.size());
  pending_.push_back(std::move(pending));
  return delay <= kMaxDelay || lengthen(delay - kMaxDelay, error);
}

bool GifEncoder::lengthen(int delay, QString* error) {
  if (!pending_.empty() && pending_.back().delay + delay <= kMaxDelay) {
    pending_.back().delay += delay;
    return true;
  }
  if (pending_.empty()) {
    const int shown = (static_cast<unsigned char>(bytes_[delay_at_]) |
                       static_cast<unsigned char>(bytes_[delay_at_ + 1]) << 8) +
                      delay;
    if (shown <= kMaxDelay) {
      bytes_[delay_at_] = static_cast<char>(shown & 0xFF);
      bytes_[delay_at_ + 1] = static_cast<char>(shown >> 8);
      return true;
    }
  }
  // The delay is full: one transparent pixel carries the rest.
  GifPicture pixel{QRect(0, 0, 1, 1), {0}, {0, 0}, 0};
  Pending pending;
  pending.rect = pixel.rect;
  pending.transparent = 0;
  if (!blocks_.encode(pixel, &pending.block, error)) {
    return false;
  }
  return wait(std::move(pending), delay, error);
}

void GifEncoder::choose_global() {
  // The first frame's colours and, up to 256, the colours that later frames
  // use most; the colours that most frames use come first, so that those
  // frames' codes can start small.
  ColourHistogram use(1024);
  for (std::size_t i = 1; i < pending_.size(); ++i) {
    const Pending& p = pending_[i];
    for (std::size_t c = 0; c < p.colours.size(); ++c) {
      if (p.colour_of_change[c]) {
        use.add(p.colours[c]);
      }
    }
  }
  struct Use {
    QRgb colour;
    std::uint32_t frames;
  };
  std::vector<Use> uses;
  ColourHistogram first(512);
  for (QRgb colour : pending_.front().colours) {
    if (first.entry(colour).count++ == 0) {
      const std::ptrdiff_t slot = use.find(colour);
      uses.push_back({colour & kColourMask,
                      slot < 0 ? 0 : use.entries()[static_cast<std::size_t>(slot)].count});
    }
  }
  std::vector<Use> others;
  for (const auto& e : use.entries()) {
    if (e.key != 0 && first.find(e.key) < 0) {
      others.push_back({e.key & kColourMask, e.count});
    }
  }
  const auto more_frames = [](const Use& a, const Use& b) { return a.frames > b.frames; };
  std::stable_sort(others.begin(), others.end(), more_frames);
  others.resize(std::min(others.size(), 256 - uses.size()));
  uses.insert(uses.end(), others.begin(), others.end());
  std::stable_sort(uses.begin(), uses.end(), more_frames);
  global_.assign(std::size_t{1} << gif_table_bits(std::max<std::size_t>(uses.size(), 2)), 0);
  for (std::size_t i = 0; i < uses.size(); ++i) {
    global_[i] = uses[i].colour;
    global_index_.entry(uses[i].colour).value = static_cast<std::uint32_t>(i);
  }
}

std::vector<GifPicture> GifEncoder::ways_to_store(const Pending& p) const {
  // Where the colours go in the global table and in a local one; the keyed
  // ways need only the colours of changed pixels, and an unused entry for
  // transparency.
  const bool keyed = !p.keep.empty();
  std::vector<int> to_global(p.colours.size(), -1);
  std::vector<int> to_local(p.colours.size(), -1);
  std::vector<bool> taken(global_.size());
  bool global_fits = true;
  int local_size = 0;
  for (std::size_t c = 0; c < p.colours.size(); ++c) {
    const std::ptrdiff_t slot = global_index_.find(p.colours[c]);
    if (slot >= 0) {
      to_global[c] =
          static_cast<int>(global_index_.entries()[static_cast<std::size_t>(slot)].value);
    }
    if (!keyed || p.colour_of_change[c]) {
      global_fits = global_fits && slot >= 0;
      if (slot >= 0) {
        taken[static_cast<std::size_t>(to_global[c])] = true;
      }
      to_local[c] = local_size++;
    }
  }
  const int global_transparent =
      keyed ? static_cast<int>(std::find(taken.begin(), taken.end(), false) - taken.begin()) : -1;
  global_fits = global_fits && global_transparent < static_cast<int>(global_.size());
  const int local_transparent = keyed ? local_size++ : -1;
  std::vector<QRgb> local;
  if (local_size <= 256) {
    for (std::size_t c = 0; c < p.colours.size(); ++c) {
      if (to_local[c] >= 0) {
        local.push_back(p.colours[c]);
      }
    }
    if (keyed) {
      local.push_back(0);
    }
  }

  std::vector<GifPicture> ways;
  const std::size_t area = area_of(p.rect);
  const auto add = [&](const std::vector<int>& map, const std::vector<QRgb>& table,
                       int transparent) {
    GifPicture picture{p.rect, std::vector<std::uint8_t>(area), table, transparent};
    // A kept pixel whose colour is in the table may show it instead of
    // being transparent where that makes longer strings.
    std::vector<std::int16_t> alternative(p.opaque && transparent >= 0 ? area : 0, -1);
    for (std::size_t i = 0; i < area; ++i) {
      const bool kept = transparent >= 0 && p.keep[i];
      picture.indices[i] = static_cast<std::uint8_t>(kept ? transparent : map[p.codes[i]]);
      if (kept && !alternative.empty()) {
        alternative[i] = static_cast<std::int16_t>(map[p.codes[i]]);
      }
    }
    const int bits = gif_code_size(picture);
    if (alternative.empty()) {
      ways.push_back(std::move(picture));
      return bits;
    }
    for (std::int16_t& other : alternative) {
      if (other >= 1 << bits) {
        other = -1;
      }
    }
    // Own colours where a stretch of kept pixels is one colour, transparency
    // elsewhere; then the same with each pixel's choice made for the
    // strings of the LZW encoder. Neither wins every time.
    prefer_single_runs(picture.indices, alternative, p.keep);
    ways.push_back(picture);
    choose_for_lzw(picture.indices, alternative, bits);
    ways.push_back(std::move(picture));
    return bits;
  };
  // A local table costs its bytes; it pays only when it lets the codes start
  // smaller than on the global table.
  int global_bits = 99;
  if (global_fits) {
    global_bits = add(to_global, {}, global_transparent);
  }
  if (!local.empty() && std::max(2, gif_table_bits(local.size())) < global_bits) {
    add(to_local, local, local_transparent);
  }
  if (ways.empty() && p.opaque) {
    // Too many colours of change to leave a table entry for transparency.
    std::vector<int> identity(p.colours.size());
    std::iota(identity.begin(), identity.end(), 0);
    if (std::all_of(to_global.begin(), to_global.end(), [](int i) { return i >= 0; })) {
      add(to_global, {}, kNoTransparency);
    } else {
      add(identity, p.colours, kNoTransparency);
    }
  }
  return ways;
}

bool GifEncoder::flush(QString* error) {
  if (bytes_.isEmpty()) {
    choose_global();
    put_header(bytes_, size(), global_, timing().loop_count);
  }
  for (Pending& p : pending_) {
    if (p.block.isEmpty()) {
      std::vector<GifPicture> ways = ways_to_store(p);
      for (std::size_t i = 0; i < ways.size(); ++i) {
        QByteArray block;
        if (!blocks_.encode(ways[i], &block, error)) {
          return false;
        }
        if (i == 0 || block.size() < p.block.size()) {
          p.block = std::move(block);
          p.transparent = ways[i].transparent;
        }
      }
    }
    delay_at_ = bytes_.size() + kDelayInControl;
    put_control(bytes_, p.delay, p.transparent);
    bytes_.append(p.block);
  }
  pending_.clear();
  pending_bytes_ = 0;
  return true;
}

// What one palette for all frames needs: each frame's changed rectangle.
void GifEncoder::record(const FrameStep& step, int first_frame, int delay) {
  // 16 bytes a pixel: the copies, the histogram and the indices.
  constexpr std::size_t kRecordBudget = std::size_t{1} << 30;
  if (!recording_) {
    return;
  }
  if (first_frame > 1 && step.changed.isEmpty()) {
    recorded_.back().delay += delay;
    recorded_.back().last = frames_;
    return;
  }
  const QRect rect = first_frame == 1 ? step.frame.rect() : step.changed;
  recorded_bytes_ += 16 * area_of(rect);
  const QImage pixels = step.frame.copy(rect);
  if (recorded_bytes_ > kRecordBudget || pixels.isNull()) {
    recording_ = false;
    recorded_.clear();
    return;
  }
  recorded_.push_back({rect, pixels, delay, first_frame, frames_});
}

// The recorded frames on one table of 255 colours chosen for all of them
// (median cut refined by k-means, undithered) and a transparent entry: each
// frame stores the rectangle whose indices changed, opaque or with the
// unchanged pixels transparent, whichever is smaller. `reduced` lists the
// frames shown in other colours, `psnr` how far they are from the frames.
bool GifEncoder::one_palette(QByteArray* out, std::vector<int>* reduced, double* psnr,
                             QString* error) {
  // Each colour counts as often as frames show it, so that the table suits
  // what stays in view as well as what moves.
  ColourHistogram histogram(1 << 16);
  {
    const int width = size().width();
    QImage now(size(), QImage::Format_RGB32);
    std::vector<int> since(area_of(QRect(QPoint(), size())), 1);
    for (const Recorded& r : recorded_) {
      for (int y = 0; y < r.rect.height(); ++y) {
        const QRgb* row = row_of(r.pixels, y);
        QRgb* seen = reinterpret_cast<QRgb*>(now.scanLine(r.rect.y() + y)) + r.rect.x();
        int* from = since.data() +
                    static_cast<std::size_t>(r.rect.y() + y) * static_cast<std::size_t>(width) +
                    r.rect.x();
        for (int x = 0; x < r.rect.width(); ++x) {
          if (r.first > 1 && r.first > from[x]) {
            histogram.add(seen[x], static_cast<std::uint32_t>(r.first - from[x]));
          }
          seen[x] = row[x];
          from[x] = r.first;
        }
      }
    }
    for (int y = 0; y < now.height(); ++y) {
      const QRgb* seen = row_of(now, y);
      const int* from =
          since.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
      for (int x = 0; x < width; ++x) {
        histogram.add(seen[x], static_cast<std::uint32_t>(frames_ + 1 - from[x]));
      }
    }
  }
  const ColourReduction colours(std::move(histogram), 255);
  std::vector<QRgb> table = colours.palette();
  const int transparent = static_cast<int>(table.size());
  table.resize(std::size_t{1} << gif_table_bits(table.size() + 1), qRgb(0, 0, 0));
  put_header(*out, size(), table, timing().loop_count);

  const int width = size().width();
  std::vector<std::uint8_t> shown(area_of(QRect(QPoint(), size())), 0);
  // Each pixel's squared error in red, green and blue together, their sum
  // now, and that sum over every frame shown so far.
  std::vector<std::uint32_t> wrong(shown.size(), 0);
  std::size_t wrong_count = 0;
  std::uint64_t error_now = 0;
  double error_total = 0;
  qsizetype delay_at = -1;
  const auto lengthen = [&](int delay) {
    while (delay > 0) {
      const int before = static_cast<unsigned char>((*out)[delay_at]) |
                         static_cast<unsigned char>((*out)[delay_at + 1]) << 8;
      const int added = std::min(delay, kMaxDelay - before);
      if (added > 0) {
        (*out)[delay_at] = static_cast<char>((before + added) & 0xFF);
        (*out)[delay_at + 1] = static_cast<char>((before + added) >> 8);
        delay -= added;
        continue;
      }
      // The delay is full: one transparent pixel carries the rest.
      GifPicture pixel{
          QRect(0, 0, 1, 1), {static_cast<std::uint8_t>(transparent)}, {}, transparent};
      QByteArray block;
      if (!blocks_.encode(pixel, &block, error)) {
        return false;
      }
      delay_at = out->size() + kDelayInControl;
      put_control(*out, 0, transparent);
      out->append(block);
    }
    return true;
  };
  for (const Recorded& r : recorded_) {
    // The indices of the rectangle, and the box of those that change.
    std::vector<std::uint8_t> now(area_of(r.rect));
    QRect changed;
    std::size_t i = 0;
    for (int y = 0; y < r.rect.height(); ++y) {
      const QRgb* row = row_of(r.pixels, y);
      for (int x = 0; x < r.rect.width(); ++x, ++i) {
        const int index = colours.index_of(row[x]);
        now[i] = static_cast<std::uint8_t>(index);
        const std::size_t at =
            static_cast<std::size_t>(r.rect.y() + y) * static_cast<std::size_t>(width) +
            static_cast<std::size_t>(r.rect.x() + x);
        const std::uint32_t off = squared_error(table[static_cast<std::size_t>(index)], row[x]);
        wrong_count = wrong_count - (wrong[at] != 0 ? 1 : 0) + (off != 0 ? 1 : 0);
        error_now = error_now - wrong[at] + off;
        wrong[at] = off;
        if (delay_at < 0 || shown[at] != index) {
          changed |= QRect(r.rect.x() + x, r.rect.y() + y, 1, 1);
        }
      }
    }
    if (changed.isEmpty()) {
      if (!lengthen(r.delay)) {
        return false;
      }
    } else {
      GifPicture opaque{changed, {}, {}, kNoTransparency};
      GifPicture keyed{changed, {}, {}, transparent};
      opaque.indices.reserve(area_of(changed));
      keyed.indices.reserve(area_of(changed));
      // The unchanged pixels' own indices, for the keyed ways that show
      // some of them instead of leaving them transparent.
      std::vector<bool> keep;
      std::vector<std::int16_t> alternative;
      keep.reserve(area_of(changed));
      alternative.reserve(area_of(changed));
      for (int y = changed.top(); y <= changed.bottom(); ++y) {
        for (int x = changed.left(); x <= changed.right(); ++x) {
          const std::size_t at = static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                                 static_cast<std::size_t>(x);
          const std::uint8_t index = r.rect.contains(x, y)
                                         ? now[static_cast<std::size_t>(y - r.rect.y()) *
                                                   static_cast<std::size_t>(r.rect.width()) +
                                               static_cast<std::size_t>(x - r.rect.x())]
                                         : shown[at];
          const bool kept = delay_at >= 0 && index == shown[at];
          opaque.indices.push_back(index);
          keyed.indices.push_back(kept ? static_cast<std::uint8_t>(transparent) : index);
          keep.push_back(kept);
          alternative.push_back(kept ? static_cast<std::int16_t>(index) : std::int16_t{-1});
          shown[at] = index;
        }
      }
      // Opaque; keyed; keyed with a run of one kept colour shown; keyed
      // with each kept pixel's choice made for the LZW strings.
      QByteArray block;
      if (!blocks_.encode(opaque, &block, error)) {
        return false;
      }
      bool use_keyed = false;
      for (int way = 0; delay_at >= 0 && way < 3; ++way) {
        if (way == 1) {
          prefer_single_runs(keyed.indices, alternative, keep);
        } else if (way == 2) {
          choose_for_lzw(keyed.indices, alternative, gif_code_size(keyed));
        }
        GifPicture picture = keyed;
        QByteArray keyed_block;
        if (!blocks_.encode(picture, &keyed_block, error)) {
          return false;
        }
        if (keyed_block.size() < block.size()) {
          block = std::move(keyed_block);
          use_keyed = true;
        }
      }
      delay_at = out->size() + kDelayInControl;
      put_control(*out, std::min(r.delay, kMaxDelay), use_keyed ? transparent : kNoTransparency);
      out->append(block);
      if (r.delay > kMaxDelay && !lengthen(r.delay - kMaxDelay)) {
        return false;
      }
    }
    for (int k = r.first; wrong_count > 0 && k <= r.last; ++k) {
      reduced->push_back(k);
    }
    error_total += static_cast<double>(error_now) * (r.last - r.first + 1);
  }
  put_byte(*out, 0x3B);  // trailer
  const double samples = 3.0 * static_cast<double>(shown.size()) * frames_;
  *psnr = error_total == 0 ? std::numeric_limits<double>::infinity()
                           : 10 * std::log10(255.0 * 255.0 * samples / error_total);
  return true;
}

bool GifEncoder::assemble(QByteArray* bytes, QString* error) {
  if (!assembled_) {
    if (!flush(error)) {
      return false;
    }
    put_byte(bytes_, 0x3B);  // trailer
    if (recording_ && !recorded_.empty() && !reduced_frames_.empty()) {
      QByteArray shared;
      std::vector<int> reduced;
      double psnr = 0;
      if (!one_palette(&shared, &reduced, &psnr, error)) {
        return false;
      }
      // Where some frames are shown exactly, one palette takes their exact
      // colours away; it is kept only while it stays clearly good.
      const bool all_reduced = static_cast<int>(reduced_frames_.size()) == frames_;
      if (shared.size() < bytes_.size() && (all_reduced || psnr >= kSharedPaletteFloor)) {
        bytes_ = std::move(shared);
        reduced_frames_ = std::move(reduced);
      }
    }
    recorded_.clear();
    assembled_ = true;
  }
  *bytes = bytes_;
  return true;
}

QStringList GifEncoder::notes() const {
  if (reduced_frames_.empty()) {
    return {};
  }
  // Runs of three or more frames are shown as ranges.
  QStringList parts;
  for (std::size_t i = 0; i < reduced_frames_.size();) {
    std::size_t j = i;
    while (j + 1 < reduced_frames_.size() && reduced_frames_[j + 1] == reduced_frames_[j] + 1) {
      ++j;
    }
    if (j - i >= 2) {
      //: A run of frame numbers, first to last, in the list of reduced frames.
      parts << QCoreApplication::translate("tamrisk::GifEncoder", "%1〜%2")
                   .arg(reduced_frames_[i])
                   .arg(reduced_frames_[j]);
    } else {
      for (std::size_t k = i; k <= j; ++k) {
        parts << QString::number(reduced_frames_[k]);
      }
    }
    i = j + 1;
  }
  return {QCoreApplication::translate("tamrisk::GifEncoder",
                                      "GIF: 256色を超えるコマ（%1）を256色に減らしました。")
              .arg(parts.join(QStringLiteral(", ")))};
}

}  // namespace

std::unique_ptr<AnimationEncoder> make_gif_encoder(QSize size, const AnimationTiming& timing,
                                                   int /*frame_count: GIF needs none*/) {
  return std::make_unique<GifEncoder>(size, timing);
}

}  // namespace tamrisk
