#pragma once

#include <QImage>
#include <QString>
#include <array>
#include <cstdint>

#include "anim/animation_timing.h"

namespace tamrisk {

inline constexpr int kLayerCount = 11;  // 0 background, 1-9 patterns, 10 foreground
inline constexpr int kBackground = 0;
inline constexpr int kForeground = 10;
inline constexpr int kMaxFrames = 91;  // per-frame tables hold this many entries
inline constexpr int kTwipsPerPixel = 15;
inline constexpr int kAdjustXMin = -60;
inline constexpr int kScBarMin = -15;
inline constexpr int kScBarMax = 15;

// Colours are 0x00BBGGRR, as stored in settings files.
using Colour = std::uint32_t;

// The colour of a canvas that holds no picture (a light window grey).
inline constexpr Colour kWindowColour = 0xF0F0F0;

// Conversions at the Qt boundary: 0x00BBGGRR to an opaque QRgb and back.
inline QRgb colour_to_qrgb(Colour c) {
  return qRgb(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
              static_cast<int>((c >> 16) & 0xFF));
}
inline Colour qrgb_to_colour(QRgb p) {
  return static_cast<Colour>(qRed(p)) | static_cast<Colour>(qGreen(p)) << 8 |
         static_cast<Colour>(qBlue(p)) << 16;
}

// A range of allowed values, both ends included.
struct Range {
  int min;
  int max;
  int Clamp(int v) const { return v < min ? min : (v > max ? max : v); }
};

// The editor's whole working state. Plain values are public fields that the
// windows bind to; values with rules of their own go through setters.
class ProjectModel {
 public:
  // Start-up defaults; program_folder is the default output and image folder.
  explicit ProjectModel(const QString& program_folder = QString());

  // "背景", "パターン１" .. "パターン９", "前景", in the user's language.
  static QString layer_name(int layer);
  // The initial canvas of a layer without a picture: 350 x 70 for background
  // and foreground, 60 x 60 for patterns, filled with the window colour.
  static QImage empty_canvas(int layer);
  static QSize initial_canvas_size(int layer);
  // Twips to whole pixels, rounded to the nearest.
  static int twips_to_pixels(int twips);
  // The drive selector's value for a folder: "c:" style on Windows, the root
  // of the volume holding the folder elsewhere ("/" when none is known).
  static QString drive_of(const QString& folder);

  // Empties a layer: no path, the initial canvas.
  void clear_layer(int layer);

  // Layers: the path last assigned and the picture (Format_RGB32).
  std::array<QString, kLayerCount> layer_path;
  std::array<QImage, kLayerCount> pic;

  // Background source.
  bool bg_from_file = true;
  Colour bg_colour = 0xFFFFFF;
  std::int16_t bg_width = 80;   // twips
  std::int16_t bg_height = 50;  // twips
  // Makes the background layer a plain canvas of bg_width x bg_height twips
  // (at least one pixel each way) filled with bg_colour. The frame canvas is
  // left alone; call fit_frame_canvas after.
  void set_plain_background();

  // Global placement, kept within its ranges (a value left outside a new
  // range is clamped into it).
  int adjust_x() const { return adjust_x_; }
  int adjust_y() const { return adjust_y_; }
  void set_adjust_x(int v);
  void set_adjust_y(int v);
  Range adjust_x_range() const { return adjust_x_range_; }
  Range adjust_y_range() const { return adjust_y_range_; }
  // After a background picture is set: x up to the background width, y within
  // plus and minus the background height (pixels).
  void set_background_ranges();
  // Sets both ranges, clamping the placement into them.
  void set_adjust_ranges(Range x, Range y);

  // Frame sequence: one digit per frame, at most kMaxFrames characters;
  // a longer text is cut (never inside a surrogate pair).
  const QString& pattern_anime() const { return pattern_anime_; }
  void set_pattern_anime(const QString& text);
  int frame_count() const { return static_cast<int>(pattern_anime_.size()); }

  // Per-frame fine offsets (y positive downwards) and their running sums.
  std::array<std::int16_t, kMaxFrames> frame_dx{};
  std::array<std::int16_t, kMaxFrames> frame_dy{};
  struct Offset {
    std::int16_t x;
    std::int16_t y;
  };
  // Sums of frame_dx and frame_dy over frames 0..k inclusive, wrapping round
  // as 16-bit values do; k is limited to the table (k < 0 sums nothing).
  Offset cumulative_offset(int k) const;
  // Frame k's own offset; (0, 0) outside the table.
  Offset frame_offset(int k) const;
  void reset_frame_offsets();

  // Timing of every animation: the frame rate, the loop count, and how many
  // frame periods each frame stays (AnimationTiming's ranges; 1 by default).
  AnimationTiming timing;
  std::array<std::uint8_t, kMaxFrames> frame_hold;
  // Frame k's hold; 1 outside the table.
  int hold(int k) const {
    return k >= 0 && k < kMaxFrames ? frame_hold[static_cast<std::size_t>(k)] : 1;
  }
  // The frame periods of the first n frames, holds included.
  int periods_of(int n) const;
  void reset_frame_holds() { frame_hold.fill(1); }
  // How many times larger every animation shows each pixel (1 to
  // kMaxExportScale, nearest neighbour); the frame files keep the pictures'
  // size.
  static constexpr int kMaxExportScale = 8;
  int export_scale = 1;

  // Pattern advance per frame, -15..15.
  int sc_bar() const { return sc_bar_; }
  void set_sc_bar(int v);

  // Output settings.
  bool png_output = false;
  QString output_drive;  // volume root path ("/" on Linux, "c:" style on Windows)
  QString output_dir;    // full path of the output folder
  QString basename = QStringLiteral("sample");
  QString path_ref;  // folder the image picker opens
  // Sets output_dir to the folder and output_drive to its drive.
  void set_output_folder(const QString& folder);

  // Editing modes and cursors.
  bool adjust_on = false;
  bool fine_on = false;
  bool zoom_on = false;
  bool anime_on = false;
  int fine_pos = 0;
  std::int16_t cur_frame = 0;
  int pst_mode = 0;  // 1 load, 2 save
  QString file_path;

  // The frame canvas, always the size of the background layer.
  QImage win_main;
  // Gives win_main the background's size and clears it.
  void fit_frame_canvas();

  QString program_folder() const { return program_folder_; }

 private:
  int adjust_x_ = 0;
  int adjust_y_ = 0;
  Range adjust_x_range_{kAdjustXMin, 100};
  Range adjust_y_range_{-100, 100};
  QString pattern_anime_;
  int sc_bar_ = 0;
  QString program_folder_;
};

}  // namespace tamrisk
