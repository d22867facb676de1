#include "render/compose.h"

#include <QString>
#include <algorithm>
#include <climits>
#include <cstring>

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

// SRCCOPY of the whole of src to dest at (0, 0).
void copy_opaque(QImage& dest, const QImage& src) {
  const int width = std::min(dest.width(), src.width());
  const int height = std::min(dest.height(), src.height());
  if (width <= 0 || height <= 0) {
    return;
  }
  const QImage s = as_rgb32(src);
  for (int y = 0; y < height; ++y) {
    const auto* from = reinterpret_cast<const QRgb*>(s.constScanLine(y));
    auto* to = reinterpret_cast<QRgb*>(dest.scanLine(y));
    for (int x = 0; x < width; ++x) {
      to[x] = from[x] | 0xFF000000u;
    }
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
  const QRgb key_rgb = colour_to_qrgb(key) & 0x00FFFFFFu;
  for (qint64 j = rows.begin; j < rows.end; ++j) {
    const auto* from = reinterpret_cast<const QRgb*>(s.constScanLine(static_cast<int>(src_y + j)));
    auto* to = reinterpret_cast<QRgb*>(dest.scanLine(static_cast<int>(y + j)));
    for (qint64 i = cols.begin; i < cols.end; ++i) {
      const QRgb p = from[src_x + i];
      if ((p & 0x00FFFFFFu) != key_rgb) {
        to[x + i] = p | 0xFF000000u;
      }
    }
  }
}

void compose_frame(ProjectModel& model, bool show_offsets) {
  const int k = model.cur_frame;
  const int entry = sequence_entry(model.pattern_anime(), k);
  ProjectModel::Offset sum{0, 0};
  if (k >= 0) {
    sum = model.cumulative_offset(std::min(k, kMaxFrames - 1));
  }
  if (show_offsets) {
    const bool in_table = k >= 0 && k < kMaxFrames;
    model.total_adjust_x = QString::number(sum.x);
    model.total_adjust_y = QString::number(-int{sum.y});
    model.this_adjust_x =
        QString::number(in_table ? int{model.frame_dx[static_cast<size_t>(k)]} : 0);
    model.this_adjust_y =
        QString::number(in_table ? -int{model.frame_dy[static_cast<size_t>(k)]} : 0);
  }

  QImage& frame = model.win_main;
  if (frame.isNull()) {
    return;
  }
  ensure_rgb32(frame);
  frame.fill(colour_to_qrgb(kWindowColour));
  const int width = frame.width();

  // Positions are 16-bit values; the wrap keeps x within 0..W-1 for any
  // t >= -5W and lets it go negative below that.
  const auto t = static_cast<std::int16_t>(model.sc_bar() * k + model.adjust_x() + sum.x);
  const int x = (5 * width + t) % width;
  const auto y = static_cast<std::int16_t>(model.adjust_y() + sum.y);

  copy_opaque(frame, model.pic[kBackground]);

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

QImage zoom_image(const QImage& frame) {
  constexpr int kScale = 4;
  if (frame.isNull() || frame.width() > INT_MAX / kScale || frame.height() > INT_MAX / kScale) {
    return {};
  }
  const QImage src = as_rgb32(frame);
  QImage zoomed(frame.width() * kScale, frame.height() * kScale, QImage::Format_RGB32);
  if (zoomed.isNull()) {
    return {};
  }
  const size_t row_bytes = static_cast<size_t>(zoomed.width()) * sizeof(QRgb);
  for (int y = 0; y < src.height(); ++y) {
    const auto* from = reinterpret_cast<const QRgb*>(src.constScanLine(y));
    auto* to = reinterpret_cast<QRgb*>(zoomed.scanLine(y * kScale));
    for (int x = 0; x < src.width(); ++x) {
      std::fill_n(to + x * kScale, kScale, from[x] | 0xFF000000u);
    }
    for (int r = 1; r < kScale; ++r) {
      std::memcpy(zoomed.scanLine(y * kScale + r), to, row_bytes);
    }
  }
  return zoomed;
}

}  // namespace tamrisk
