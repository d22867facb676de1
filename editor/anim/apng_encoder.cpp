#include "anim/apng_encoder.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QRect>
#include <QThread>
#include <algorithm>
#include <cstring>
#include <deque>
#include <future>
#include <limits>
#include <optional>
#include <unordered_map>
#include <vector>

#include "anim/colour_stats.h"
#include "anim/frame_delta.h"
#include "platform/png_stream.h"

namespace tamrisk {
namespace {

constexpr QRgb kColourMask = 0x00FFFFFFu;
constexpr int kPaletteSize = 256;
constexpr int kMaxTicks = std::numeric_limits<quint16>::max();  // fcTL's delay_num
// Candidate encodings of a frame are compared at a fast level; only the one
// chosen is compressed at the final one. libdeflate's levels 11 and 12 save
// another 2% (measured on drawn scenes) at twice the time of level 10.
constexpr int kTrialLevel = 4;
constexpr int kFinalLevel = 10;

enum DisposeOp : char { kDisposeNone = 0, kDisposePrevious = 2 };
enum BlendOp : char { kBlendSource = 0, kBlendOver = 1 };

// A frame as added: the rectangle that differs from the frame before (the
// whole picture for the first; empty when nothing changed but the frame must
// still be shown on its own) and the new pixels there.
struct Step {
  QRect rect;
  QImage pixels;    // Format_RGB32, rect.size()
  int periods = 1;  // how many frame periods it stays
};

// How every frame's pixels are stored. APNG has one IHDR colour type for all
// frames: a palette (one PLTE of every colour of the animation) when they fit
// 256, else 8-bit RGB. A frame blended OVER the canvas leaves the pixels that
// equal the canvas transparent; they are palette entry 0, made transparent
// by tRNS, when the colours fit 255, or in RGB a key colour that no frame
// uses, named by tRNS. Palette indices take a whole byte each even for a few
// colours: ffmpeg 5.1 draws frames of packed indices that do not start at
// x = 0 wrongly, and whole bytes compress as well or better (measured: the
// example 8 % smaller).
struct Layout {
  bool indexed = false;
  bool transparent = false;
  QRgb key = 0;  // RGB with transparency: the colour tRNS makes transparent
  std::vector<QRgb> palette;
  std::unordered_map<QRgb, uchar> entry_of;  // colour -> palette entry
  static constexpr int kBitDepth = 8;

  int colour_type() const { return indexed ? kPngPalette : kPngRgb; }
  int bytes_per_pixel() const { return indexed ? 1 : 3; }
  int row_bytes(int width) const { return width * bytes_per_pixel(); }
};

// Every colour the frames show, in order of first appearance as long as there
// are at most 256, and which 24-bit colours occur at all.
struct Census {
  ColourStats first{kPaletteSize};
  ColourBits seen;

