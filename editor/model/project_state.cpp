#include "model/project_state.h"

namespace tamrisk {

ProjectState ProjectState::capture(const ProjectModel& model) {
  ProjectState s;
  s.layer_path = model.layer_path;
  s.pic = model.pic;
  s.bg_from_file = model.bg_from_file;
  s.bg_colour = model.bg_colour;
  s.bg_width = model.bg_width;
  s.bg_height = model.bg_height;
  s.adjust_x = model.adjust_x();
  s.adjust_y = model.adjust_y();
  s.adjust_x_range = model.adjust_x_range();
  s.adjust_y_range = model.adjust_y_range();
  s.sc_bar = model.sc_bar();
  s.pattern_anime = model.pattern_anime();
  s.frame_dx = model.frame_dx;
  s.frame_dy = model.frame_dy;
  s.basename = model.basename;
  s.timing = model.timing;
  s.frame_hold = model.frame_hold;
  s.export_scale = model.export_scale;
  return s;
}

void ProjectState::apply(ProjectModel& model, Parts parts) const {
  // The model's own parts, with the wanted ones replaced, written back whole:
  // parts left alone are written back unchanged.
  ProjectState s = capture(model);
  s.take(*this, parts);
  model.layer_path = s.layer_path;
  model.pic = s.pic;
  model.bg_from_file = s.bg_from_file;
  model.bg_colour = s.bg_colour;
  model.bg_width = s.bg_width;
  model.bg_height = s.bg_height;
  model.set_adjust_ranges(s.adjust_x_range, s.adjust_y_range);
  model.set_adjust_x(s.adjust_x);
  model.set_adjust_y(s.adjust_y);
  model.set_sc_bar(s.sc_bar);
  model.set_pattern_anime(s.pattern_anime);
  model.frame_dx = s.frame_dx;
  model.frame_dy = s.frame_dy;
  model.basename = s.basename;
  model.timing = s.timing;
  model.frame_hold = s.frame_hold;
  model.export_scale = s.export_scale;
  if (model.win_main.size() != model.pic[kBackground].size()) {
    model.fit_frame_canvas();
  }
}

void ProjectState::take(const ProjectState& other, Parts parts) {
  for (int i = 0; i < kLayerCount; ++i) {
    if ((parts & layer_part(i)) != 0) {
      layer_path[i] = other.layer_path[i];
      pic[i] = other.pic[i];
    }
  }
  if ((parts & kBackgroundSource) != 0) {
    bg_from_file = other.bg_from_file;
    bg_colour = other.bg_colour;
    bg_width = other.bg_width;
    bg_height = other.bg_height;
  }
  if ((parts & kPlacement) != 0) {
    adjust_x = other.adjust_x;
    adjust_y = other.adjust_y;
    adjust_x_range = other.adjust_x_range;
    adjust_y_range = other.adjust_y_range;
  }
  if ((parts & kAdvance) != 0) {
    sc_bar = other.sc_bar;
  }
  if ((parts & kSequence) != 0) {
    pattern_anime = other.pattern_anime;
  }
  if ((parts & kOffsets) != 0) {
    frame_dx = other.frame_dx;
    frame_dy = other.frame_dy;
  }
  if ((parts & kBasename) != 0) {
    basename = other.basename;
  }
  if ((parts & kTiming) != 0) {
    timing = other.timing;
    frame_hold = other.frame_hold;
    export_scale = other.export_scale;
  }
}

ProjectState::Parts ProjectState::differences(const ProjectState& a, const ProjectState& b) {
  Parts parts = 0;
  for (int i = 0; i < kLayerCount; ++i) {
    // Shared pictures compare without looking at their pixels.
    if (a.layer_path[i] != b.layer_path[i] || a.pic[i] != b.pic[i]) {
      parts |= layer_part(i);
    }
  }
  if (a.bg_from_file != b.bg_from_file || a.bg_colour != b.bg_colour || a.bg_width != b.bg_width ||
      a.bg_height != b.bg_height) {
    parts |= kBackgroundSource;
  }
  if (a.adjust_x != b.adjust_x || a.adjust_y != b.adjust_y ||
      a.adjust_x_range.min != b.adjust_x_range.min ||
      a.adjust_x_range.max != b.adjust_x_range.max ||
      a.adjust_y_range.min != b.adjust_y_range.min ||
      a.adjust_y_range.max != b.adjust_y_range.max) {
    parts |= kPlacement;
  }
  if (a.sc_bar != b.sc_bar) {
    parts |= kAdvance;
  }
  if (a.pattern_anime != b.pattern_anime) {
    parts |= kSequence;
  }
  if (a.frame_dx != b.frame_dx || a.frame_dy != b.frame_dy) {
    parts |= kOffsets;
  }
  if (a.basename != b.basename) {
    parts |= kBasename;
  }
  if (a.timing != b.timing || a.frame_hold != b.frame_hold || a.export_scale != b.export_scale) {
    parts |= kTiming;
  }
  return parts;
}

}  // namespace tamrisk
