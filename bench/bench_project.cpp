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

// ------------------------------------------------------------------ kinds

// Six small sprites over a brick wall: the sky, the bricks, the grass and the
// stones take 40, 64, 48 and 48 colours, 200 in all.
QRgb wall_palette(int entry) {
  if (entry < 40) {
    return mix(qRgb(70, 110, 200), qRgb(190, 215, 245), entry, 40);
  }
  if (entry < 104) {
    static const QRgb kEnds[4][2] = {{qRgb(190, 80, 60), qRgb(90, 30, 20)},
                                     {qRgb(204, 122, 82), qRgb(102, 52, 31)},
                                     {qRgb(172, 92, 94), qRgb(72, 31, 37)},
                                     {qRgb(212, 152, 102), qRgb(113, 71, 42)}};
    const int i = entry - 40;
    return mix(kEnds[i / 16][0], kEnds[i / 16][1], i % 16, 16);
  }
  if (entry < 152) {
    return mix(qRgb(160, 210, 90), qRgb(30, 90, 30), entry - 104, 48);
  }
  return mix(qRgb(221, 222, 215), qRgb(51, 50, 55), entry - 152, 48);
}

QImage wall_background(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  const int wall = height / 4;
  const int ground = height * 7 / 10;
  const int brick_w = std::max(6, width / 20);
  const int brick_h = std::max(3, height / 40);
  for (int y = 0; y < height; ++y) {
    auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < width; ++x) {
      int entry;
      if (y < wall) {
        const int cloud = value_noise(x, y, 24, 21);
        const int shade = dithered(y, wall, 40, x, y) + (cloud > 150 ? (cloud - 150) / 6 : 0);
        entry = std::clamp(shade, 0, 39);
      } else if (y < ground) {
        const int course = (y - wall) / brick_h;
        const int bx = x + (course % 2) * brick_w / 2;
        const bool mortar = (y - wall) % brick_h == 0 || bx % brick_w == 0;
        const auto brick =
            hash(static_cast<std::uint32_t>(bx / brick_w), static_cast<std::uint32_t>(course), 22);
        if (mortar) {
          entry = 152 + 8 + value_noise(x, y, 3, 23) / 16;
        } else {
          const int shade = static_cast<int>(brick % 6) + value_noise(x, y, 3, 24) / 26;
          entry = 40 + static_cast<int>((brick >> 8) % 4) * 16 + std::clamp(shade, 0, 15);
        }
      } else {
        const int stone = value_noise(x, y, 20, 25);
        if (stone > 200) {
          entry = 152 + std::min(47, (stone - 200) * 48 / 56);
        } else {
          const int n = value_noise(x, y, 3, 26) / 24 - 5;
          entry = 104 + std::clamp(dithered(y - ground, height - ground, 48, x, y) + n, 0, 47);
        }
      }
      row[x] = wall_palette(entry);
    }
  }
  return image;
}

// Step `step` (1..9) of six small round sprites, each circling a place of
// its own; steps 7..9 shade them smoothly, a colour of their own for almost
// every pixel, the others in eight flat shades a sprite.
QImage sprite_swarm(int width, int height, int step) {
  static const QRgb kEnds[6][2] = {
      {qRgb(255, 236, 64), qRgb(150, 110, 0)},  {qRgb(255, 120, 200), qRgb(120, 20, 80)},
      {qRgb(120, 255, 240), qRgb(0, 100, 110)}, {qRgb(250, 250, 250), qRgb(110, 110, 140)},
      {qRgb(255, 150, 40), qRgb(130, 50, 0)},   {qRgb(180, 130, 255), qRgb(60, 20, 130)}};
  const int pw = std::max(8, width * 3 / 4);
  const int ph = std::max(8, height * 6 / 10);
  QImage image(pw, ph, QImage::Format_RGB32);
  image.fill(kKey);
  const double r = std::max(2.0, height / 40.0);
  const double phase = 2 * std::numbers::pi * step / 9;
  const bool smooth = step >= 7;
  for (int j = 0; j < 6; ++j) {
    const double cx = pw * (j + 0.5) / 6 + pw / 14.0 * std::cos(phase + j * 1.1);
    const double cy = ph * (0.5 + 0.3 * std::sin(j * 2.3)) + ph * 0.12 * std::sin(2 * phase + j);
    for (int y = static_cast<int>(cy - r) - 1; y <= static_cast<int>(cy + r) + 1; ++y) {
      for (int x = static_cast<int>(cx - r) - 1; x <= static_cast<int>(cx + r) + 1; ++x) {
        const double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
        if (d > r) {
          continue;
        }
        const double t = smooth ? d / r : std::min(7, static_cast<int>(d * 8 / r)) / 7.0;
        QRgb colour = blend(kEnds[j][0], kEnds[j][1], t);
        const bool eye = std::abs(y + 0.5 - (cy - r * 0.2)) < r * 0.15 &&
                         std::abs(std::abs(x + 0.5 - cx) - r * 0.35) < r * 0.15;
        if (eye) {
          colour = qRgb(20, 20, 30);
        }
        set(image, x, y, colour);
      }
    }
  }
  return image;
}

