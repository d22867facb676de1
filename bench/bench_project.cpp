#include "bench_project.h"

#include <QDir>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

#include "model/settings_file.h"
#include "platform/png_codec.h"

namespace tamrisk::bench {
namespace {

constexpr QRgb kKey = 0xFFFF00FF;  // magenta, outside the palette

// Palette entries by group: 64 sky, 32 hill, 32 ground, 32 stone, 32 sun,
// 64 figure (16 shirt, 16 trousers, 16 skin, 16 hat).
enum Group { kSky = 0, kHill = 64, kGround = 96, kStone = 128, kSun = 160, kFigure = 192 };

QRgb mix(QRgb a, QRgb b, int i, int steps) {
  const auto channel = [&](int ca, int cb) { return ca + (cb - ca) * i / (steps - 1); };
  return qRgb(channel(qRed(a), qRed(b)), channel(qGreen(a), qGreen(b)),
              channel(qBlue(a), qBlue(b)));
}

QRgb palette(int entry) {
  if (entry < kHill) {
    return mix(qRgb(40, 90, 190), qRgb(200, 228, 250), entry - kSky, 64);
  }
  if (entry < kGround) {
    return mix(qRgb(150, 205, 90), qRgb(30, 100, 35), entry - kHill, 32);
  }
  if (entry < kStone) {
    return mix(qRgb(200, 160, 100), qRgb(80, 52, 25), entry - kGround, 32);
  }
  if (entry < kSun) {
    return mix(qRgb(215, 215, 220), qRgb(60, 60, 66), entry - kStone, 32);
  }
  if (entry < kFigure) {
    return mix(qRgb(255, 252, 210), qRgb(250, 170, 60), entry - kSun, 32);
  }
  static const QRgb kEnds[4][2] = {{qRgb(240, 90, 80), qRgb(120, 20, 25)},
                                   {qRgb(90, 120, 230), qRgb(20, 30, 100)},
                                   {qRgb(252, 220, 190), qRgb(190, 130, 90)},
                                   {qRgb(200, 120, 230), qRgb(70, 20, 100)}};
  const int i = entry - kFigure;
  return mix(kEnds[i / 16][0], kEnds[i / 16][1], i % 16, 16);
}

std::uint32_t hash(std::uint32_t x, std::uint32_t y, std::uint32_t seed) {
  std::uint32_t h = x * 0x8DA6B343u ^ y * 0xD8163841u ^ seed * 0xCB1AB31Fu;
  h ^= h >> 15;
  h *= 0x2C1B3C6Du;
  h ^= h >> 12;
  h *= 0x297A2D39u;
  return h ^ (h >> 15);
}

// Smooth noise in 0..255 over a lattice of `scale` pixels.
int value_noise(int x, int y, int scale, std::uint32_t seed) {
  const int ix = x / scale, iy = y / scale;
  const int fx = x % scale, fy = y % scale;
  const auto at = [&](int i, int j) {
    return static_cast<int>(
        hash(static_cast<std::uint32_t>(ix + i), static_cast<std::uint32_t>(iy + j), seed) & 0xFF);
  };
  const int top = at(0, 0) * (scale - fx) + at(1, 0) * fx;
  const int bottom = at(0, 1) * (scale - fx) + at(1, 1) * fx;
  return (top * (scale - fy) + bottom * fy) / (scale * scale);
}

constexpr int kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

// Shade in 0..count-1 for a position `num / den` of the way along, dithered.
int dithered(qint64 num, qint64 den, int count, int x, int y) {
  const qint64 v = num * (count - 1) * 16 / std::max<qint64>(den, 1);
  const int shade = static_cast<int>(v / 16) + (v % 16 > kBayer[y & 3][x & 3] ? 1 : 0);
  return std::clamp(shade, 0, count - 1);
}

void set(QImage& image, int x, int y, QRgb colour) {
  if (x >= 0 && y >= 0 && x < image.width() && y < image.height()) {
    reinterpret_cast<QRgb*>(image.scanLine(y))[x] = colour;
  }
}

void disc(QImage& image, double cx, double cy, double r, int first, int count, std::uint32_t seed) {
  for (int y = static_cast<int>(cy - r); y <= static_cast<int>(cy + r) + 1; ++y) {
    for (int x = static_cast<int>(cx - r); x <= static_cast<int>(cx + r) + 1; ++x) {
      const double d = std::hypot(x - cx, y - cy);
      if (d <= r) {
        const int jitter = seed != 0 ? static_cast<int>(hash(static_cast<std::uint32_t>(x),
                                                             static_cast<std::uint32_t>(y), seed) %
                                                        5) -
                                           2
                                     : 0;
        const int shade = std::clamp(static_cast<int>(d * count / r) + jitter, 0, count - 1);
        set(image, x, y, palette(first + shade));
      }
    }
  }
}

void thick_line(QImage& image, double x0, double y0, double x1, double y1, double thickness,
                int first, int count) {
  const int steps = static_cast<int>(std::max(std::abs(x1 - x0), std::abs(y1 - y0))) + 1;
  const int t = std::max(1, static_cast<int>(thickness));
  for (int i = 0; i <= steps; ++i) {
    const double x = x0 + (x1 - x0) * i / steps;
    const double y = y0 + (y1 - y0) * i / steps;
    for (int dx = 0; dx < t; ++dx) {
      set(image, static_cast<int>(x) + dx - t / 2, static_cast<int>(y),
          palette(first + dx * (count - 1) / std::max(1, t - 1)));
    }
  }
}

// Channels of a and b mixed at t (0..1), rounded.
QRgb blend(QRgb a, QRgb b, double t) {
  const auto channel = [&](int ca, int cb) {
    return std::clamp(static_cast<int>(std::lround(ca + (cb - ca) * t)), 0, 255);
  };
  return qRgb(channel(qRed(a), qRed(b)), channel(qGreen(a), qGreen(b)),
              channel(qBlue(a), qBlue(b)));
}

// The RGB variant's sky: a vertical gradient, warmer towards the sun.
QRgb smooth_sky(int x, int y, int hill, int width, int height) {
  const QRgb base =
      blend(qRgb(40, 90, 190), qRgb(200, 228, 250), static_cast<double>(y) / std::max(hill, 1));
  const double dx = (x - width * 0.8) / width;
  const double dy = (y - height * 0.14) / height;
  const double glow = std::exp(-(dx * dx + dy * dy) * 12.0);
  return blend(base, qRgb(255, 236, 200), 0.6 * glow);
}

// The sun over the smooth sky, its edge anti-aliased.
void smooth_sun(QImage& image, double cx, double cy, double r) {
  for (int y = static_cast<int>(cy - r) - 1; y <= static_cast<int>(cy + r) + 1; ++y) {
    for (int x = static_cast<int>(cx - r) - 1; x <= static_cast<int>(cx + r) + 1; ++x) {
      if (x < 0 || y < 0 || x >= image.width() || y >= image.height()) {
        continue;
      }
      const double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
      const double cover = std::clamp(r - d + 0.5, 0.0, 1.0);
      if (cover > 0) {
        const QRgb sun = blend(qRgb(255, 252, 210), qRgb(250, 170, 60), d / r);
        QRgb& pixel = reinterpret_cast<QRgb*>(image.scanLine(y))[x];
        pixel = blend(pixel, sun, cover);
      }
    }
  }
}

double hill_line(int x, int width, int height) {
  const double u = 2 * std::numbers::pi * x / width;
  return height * (0.40 + 0.06 * std::sin(1.5 * u) + 0.03 * std::sin(4.3 * u + 1.0));
}

QImage background(int width, int height, BenchColours colours) {
  const bool smooth = colours == BenchColours::kRgb;
  QImage image(width, height, QImage::Format_RGB32);
  const int ground = height * 62 / 100;
  int flowers = 0;
  for (int y = 0; y < height; ++y) {
    auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < width; ++x) {
      const int hill = static_cast<int>(hill_line(x, width, height));
      int entry;
      if (y < hill && smooth) {
        row[x] = smooth_sky(x, y, hill, width, height);
        continue;
      }
      if (y < hill) {
        entry = kSky + dithered(y, std::max(hill, 1), 64, x, y);
      } else if (y < ground) {
        const int n = value_noise(x, y, 16, 1) / 32 - 4;
        entry = kHill + std::clamp(dithered(y - hill, ground - hill, 32, x, y) + n, 0, 31);
      } else {
        const int stone = value_noise(x, y, 24, 2);
        if (stone > 190) {
          entry = kStone + std::min(31, (stone - 190) * 32 / 48);
        } else if (hash(static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y), 3) % 211 ==
                   0) {
          entry = kFigure + flowers++ % 64;
        } else {
          const int n = value_noise(x, y, 8, 4) / 32 - 4;
          entry = kGround + std::clamp(dithered(y - ground, height - ground, 32, x, y) + n, 0, 31);
        }
      }
      row[x] = palette(entry);
    }
  }
  if (smooth) {
    smooth_sun(image, width * 0.8, height * 0.14, height * 0.08);
  } else {
    disc(image, width * 0.8, height * 0.14, height * 0.08, kSun, 32, 0);
  }
  return image;
}