  void add(const QImage& pixels) {
    first.add(pixels, pixels.rect());
    for (int y = 0; y < pixels.height(); ++y) {
      const auto* row = reinterpret_cast<const QRgb*>(pixels.constScanLine(y));
      for (int x = 0; x < pixels.width(); ++x) {
        seen.insert(row[x]);
      }
    }
  }
};

Layout palette_layout(const std::vector<QRgb>& colours, bool transparent) {
  Layout layout;
  layout.indexed = true;
  layout.transparent = transparent;
  if (transparent) {
    layout.palette.push_back(0);
  }
  layout.palette.insert(layout.palette.end(), colours.begin(), colours.end());
  for (size_t i = transparent ? 1 : 0; i < layout.palette.size(); ++i) {
    layout.entry_of.emplace(layout.palette[i], static_cast<uchar>(i));
  }
  return layout;
}

// The layouts worth trying for these colours, the likely smallest first.
std::vector<Layout> layouts_for(const Census& census) {
  std::vector<Layout> layouts;
  const std::vector<QRgb>& first = census.first.colours();
  if (first.size() < kPaletteSize) {
    layouts.push_back(palette_layout(first, true));
    return layouts;
  }
  if (first.size() == kPaletteSize) {
    layouts.push_back(palette_layout(first, false));
  }
  Layout rgb;
  if (const std::optional<QRgb> key = census.seen.first_missing()) {
    rgb.transparent = true;
    rgb.key = *key;
  }
  layouts.push_back(std::move(rgb));
  return layouts;
}

// Copies `source` into `target` with its top-left corner at `at`.
void paste(QImage& target, const QImage& source, QPoint at) {
  const auto bytes = static_cast<size_t>(source.width()) * 4;
  for (int y = 0; y < source.height(); ++y) {
    std::memcpy(target.scanLine(at.y() + y) + at.x() * 4, source.constScanLine(y), bytes);
  }
}

// The pixels of `frame` in rect as one frame's unfiltered image data. With
// `canvas`, the pixels that equal it are transparent.
QByteArray frame_rows(const QImage& frame, const QImage* canvas, QRect rect, const Layout& layout) {
  const int row_bytes = layout.row_bytes(rect.width());
  QByteArray rows(static_cast<qsizetype>(row_bytes) * rect.height(), '\0');
  auto* out = reinterpret_cast<uchar*>(rows.data());
  for (int y = 0; y < rect.height(); ++y) {
    const auto* pixels =
        reinterpret_cast<const QRgb*>(frame.constScanLine(rect.y() + y)) + rect.x();
    const QRgb* under =
        canvas != nullptr
            ? reinterpret_cast<const QRgb*>(canvas->constScanLine(rect.y() + y)) + rect.x()
            : nullptr;
    uchar* row = out + static_cast<qsizetype>(row_bytes) * y;
    QRgb last = ~QRgb{0};
    uchar last_entry = 0;
    for (int x = 0; x < rect.width(); ++x) {
      const QRgb colour = pixels[x] & kColourMask;
      const bool keep = under != nullptr && (under[x] & kColourMask) == colour;
      if (layout.indexed) {
        uchar entry = 0;
        if (!keep) {
          if (colour != last) {
            last = colour;
            last_entry = layout.entry_of.at(colour);
          }
          entry = last_entry;
        }
        row[x] = entry;
      } else {
        const QRgb rgb = keep ? layout.key : colour;
        row[3 * x] = static_cast<uchar>(qRed(rgb));
        row[3 * x + 1] = static_cast<uchar>(qGreen(rgb));
        row[3 * x + 2] = static_cast<uchar>(qBlue(rgb));
      }
    }
  }
  return rows;
}

// One way to encode a frame drawn over `canvas` (null for the first frame).
struct Candidate {
  QRect rect;
  char blend = kBlendSource;
  RowFilter filter = RowFilter::kNone;
};

QByteArray filtered_rows(const QImage& frame, const QImage* canvas, const Layout& layout,
                         const Candidate& candidate) {
  const QByteArray rows =
      frame_rows(frame, candidate.blend == kBlendOver ? canvas : nullptr, candidate.rect, layout);
  const int row_bytes = layout.row_bytes(candidate.rect.width());
  return filter_rows(reinterpret_cast<const uchar*>(rows.constData()), row_bytes, row_bytes,
                     candidate.rect.height(), layout.bytes_per_pixel(), candidate.filter);
}

// The smallest candidate at the trial level, and its data at that level.
// rect: where frame differs from canvas.
Candidate best_candidate(const QImage& frame, const QImage* canvas, QRect rect,
                         const Layout& layout, const std::vector<RowFilter>& filters,
                         QByteArray* data) {
  Candidate candidate;
  candidate.rect = rect.isEmpty() ? QRect(0, 0, 1, 1) : rect;  // empty: the canvas shows it
  Candidate best;
  data->clear();
  for (char blend : {kBlendSource, kBlendOver}) {
    if (blend == kBlendOver && (canvas == nullptr || !layout.transparent)) {
      continue;
    }
    candidate.blend = blend;
    for (RowFilter filter : filters) {
      candidate.filter = filter;
      QByteArray trial =
          zlib_compress(filtered_rows(frame, canvas, layout, candidate), kTrialLevel);
      if (data->isEmpty() || trial.size() < data->size()) {
        best = candidate;
        *data = std::move(trial);
      }
    }
  }
  return best;
}

// One frame of the file as it will be written.
struct Encoded {
  Candidate how;
  int periods = 1;
  char dispose = kDisposeNone;  // what happens to it before the next frame
  QByteArray data;              // the zlib stream
};

// Walks the frames as a viewer draws them. With `frames` empty it chooses how
// to encode each (among the candidates over either canvas a disposed frame
// can leave) and stores it with its data at the trial level; with `frames`
// filled by such a walk in the same layout it compresses each frame again as
// chosen, at the final level. Returns false when memory runs out.
bool encode_frames(const std::vector<Step>& steps, const Layout& layout,
                   std::vector<Encoded>* frames) {
  const bool choose = frames->empty();
  const int threads = std::max(1, QThread::idealThreadCount());
  std::deque<std::pair<size_t, std::future<QByteArray>>> pending;
  // Stores the oldest compressed frame; false when memory ran out.
  const auto collect = [&] {
    QByteArray& data = (*frames)[pending.front().first].data;
    data = pending.front().second.get();
    pending.pop_front();
    return !data.isEmpty();
  };
  // Palette entries compress best unfiltered. Each RGB frame is filtered as
  // it compresses best: unfiltered where it is drawn from few colours,
  // filtered row by row by entropy where it has smooth shades, by least sum
  // where it has grain; frames of one animation may be any.
  std::vector<RowFilter> filters{RowFilter::kNone};
  if (!layout.indexed) {
    filters.push_back(RowFilter::kAdaptive);
    filters.push_back(RowFilter::kLeastSum);
  }
  QImage shown;       // the frame before the one being encoded
  QImage canvas_was;  // the canvas that frame was drawn on (null: none)
  for (size_t k = 0; k < steps.size(); ++k) {
    const Step& step = steps[k];
    QImage frame = k == 0 ? step.pixels : shown.copy();
    if (frame.isNull()) {
      return false;
    }
    if (k > 0 && !step.rect.isEmpty()) {
      paste(frame, step.pixels, step.rect.topLeft());
    }
    // The frame before either stays on the canvas or is disposed of, which
    // restores the canvas it was drawn on.
    bool restore = false;
    if (choose) {
      Encoded encoded;
      encoded.periods = step.periods;
      encoded.how = best_candidate(frame, k == 0 ? nullptr : &shown, step.rect, layout, filters,
                                   &encoded.data);
      if (!canvas_was.isNull()) {
        // Over the other canvas the frame shows the same pictures: the
        // filter just chosen serves.
        QByteArray data;
        const Candidate how = best_candidate(frame, &canvas_was, changed_rect(canvas_was, frame),
                                             layout, {encoded.how.filter}, &data);
        if (data.size() < encoded.data.size()) {
          restore = true;
          encoded.how = how;
          encoded.data = std::move(data);
        }
      }
      if (encoded.data.isEmpty()) {
        return false;
      }
      if (k > 0) {
        frames->back().dispose = restore ? kDisposePrevious : kDisposeNone;
      }
      frames->push_back(std::move(encoded));
    } else {
      restore = k > 0 && (*frames)[k - 1].dispose == kDisposePrevious;
      const QImage* canvas = k == 0 ? nullptr : restore ? &canvas_was : &shown;
      // Compressed on other threads, a few frames at a time, while the walk
      // goes on: the strongest level takes most of the time.
      if (static_cast<int>(pending.size()) >= threads) {
        if (!collect()) {
          return false;
        }
      }
      pending.emplace_back(
          k, std::async(
                 std::launch::async,
                 [](const QByteArray& filtered) { return zlib_compress(filtered, kFinalLevel); },
                 filtered_rows(frame, canvas, layout, (*frames)[k].how)));
    }
    if (k > 0 && !restore) {
      canvas_was = shown;
    }
    shown = frame;
  }
  while (!pending.empty()) {
    if (!collect()) {
      return false;
    }
  }
  return true;
}

QByteArray frame_control(quint32 sequence, const Encoded& frame, int frame_rate) {
  QByteArray data;
  append_be32(&data, sequence);
  append_be32(&data, static_cast<quint32>(frame.how.rect.width()));
  append_be32(&data, static_cast<quint32>(frame.how.rect.height()));
  append_be32(&data, static_cast<quint32>(frame.how.rect.x()));
  append_be32(&data, static_cast<quint32>(frame.how.rect.y()));
  append_be16(&data, static_cast<quint16>(frame.periods));
  append_be16(&data, static_cast<quint16>(frame_rate));
  data.append(frame.dispose);
  data.append(frame.how.blend);
  return data;
}

QByteArray assemble_apng(QSize size, const AnimationTiming& timing, const Layout& layout,
                         const std::vector<Encoded>& frames) {
  QByteArray png(kPngSignature, sizeof kPngSignature);
  append_png_chunk(
      &png, "IHDR",
      png_header(size.width(), size.height(), Layout::kBitDepth, layout.colour_type()));
  QByteArray control;
  append_be32(&control, static_cast<quint32>(frames.size()));
  append_be32(&control, static_cast<quint32>(timing.loop_count));  // num_plays, 0: endless
  append_png_chunk(&png, "acTL", control);
  if (layout.indexed) {
    QByteArray entries;
    for (QRgb colour : layout.palette) {
      entries.append(static_cast<char>(qRed(colour)));
      entries.append(static_cast<char>(qGreen(colour)));
      entries.append(static_cast<char>(qBlue(colour)));
    }
    append_png_chunk(&png, "PLTE", entries);
  }
  if (layout.transparent) {
    QByteArray alpha;
    if (layout.indexed) {
      alpha.append('\0');  // entry 0
    } else {
      append_be16(&alpha, static_cast<quint16>(qRed(layout.key)));
      append_be16(&alpha, static_cast<quint16>(qGreen(layout.key)));
      append_be16(&alpha, static_cast<quint16>(qBlue(layout.key)));
    }
    append_png_chunk(&png, "tRNS", alpha);
  }
  quint32 sequence = 0;
  for (size_t i = 0; i < frames.size(); ++i) {
    append_png_chunk(&png, "fcTL", frame_control(sequence++, frames[i], timing.frame_rate));
    if (i == 0) {
      append_png_chunk(&png, "IDAT", frames[i].data);
    } else {
      QByteArray data;
      append_be32(&data, sequence++);
      data.append(frames[i].data);
      append_png_chunk(&png, "fdAT", data);
    }
  }
  append_png_chunk(&png, "IEND", QByteArray());
  return png;
}

class ApngEncoder final : public AnimationEncoder {
 public:
  ApngEncoder(QSize size, const AnimationTiming& timing, int frame_count)
      : AnimationEncoder(size, timing) {
    steps_.reserve(static_cast<size_t>(std::max(frame_count, 1)));
  }

