#include "render/compose.h"

#include <QString>
#include <algorithm>
#include <climits>
#include <cstring>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define TAMRISK_PIXEL_SSE2 1
#endif

namespace tamrisk {
namespace {

QImage as_rgb32(const QImage& image) {
  if (image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32) {
    return image;
  }
  return image.convertToFormat(QImage::Format_RGB32);
}

void ensure_rgb32(QImage& image) {
  if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32) {
    image = image.convertToFormat(QImage::Format_RGB32);
  }
}

// The half-open range of i in [0, count) for which both pos + i and
// src_pos + i lie inside their surfaces; computed wide so that no sum overflows.
struct Span {
  qint64 begin;
  qint64 end;
};
Span clip(int pos, int count, int dest_size, int src_pos, int src_size) {
  const qint64 begin = std::max({qint64{0}, -qint64{pos}, -qint64{src_pos}});
  const qint64 end = std::min({qint64{count}, qint64{dest_size} - pos, qint64{src_size} - src_pos});
  return {begin, end};
}

constexpr QRgb kOpaque = 0xFF000000u;
constexpr QRgb kRgbMask = 0x00FFFFFFu;

// Row kernels. The plain ones go pixel by pixel in order, which is what rows
// that share memory need; the others take rows that do not overlap, four
// pixels at a time where SSE2 is there (every x86-64).

// to[i] = from[i], made opaque.
void opaque_row_plain(const QRgb* from, QRgb* to, qint64 count) {
  for (qint64 i = 0; i < count; ++i) {
    to[i] = from[i] | kOpaque;
  }
}

void opaque_row(const QRgb* from, QRgb* to, qint64 count) {
  qint64 i = 0;
#ifdef TAMRISK_PIXEL_SSE2
  const __m128i alpha = _mm_set1_epi32(static_cast<int>(kOpaque));
  for (; i + 4 <= count; i += 4) {
    const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + i));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(to + i), _mm_or_si128(p, alpha));
  }
#endif
  opaque_row_plain(from + i, to + i, count - i);
}

// The pixel rule of the keyed copy over one row: to[i] becomes from[i], made
// opaque, wherever from[i]'s RGB differs from key_rgb.
void keyed_row_plain(const QRgb* from, QRgb* to, qint64 count, QRgb key_rgb) {
  for (qint64 i = 0; i < count; ++i) {
    const QRgb p = from[i];
    if ((p & kRgbMask) != key_rgb) {
      to[i] = p | kOpaque;
    }
  }
}

void keyed_row(const QRgb* from, QRgb* to, qint64 count, QRgb key_rgb) {
  qint64 i = 0;
#ifdef TAMRISK_PIXEL_SSE2
  const __m128i alpha = _mm_set1_epi32(static_cast<int>(kOpaque));
  const __m128i rgb = _mm_set1_epi32(static_cast<int>(kRgbMask));
  const __m128i key = _mm_set1_epi32(static_cast<int>(key_rgb));
  for (; i + 4 <= count; i += 4) {
    const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + i));
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(to + i));
    const __m128i keep = _mm_cmpeq_epi32(_mm_and_si128(p, rgb), key);
    const __m128i drawn = _mm_andnot_si128(keep, _mm_or_si128(p, alpha));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(to + i),
                     _mm_or_si128(_mm_and_si128(keep, d), drawn));
  }
#endif
  keyed_row_plain(from + i, to + i, count - i, key_rgb);
}

// Whether the pixel memory of two images overlaps (images made over one
// buffer of the caller's); the row kernels must not be used then.
bool overlap(const QImage& a, const QImage& b) {
  const auto* a_begin = a.constBits();
  const auto* b_begin = b.constBits();
  return a_begin < b_begin + b.sizeInBytes() && b_begin < a_begin + a.sizeInBytes();
}

// SRCCOPY of the whole of src to dest at (0, 0).
void copy_opaque(QImage& dest, const QImage& src) {
  const int width = std::min(dest.width(), src.width());
  const int height = std::min(dest.height(), src.height());
  if (width <= 0 || height <= 0) {
    return;
  }
  const QImage s = as_rgb32(src);
  dest.bits();  // detaches dest from s where they share pixels
  const bool same_memory = overlap(dest, s);
  for (int y = 0; y < height; ++y) {
    const auto* from = reinterpret_cast<const QRgb*>(s.constScanLine(y));
    auto* to = reinterpret_cast<QRgb*>(dest.scanLine(y));
    (same_memory ? opaque_row_plain : opaque_row)(from, to, width);
  }
}

// Fills the frame with colour outside its top-left covered_width x
// covered_height area, which the caller is about to paint over.
void fill_outside(QImage& frame, int covered_width, int covered_height, QRgb colour) {
  const int width = frame.width();
  const int covered_w = std::clamp(covered_width, 0, width);
  const int covered_h = std::clamp(covered_height, 0, frame.height());
  if (covered_w == 0 || covered_h == 0) {
    frame.fill(colour);
    return;
  }
  for (int y = 0; y < frame.height(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(frame.scanLine(y));
    const int from = y < covered_h ? covered_w : 0;
    std::fill(row + from, row + width, colour);
  }
}

// Keyed copy of a whole layer canvas, by its own top-left pixel.
void draw_keyed(QImage& dest, int x, int y, int width, int height, const QImage& layer, int src_x) {
  key_color_blt(dest, x, y, width, height, layer, src_x, 0, key_colour(layer));
}

// Sequence entry of frame k: the digit of the k-th character of the text;
// 0 (the background) for any other character, past the text or past the
// per-frame tables.
int sequence_entry(const QString& text, int k) {
  if (k < 0 || k >= kMaxFrames || k >= text.size()) {
    return 0;
  }
  const char16_t c = text.at(k).unicode();
  return c >= u'0' && c <= u'9' ? static_cast<int>(c - u'0') : 0;
}

}  // namespace