// Step `step` (1..9) of a walking figure on magenta.
QImage pattern(int width, int height, int step, BenchColours colours) {
  const int pw = std::max(8, width / 5);
  const int ph = std::max(8, height / 3);
  QImage image(pw, ph, QImage::Format_RGB32);
  image.fill(kKey);
  const double swing = 0.55 * std::sin(2 * std::numbers::pi * step / 9);
  const double cx = pw / 2.0;
  const double hip = ph * 0.58;
  const double leg = ph * 0.38;
  const double limb = std::max(2.0, pw * 0.08);
  for (int side : {-1, 1}) {
    thick_line(image, cx, hip, cx + side * swing * leg, hip + leg * std::cos(swing), limb,
               kFigure + 16, 16);
  }
  for (int y = static_cast<int>(ph * 0.26); y < static_cast<int>(hip) + 2; ++y) {
    for (int x = static_cast<int>(pw * 0.32); x < static_cast<int>(pw * 0.68); ++x) {
      if (colours == BenchColours::kRgb) {
        // A shirt lit from the upper left: a colour of its own for each pixel.
        const double u = (x - pw * 0.32) / (pw * 0.36);
        const double v = (y - ph * 0.26) / (hip - ph * 0.26);
        set(image, x, y,
            blend(blend(qRgb(240, 90, 80), qRgb(120, 20, 25), u), qRgb(60, 0, 40), 0.5 * v));
      } else {
        set(image, x, y, palette(kFigure + dithered(x - pw * 32 / 100, pw * 36 / 100, 16, x, y)));
      }
    }
  }
  const double shoulder = ph * 0.30;
  for (int side : {-1, 1}) {
    thick_line(image, cx + side * pw * 0.2, shoulder,
               cx + side * pw * 0.2 - side * swing * leg * 0.6, shoulder + leg * 0.7, limb * 0.8,
               kFigure + 32, 16);
  }
  disc(image, cx, ph * 0.16, pw * 0.13, kFigure + 32, 16, 0);
  for (int y = static_cast<int>(ph * 0.02) + 1; y < static_cast<int>(ph * 0.08) + 1; ++y) {
    for (int x = static_cast<int>(pw * 0.34); x < static_cast<int>(pw * 0.66); ++x) {
      set(image, x, y, palette(kFigure + 48 + (x + y + step) % 16));
    }
  }
  return image;
}