// A bar of stones along the top with a row of light markers.
QImage status_bar(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(kKey);
  const int bar = std::max(2, height / 24);
  for (int y = 0; y < bar; ++y) {
    for (int x = 0; x < width; ++x) {
      set(image, x, y, wall_palette(152 + 30 + dithered(y, bar, 16, x, y)));
    }
  }
  for (int i = 0; i < 5; ++i) {
    const int x0 = width - (i + 1) * bar * 2;
    for (int y = bar / 4; y < bar - bar / 4; ++y) {
      for (int x = x0; x < x0 + bar; ++x) {
        set(image, x, y, wall_palette(152 + i));
      }
    }
  }
  // The top-left pixel is the key.
  set(image, 0, 0, kKey);
  return image;
}

// Step `step` (5..9) of a shaded picture card: a smooth field of colour with
// a fine grain, thousands of colours, its corners rounded off to the key.
QImage photo_card(int width, int height, int step) {
  const int pw = std::max(8, width * 35 / 100);
  const int ph = std::max(8, height * 40 / 100);
  QImage image(pw, ph, QImage::Format_RGB32);
  image.fill(kKey);
  const double corner = std::max(2.0, pw / 16.0);
  const double phase = 2 * std::numbers::pi * step / 5;
  for (int y = 0; y < ph; ++y) {
    for (int x = 0; x < pw; ++x) {
      const double dx = std::max({corner - x, x - (pw - 1 - corner), 0.0});
      const double dy = std::max({corner - y, y - (ph - 1 - corner), 0.0});
      if (std::hypot(dx, dy) > corner) {
        continue;
      }
      const double u = static_cast<double>(x) / pw;
      const double v = static_cast<double>(y) / ph;
      const int grain =
          static_cast<int>(hash(static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y),
                                static_cast<std::uint32_t>(30 + step)) %
                           9) -
          4;
      const auto channel = [&](double value) {
        return std::clamp(static_cast<int>(value) + grain, 0, 255);
      };
      const QRgb colour = qRgb(channel(128 + 100 * std::sin(3 * u + phase)),
                               channel(128 + 90 * std::sin(4 * v + 2 * u + phase)),
                               channel(128 + 110 * std::cos(2 * u - 3 * v + phase)));
      set(image, x, y, colour == kKey ? qRgb(255, 1, 255) : colour);
    }
  }
  return image;
}

QRgb gradient_at(int x, int y, int width, int height) {
  const double u = static_cast<double>(x) / std::max(1, width - 1);
  const double v = static_cast<double>(y) / std::max(1, height - 1);
  return blend(blend(qRgb(30, 40, 110), qRgb(150, 60, 140), u),
               blend(qRgb(240, 170, 90), qRgb(60, 170, 160), u), v);
}

QImage gradient_background(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y) {
    auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < width; ++x) {
      row[x] = gradient_at(x, y, width, height);
    }
  }
  return image;
}

int ball_size(int height) {
  return std::max(6, height / 4);
}