Colour key_colour(const QImage& canvas) {
  if (canvas.isNull()) {
    return 0;
  }
  return qrgb_to_colour(canvas.pixel(0, 0));
}

void key_color_blt(QImage& dest, int x, int y, int width, int height, const QImage& src, int src_x,
                   int src_y, Colour key) {
  if (dest.isNull() || src.isNull()) {
    return;
  }
  const Span cols = clip(x, width, dest.width(), src_x, src.width());
  const Span rows = clip(y, height, dest.height(), src_y, src.height());
  if (cols.begin >= cols.end || rows.begin >= rows.end) {
    return;
  }
  ensure_rgb32(dest);
  // A copy that shares src's pixels: writing to dest detaches it, so src
  // and dest may be one and the same image.
  const QImage s = as_rgb32(src);
  dest.bits();  // detaches now, before the rows are looked at
  const bool same_memory = overlap(dest, s);
  const QRgb key_rgb = colour_to_qrgb(key) & kRgbMask;
  for (qint64 j = rows.begin; j < rows.end; ++j) {
    const auto* from = reinterpret_cast<const QRgb*>(s.constScanLine(static_cast<int>(src_y + j)));
    auto* to = reinterpret_cast<QRgb*>(dest.scanLine(static_cast<int>(y + j)));
    (same_memory ? keyed_row_plain : keyed_row)(from + (src_x + cols.begin), to + (x + cols.begin),
                                                cols.end - cols.begin, key_rgb);
  }
}

void compose_frame(ProjectModel& model) {
  const int k = model.cur_frame;
  const int entry = sequence_entry(model.pattern_anime(), k);
  ProjectModel::Offset sum{0, 0};
  if (k >= 0) {
    sum = model.cumulative_offset(std::min(k, kMaxFrames - 1));
  }

  QImage& frame = model.win_main;
  if (frame.isNull()) {
    return;
  }
  ensure_rgb32(frame);
  // Cleared to the window colour; the background's area is painted over
  // opaquely below, so only the rest needs the colour.
  const QImage& background = model.pic[kBackground];
  fill_outside(frame, background.width(), background.height(), colour_to_qrgb(kWindowColour));
  const int width = frame.width();

  // Positions are 16-bit values; the wrap keeps x within 0..W-1 for any
  // t >= -5W and lets it go negative below that.
  const auto t = static_cast<std::int16_t>(model.sc_bar() * k + model.adjust_x() + sum.x);
  const int x = (5 * width + t) % width;
  const auto y = static_cast<std::int16_t>(model.adjust_y() + sum.y);

  copy_opaque(frame, background);

  const QImage& pattern = model.pic[static_cast<size_t>(entry)];
  if (!pattern.isNull()) {
    const int pw = pattern.width();
    int w1 = pw;
    int w2 = 0;
    if (qint64{x} + pw > width) {
      w1 = width - x;
      w2 = pw - w1;
    }
    draw_keyed(frame, x, y, w1, pattern.height(), pattern, 0);
    if (w2 > 0) {
      draw_keyed(frame, 0, y, w2, pattern.height(), pattern, w1);
    }
  }

  const QImage& foreground = model.pic[kForeground];
  draw_keyed(frame, 0, 0, foreground.width(), foreground.height(), foreground, 0);
}

void draw_adjust_preview(ProjectModel& model) {
  if (!model.adjust_on || model.win_main.isNull()) {
    return;
  }
  ensure_rgb32(model.win_main);
  copy_opaque(model.win_main, model.pic[kBackground]);
  const QImage& pattern = model.pic[1];
  draw_keyed(model.win_main, model.adjust_x(), model.adjust_y(), pattern.width(), pattern.height(),
             pattern, 0);
}

QImage zoom_image(const QImage& frame, int scale) {
  if (frame.isNull() || scale < 1 || frame.width() > INT_MAX / scale ||
      frame.height() > INT_MAX / scale) {
    return {};
  }
  const QImage src = as_rgb32(frame);
  QImage zoomed(frame.width() * scale, frame.height() * scale, QImage::Format_RGB32);
  if (zoomed.isNull()) {
    return {};
  }
  const size_t row_bytes = static_cast<size_t>(zoomed.width()) * sizeof(QRgb);
  for (int y = 0; y < src.height(); ++y) {
    const auto* from = reinterpret_cast<const QRgb*>(src.constScanLine(y));
    auto* to = reinterpret_cast<QRgb*>(zoomed.scanLine(y * scale));
    for (int x = 0; x < src.width(); ++x) {
      std::fill_n(to + x * scale, scale, from[x] | 0xFF000000u);
    }
    for (int r = 1; r < scale; ++r) {
      std::memcpy(zoomed.scanLine(y * scale + r), to, row_bytes);
    }
  }
  return zoomed;
}

}  // namespace tamrisk
