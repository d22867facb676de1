#pragma once

#include <QImage>
#include <QString>
#include <array>
#include <cstdint>

#include "model/project_model.h"

namespace tamrisk {

// The project's contents that edits change, as one value: what a settings
// file keeps except the output and image folders, which follow the folder
// lists rather than edits. Copies are cheap, as pictures and texts are
// shared until one side changes.
struct ProjectState {
  // The parts a step may change: one bit for each layer, then the rest.
  using Parts = std::uint32_t;
  static constexpr Parts layer_part(int layer) { return Parts{1} << layer; }
  static constexpr Parts kBackgroundSource = Parts{1} << kLayerCount;  // bg_* fields
  static constexpr Parts kPlacement = kBackgroundSource << 1;          // adjust_x, adjust_y, ranges
  static constexpr Parts kAdvance = kPlacement << 1;                   // sc_bar
  static constexpr Parts kSequence = kAdvance << 1;                    // pattern_anime
  static constexpr Parts kOffsets = kSequence << 1;                    // frame_dx, frame_dy
  static constexpr Parts kBasename = kOffsets << 1;
  static constexpr Parts kTiming = kBasename << 1;  // timing, frame_hold, export_scale
  static constexpr Parts kAll = (kTiming << 1) - 1;

  static ProjectState capture(const ProjectModel& model);

  // Writes the given parts into the model. The frame canvas is fitted again
  // when the background's size no longer matches it.
  void apply(ProjectModel& model, Parts parts) const;
  // Copies the given parts of another state into this one.
  void take(const ProjectState& other, Parts parts);
  // The parts in which two states differ; pictures compare by their pixels.
  static Parts differences(const ProjectState& a, const ProjectState& b);

  std::array<QString, kLayerCount> layer_path;
  std::array<QImage, kLayerCount> pic;
  bool bg_from_file = true;
  Colour bg_colour = 0;
  std::int16_t bg_width = 0;
  std::int16_t bg_height = 0;
  int adjust_x = 0;
  int adjust_y = 0;
  Range adjust_x_range{0, 0};
  Range adjust_y_range{0, 0};
  int sc_bar = 0;
  QString pattern_anime;
  std::array<std::int16_t, kMaxFrames> frame_dx{};
  std::array<std::int16_t, kMaxFrames> frame_dy{};
  QString basename;
  AnimationTiming timing;
  std::array<std::uint8_t, kMaxFrames> frame_hold{};
  int export_scale = 1;
};

}  // namespace tamrisk