 protected:
  bool take(const FrameStep& step, QString* error) override {
    const bool first = steps_.empty();
    Step taken{step.changed, first ? step.frame : step.frame.copy(step.changed), 0};
    if (taken.pixels.isNull()) {
      *error = out_of_memory();
      return false;
    }
    // A delay longer than fcTL holds goes on in frames that change nothing.
    for (int periods = step.periods; periods > 0; periods -= kMaxTicks) {
      taken.periods = std::min(periods, kMaxTicks);
      steps_.push_back(taken);
      taken = Step{};
    }
    return true;
  }

  bool assemble(QByteArray* bytes, QString* error) override {
    Census census;
    for (const Step& step : steps_) {
      census.add(step.pixels);
    }
    std::vector<Layout> layouts = layouts_for(census);
    census = Census();  // 2 MB no longer needed
    // Each layout's frames are chosen and compressed at the trial level, the
    // layouts side by side; the smallest is compressed again at the final one.
    std::vector<std::vector<Encoded>> encodings(layouts.size());
    std::vector<std::future<bool>> trials;
    for (size_t i = 0; i < layouts.size(); ++i) {
      trials.push_back(std::async(std::launch::async, [this, &layouts, &encodings, i] {
        return encode_frames(steps_, layouts[i], &encodings[i]);
      }));
    }
    bool ok = true;
    for (auto& trial : trials) {
      ok = trial.get() && ok;
    }
    size_t chosen = 0;
    qsizetype smallest = 0;
    for (size_t i = 0; ok && i < layouts.size(); ++i) {
      const qsizetype size = assemble_file(layouts[i], encodings[i]).size();
      if (i == 0 || size < smallest) {
        chosen = i;
        smallest = size;
      }
    }
    std::vector<Encoded>& frames = encodings[chosen];
    if (!ok || !encode_frames(steps_, layouts[chosen], &frames)) {
      *error = out_of_memory();
      return false;
    }
    *bytes = assemble_file(layouts[chosen], frames);
    return true;
  }

 private:
  QByteArray assemble_file(const Layout& layout, const std::vector<Encoded>& frames) const {
    return assemble_apng(size(), timing(), layout, frames);
  }

  std::vector<Step> steps_;
};

}  // namespace

std::unique_ptr<AnimationEncoder> make_apng_encoder(QSize size, const AnimationTiming& timing,
                                                    int frame_count) {
  return std::make_unique<ApngEncoder>(size, timing, frame_count);
}

}  // namespace tamrisk