// Step `step` (1..9) of a lit ball with a band that turns with the steps,
// its edge anti-aliased (4 x 4 samples a pixel) against the gradient's colour
// in the middle of its path.
QImage ball(int width, int height, int step, int top) {
  const int size = ball_size(height);
  QImage image(size, size, QImage::Format_RGB32);
  image.fill(kKey);
  const double r = size / 2.0 - 1;
  const double c = size / 2.0;
  const double turn = 2 * std::numbers::pi * step / 9;
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      int inside = 0;
      for (int sy = 0; sy < 4; ++sy) {
        for (int sx = 0; sx < 4; ++sx) {
          inside += std::hypot(x + (sx + 0.5) / 4 - c, y + (sy + 0.5) / 4 - c) <= r ? 1 : 0;
        }
      }
      if (inside == 0) {
        continue;
      }
      const double nx = (x + 0.5 - c) / r;
      const double ny = (y + 0.5 - c) / r;
      const double nz = std::sqrt(std::max(0.0, 1 - nx * nx - ny * ny));
      const double light = std::clamp(-0.5 * nx - 0.6 * ny + 0.62 * nz, 0.0, 1.0);
      const bool band = std::sin(3 * std::atan2(ny, nx) + turn) > 0.3;
      const QRgb base = band ? qRgb(250, 245, 235) : qRgb(225, 50, 45);
      QRgb colour = blend(blend(qRgb(40, 10, 20), base, 0.25 + 0.75 * light), qRgb(255, 255, 255),
                          std::pow(light, 12));
      const QRgb under = gradient_at(width / 2 + x, top + y, width, height);
      colour = blend(under, colour, inside / 16.0);
      set(image, x, y, colour == kKey ? qRgb(255, 1, 255) : colour);
    }
  }
  return image;
}

// The 16 colours of the pixel-art kinds.
constexpr QRgb kPixelPalette[16] = {
    qRgb(0, 0, 0),      qRgb(29, 43, 83),    qRgb(126, 37, 83),   qRgb(0, 135, 81),
    qRgb(171, 82, 54),  qRgb(95, 87, 79),    qRgb(194, 195, 199), qRgb(255, 241, 232),
    qRgb(255, 0, 77),   qRgb(255, 163, 0),   qRgb(255, 236, 39),  qRgb(0, 228, 54),
    qRgb(41, 173, 255), qRgb(131, 118, 156), qRgb(255, 119, 168), qRgb(255, 204, 170)};

QRgb pixel_colour(char c) {
  if (c >= '0' && c <= '9') {
    return kPixelPalette[c - '0'];
  }
  if (c >= 'a' && c <= 'f') {
    return kPixelPalette[10 + c - 'a'];
  }
  return kKey;
}

// A scene of the 16 colours: sky with a cloud and the sun, a hill, a strip of
// grass over speckled earth with a row of bricks.
QImage pixel_background(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  const int ground = height * 3 / 4;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const auto h = hash(static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y), 40);
      char c = 'c';
      const double hill = ground - height * 0.18 * std::max(0.0, std::sin((x + 3.0) / width * 5));
      if (y >= ground + 1) {
        c = h % 7 == 0 ? '5' : (h % 11 == 0 ? '9' : '4');
        const int brick = std::max(2, height / 16);
        if (height >= 32 && y >= ground + 3 * brick && y < ground + 5 * brick) {
          const int course = (y - ground) / brick;
          const bool mortar = (y - ground) % brick == 0 || (x + course * brick) % (2 * brick) == 0;
          c = mortar ? '6' : '8';
        }
      } else if (y >= ground) {
        c = 'b';
      } else if (y >= hill) {
        c = '3';
      } else if (std::hypot(x - width * 0.8, y - height * 0.15) < height * 0.09) {
        c = 'a';
      } else if (std::hypot((x - width * 0.3) / 2.2, y - height * 0.2) < height * 0.07) {
        c = '7';
      }
      reinterpret_cast<QRgb*>(image.scanLine(y))[x] = pixel_colour(c);
    }
  }
  return image;
}

// Step `step` (1..4) of a walking figure: 8 x 10 pixels for 64 x 64 frames,
// 4 x 6 for smaller ones, on a canvas one pixel larger each way whose
// top-left pixel is the key.
QImage pixel_figure(int height, int step) {
  static const char* const kBig[8] = {"..8888..", ".888888.", "..ffff..", "..f0f0..",
                                      "..ffff..", ".cccccc.", "f.1111.f", "..1111.."};
  static const char* const kBigLegs[4][2] = {{"..4..4..", "..4..4.."},
                                             {".4....4.", "4......4"},
                                             {"..4.4...", "..4.4..."},
                                             {"...44...", "...44..."}};
  static const char* const kSmall[4] = {".88.", ".ff.", "1cc1", ".11."};
  static const char* const kSmallLegs[4][2] = {
      {"4..4", "4..4"}, {".44.", "4..4"}, {".4.4", ".4.4"}, {".44.", ".44."}};
  const bool big = height >= 32;
  const int w = big ? 8 : 4;
  const int rows = big ? 8 : 4;
  QImage image(w + 1, rows + 3, QImage::Format_RGB32);
  image.fill(kKey);
  const auto leg = (step - 1) % 4;
  for (int y = 0; y < rows + 2; ++y) {
    const char* line = y < rows ? (big ? kBig[y] : kSmall[y])
                                : (big ? kBigLegs[leg][y - rows] : kSmallLegs[leg][y - rows]);
    for (int x = 0; x < w; ++x) {
      set(image, x + 1, y + 1, pixel_colour(line[x]));
    }
  }
  return image;
}