QImage foreground(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(kKey);
  // Grass blades along the bottom edge.
  for (int x = 1; x < width; x += 3) {
    const auto h = static_cast<std::uint32_t>(hash(static_cast<std::uint32_t>(x), 0, 5));
    const int tall =
        height * 3 / 100 +
        static_cast<int>(h % static_cast<std::uint32_t>(std::max(1, height * 6 / 100)));
    for (int y = height - tall; y < height; ++y) {
      set(image, x, y, palette(kHill + static_cast<int>((h >> 8) % 12) + (height - y) * 8 / tall));
    }
  }
  // A post.
  const int post_x = width * 3 / 10;
  const int post_w = std::max(4, width / 64);
  for (int y = height * 55 / 100; y < height; ++y) {
    for (int x = post_x; x < post_x + post_w; ++x) {
      set(image, x, y, palette(kGround + 10 + dithered(x - post_x, post_w, 20, x, y)));
    }
  }
  // A tree on the right.
  const int trunk_x = width * 9 / 10;
  for (int y = height * 30 / 100; y < height * 70 / 100; ++y) {
    for (int x = trunk_x - post_w; x < trunk_x + post_w; ++x) {
      set(image, x, y,
          palette(kGround + 16 + dithered(x - trunk_x + post_w, 2 * post_w, 16, x, y)));
    }
  }
  disc(image, trunk_x, height * 0.28, height * 0.13, kHill, 32, 6);
  return image;
}

}  // namespace