// A bush and a post in front.
QImage pixel_foreground(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(kKey);
  const int ground = height * 3 / 4;
  const double r = std::max(1.5, height / 12.0);
  for (int y = 0; y < height; ++y) {
    for (int x = 1; x < width; ++x) {
      if (std::hypot(x - width * 0.62, y - ground) <= r && y < ground) {
        set(image, x, y, pixel_colour((x + y) % 3 == 0 ? 'b' : '3'));
      }
      if (x == width / 5 && y >= ground - height / 6 && y < ground) {
        set(image, x, y, pixel_colour('4'));
      }
    }
  }
  return image;
}

// The meadow of thousands of colours at its size, its ground given a grain.
QImage textured_background(int width, int height) {
  QImage image = background(width, height, BenchColours::kRgb);
  for (int y = 0; y < height; ++y) {
    auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < width; ++x) {
      if (y < static_cast<int>(hill_line(x, width, height))) {
        continue;
      }
      const double f = 0.82 + 0.36 * value_noise(x, y, 3, 50) / 255.0;
      const int jitter =
          static_cast<int>(hash(static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y), 51) %
                           7) -
          3;
      const auto channel = [&](int v) {
        return std::clamp(static_cast<int>(v * f) + jitter, 0, 255);
      };
      row[x] = qRgb(channel(qRed(row[x])), channel(qGreen(row[x])), channel(qBlue(row[x])));
    }
  }
  return image;
}

// The meadow's frame settings for a background of that size.
void meadow_settings(BenchScene& scene, int width, int height) {
  scene.sequence = bench_sequence();
  scene.sc_bar = bench_sc_bar(width);
  scene.adjust_y = bench_adjust_y(height);
  for (int k = 0; k < kFrameCount; ++k) {
    scene.frame_dy[static_cast<size_t>(k)] = bench_frame_dy(k);
  }
}

BenchScene meadow_scene(int width, int height, BenchColours colours) {
  BenchScene scene;
  scene.layers = make_layers(width, height, colours);
  meadow_settings(scene, width, height);
  return scene;
}

void apply_scene(ProjectModel& model, const BenchScene& scene) {
  model.pic = scene.layers.pic;
  model.bg_from_file = true;
  model.fit_frame_canvas();
  model.set_background_ranges();
  model.set_adjust_x(scene.adjust_x);
  model.set_adjust_y(scene.adjust_y);
  model.set_sc_bar(scene.sc_bar);
  model.set_pattern_anime(scene.sequence);
  for (int k = 0; k < kMaxFrames; ++k) {
    model.frame_dx[static_cast<size_t>(k)] = scene.frame_dx[static_cast<size_t>(k)];
    model.frame_dy[static_cast<size_t>(k)] = scene.frame_dy[static_cast<size_t>(k)];
  }
  model.png_output = true;
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
  BenchScene scene;
  scene.layers = layers;
  meadow_settings(scene, layers.pic[kBackground].width(), layers.pic[kBackground].height());
  apply_scene(model, scene);
}

bool write_bench_project(const QString& folder, int width, int height, QString* error,
                         BenchColours colours) {
  return write_bench_scene(folder, meadow_scene(width, height, colours), error);
}

QStringList bench_kind_names() {
  return {QStringLiteral("meadow"),   QStringLiteral("sprites"), QStringLiteral("switch"),
          QStringLiteral("gradient"), QStringLiteral("pixel64"), QStringLiteral("pixel16"),
          QStringLiteral("hd")};
}

bool parse_bench_kind(const QString& name, BenchKind* kind) {
  const qsizetype i = bench_kind_names().indexOf(name);
  if (i < 0) {
    return false;
  }
  *kind = static_cast<BenchKind>(i);
  return true;
}

QSize bench_kind_size(BenchKind kind) {
  switch (kind) {
    case BenchKind::kPixel64:
      return {64, 64};
    case BenchKind::kPixel16:
      return {16, 16};
    case BenchKind::kHd:
      return {1920, 1080};
    default:
      return {640, 480};
  }
}