BenchLayers make_layers(int width, int height, BenchColours colours) {
  BenchLayers layers;
  layers.pic[kBackground] = background(width, height, colours);
  for (int i = 1; i < kForeground; ++i) {
    layers.pic[static_cast<size_t>(i)] = pattern(width, height, i, colours);
  }
  layers.pic[kForeground] = foreground(width, height);
  return layers;
}

QString bench_sequence() {
  QString text;
  for (int k = 0; k < kFrameCount; ++k) {
    text += QChar(u'1' + k % 9);
  }
  return text;
}

int bench_sc_bar(int width) {
  return std::clamp((width + kFrameCount / 2) / kFrameCount, 1, kScBarMax);
}

int bench_adjust_y(int height) {
  return height * 62 / 100 - height / 3 + height / 40;
}

std::int16_t bench_frame_dy(int k) {
  return static_cast<std::int16_t>(k == 0 ? 0 : (k % 2 == 0 ? -1 : 1));
}

void load_bench_project(ProjectModel& model, const BenchLayers& layers) {
  model.pic = layers.pic;
  model.bg_from_file = true;
  model.fit_frame_canvas();
  model.set_background_ranges();
  model.set_adjust_x(0);
  model.set_adjust_y(bench_adjust_y(model.pic[kBackground].height()));
  model.set_sc_bar(bench_sc_bar(model.pic[kBackground].width()));
  model.set_pattern_anime(bench_sequence());
  for (int k = 0; k < kMaxFrames; ++k) {
    model.frame_dx[static_cast<size_t>(k)] = 0;
    model.frame_dy[static_cast<size_t>(k)] = bench_frame_dy(k);
  }
  model.png_output = true;
}

bool write_bench_project(const QString& folder, int width, int height, QString* error,
                         BenchColours colours) {
  const BenchLayers layers = make_layers(width, height, colours);
  ProjectModel model;
  load_bench_project(model, layers);
  const QDir dir(folder);
  for (int i = 0; i < kLayerCount; ++i) {
    const QString name = i == kBackground   ? QStringLiteral("bg.png")
                         : i == kForeground ? QStringLiteral("fg.png")
                                            : QStringLiteral("pat%1.png").arg(i);
    const QImage& picture = layers.pic[static_cast<size_t>(i)];
    if (!write_png(picture, picture.width(), picture.height(), dir.filePath(name), error)) {
      return false;
    }
    model.layer_path[static_cast<size_t>(i)] = name;
  }
  model.output_drive = QStringLiteral("/");
  model.output_dir = QStringLiteral(".");
  model.basename = QStringLiteral("bench");
  model.path_ref = QStringLiteral(".");
  model.bg_width = static_cast<std::int16_t>(std::min(width * kTwipsPerPixel, 32767));
  model.bg_height = static_cast<std::int16_t>(std::min(height * kTwipsPerPixel, 32767));
  return save_settings(model, dir.filePath(QStringLiteral("bench.pst")), error);
}

}  // namespace tamrisk::bench