BenchScene make_scene(BenchKind kind, int width, int height, BenchColours colours) {
  if (kind == BenchKind::kMeadow) {
    return meadow_scene(width, height, colours);
  }
  if (kind == BenchKind::kHd) {
    BenchScene scene = meadow_scene(width, height, BenchColours::kRgb);
    scene.layers.pic[kBackground] = textured_background(width, height);
    return scene;
  }
  BenchScene scene;
  auto& pic = scene.layers.pic;
  const auto at = [](int k) { return static_cast<size_t>(k); };
  switch (kind) {
    case BenchKind::kSprites:
      pic[kBackground] = wall_background(width, height);
      for (int i = 1; i < kForeground; ++i) {
        pic[at(i)] = sprite_swarm(width, height, i);
      }
      pic[kForeground] = status_bar(width, height);
      scene.sequence = bench_sequence();
      scene.sc_bar = std::max(1, width / 320);
      scene.adjust_x = width / 8;
      scene.adjust_y = height / 5;
      for (int k = 0; k < kFrameCount; ++k) {
        scene.frame_dy[at(k)] = bench_frame_dy(k);
      }
      break;
    case BenchKind::kSwitch: {
      // Ten frames of the walking figure, then ten of the card, and so on.
      pic[kBackground] = background(width, height, BenchColours::kPalette);
      for (int i = 1; i <= 4; ++i) {
        pic[at(i)] = pattern(width, height, 2 * i - 1, BenchColours::kPalette);
      }
      for (int i = 5; i < kForeground; ++i) {
        pic[at(i)] = photo_card(width, height, i);
      }
      pic[kForeground] = foreground(width, height);
      for (int k = 0; k < kFrameCount; ++k) {
        scene.sequence += QChar(u'0' + ((k / 10) % 2 == 0 ? 1 + k % 4 : 5 + k % 5));
      }
      scene.sc_bar = bench_sc_bar(width);
      scene.adjust_y = bench_adjust_y(height);
      break;
    }
    case BenchKind::kGradient: {
      // The ball bounces: its height follows |sin| over 15 frames a bounce.
      const int size = ball_size(height);
      const int floor = height * 85 / 100 - size;
      const double lift = height * 0.45;
      const auto top = [&](int k) {
        return floor -
               static_cast<int>(std::lround(lift * std::abs(std::sin(k * std::numbers::pi / 15))));
      };
      pic[kBackground] = gradient_background(width, height);
      for (int i = 1; i < kForeground; ++i) {
        pic[at(i)] = ball(width, height, i, floor - static_cast<int>(lift / 2));
      }
      pic[kForeground] = QImage(width, height, QImage::Format_RGB32);
      pic[kForeground].fill(kKey);
      scene.sequence = bench_sequence();
      scene.sc_bar = std::clamp(width / 128, 1, kScBarMax);
      scene.adjust_y = floor;
      for (int k = 1; k < kFrameCount; ++k) {
        scene.frame_dy[at(k)] = static_cast<std::int16_t>(top(k) - top(k - 1));
      }
      break;
    }
    default: {
      // Pixel art: four steps of walking, one pixel a frame, two jumps.
      pic[kBackground] = pixel_background(width, height);
      for (int i = 1; i < kForeground; ++i) {
        pic[at(i)] = pixel_figure(height, i);
      }
      pic[kForeground] = pixel_foreground(width, height);
      for (int k = 0; k < kFrameCount; ++k) {
        scene.sequence += QChar(u'1' + k % 4);
      }
      scene.sc_bar = 1;
      scene.adjust_y = height * 3 / 4 - pic[1].height() + 1;
      static const std::int16_t kJump[8] = {-2, -2, -1, -1, 1, 1, 2, 2};
      for (int start : {20, 60}) {
        for (int j = 0; j < 8; ++j) {
          scene.frame_dy[at(start + j)] =
              static_cast<std::int16_t>(height >= 32 ? kJump[j] : (j < 4 ? -(j % 2) : j % 2));
        }
      }
      break;
    }
  }
  return scene;
}

bool write_bench_scene(const QString& folder, const BenchScene& scene, QString* error) {
  const BenchLayers& layers = scene.layers;
  const int width = layers.pic[kBackground].width();
  const int height = layers.pic[kBackground].height();
  ProjectModel model;
  apply_scene(model, scene);
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
