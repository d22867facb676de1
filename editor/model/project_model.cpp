#include "model/project_model.h"

#include <QCoreApplication>
#include <QStorageInfo>
#include <algorithm>
#include <cmath>
#include <iterator>

namespace tamrisk {

namespace {

constexpr int kInt16Max = 32767;

// The patterns' names, each with its number as a full-width digit. Whole
// names rather than a name and a number, so that a translation can write the
// number its own way.
constexpr const char* kPatternNames[] = {
    QT_TRANSLATE_NOOP("tamrisk::ProjectModel", "パターン１"),
    QT_TRANSLATE_NOOP("tamrisk::ProjectModel", "パターン２"),
    QT_TRANSLATE_NOOP("tamrisk::ProjectModel", "パターン３"),
    QT_TRANSLATE_NOOP("tamrisk::ProjectModel", "パターン４"),
    QT_TRANSLATE_NOOP("tamrisk::ProjectModel", "パターン５"),
    QT_TRANSLATE_NOOP("tamrisk::ProjectModel", "パターン６"),
    QT_TRANSLATE_NOOP("tamrisk::ProjectModel", "パターン７"),
    QT_TRANSLATE_NOOP("tamrisk::ProjectModel", "パターン８"),
    QT_TRANSLATE_NOOP("tamrisk::ProjectModel", "パターン９"),
};
static_assert(std::size(kPatternNames) == kForeground - kBackground - 1);

// Adds in 16 bits, the width of the offsets and of their sums: a sum past
// the range wraps round, so that any offsets give one defined position.
std::int16_t add16(std::int16_t a, std::int16_t b) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(a) + static_cast<std::uint16_t>(b));
}

}  // namespace

ProjectModel::ProjectModel(const QString& program_folder) : program_folder_(program_folder) {
  reset_frame_holds();
  for (int i = 0; i < kLayerCount; ++i) {
    pic[i] = empty_canvas(i);
  }
  path_ref = program_folder;
  set_output_folder(program_folder);
  fit_frame_canvas();
}

int ProjectModel::periods_of(int n) const {
  int periods = 0;
  for (int k = 0; k < n; ++k) {
    periods += hold(k);
  }
  return periods;
}

QString ProjectModel::layer_name(int layer) {
  if (layer == kBackground) {
    return QCoreApplication::translate("tamrisk::ProjectModel", "背景");
  }
  if (layer == kForeground) {
    return QCoreApplication::translate("tamrisk::ProjectModel", "前景");
  }
  if (layer > kBackground && layer < kForeground) {
    return QCoreApplication::translate("tamrisk::ProjectModel", kPatternNames[layer - 1]);
  }
  return QString();
}

QSize ProjectModel::initial_canvas_size(int layer) {
  if (layer == kBackground || layer == kForeground) {
    return QSize(350, 70);
  }
  return QSize(60, 60);
}

QImage ProjectModel::empty_canvas(int layer) {
  QImage canvas(initial_canvas_size(layer), QImage::Format_RGB32);
  canvas.fill(colour_to_qrgb(kWindowColour));
  return canvas;
}

int ProjectModel::twips_to_pixels(int twips) {
  return static_cast<int>(std::lround(static_cast<double>(twips) / kTwipsPerPixel));
}

QString ProjectModel::drive_of(const QString& folder) {
#ifdef _WIN32
  if (folder.size() >= 2 && folder.at(1) == QLatin1Char(':')) {
    return folder.left(2);
  }
#endif
  if (folder.isEmpty()) {
    return QString();
  }
  const QStorageInfo volume(folder);
  if (volume.isValid() && !volume.rootPath().isEmpty()) {
    return volume.rootPath();
  }
  return QStringLiteral("/");
}

void ProjectModel::clear_layer(int layer) {
  if (layer < 0 || layer >= kLayerCount) {
    return;
  }
  layer_path[layer].clear();
  pic[layer] = empty_canvas(layer);
}

void ProjectModel::set_plain_background() {
  const int width = std::max(1, twips_to_pixels(bg_width));
  const int height = std::max(1, twips_to_pixels(bg_height));
  QImage canvas(width, height, QImage::Format_RGB32);
  canvas.fill(colour_to_qrgb(bg_colour));
  pic[kBackground] = canvas;
}

void ProjectModel::set_adjust_x(int v) {
  adjust_x_ = adjust_x_range_.Clamp(v);
}

void ProjectModel::set_adjust_y(int v) {
  adjust_y_ = adjust_y_range_.Clamp(v);
}

void ProjectModel::set_background_ranges() {
  // The bounds are 16-bit, as the placement itself is.
  const int width = std::min(pic[kBackground].width(), kInt16Max);
  const int height = std::min(pic[kBackground].height(), kInt16Max);
  set_adjust_ranges(Range{kAdjustXMin, width}, Range{-height, height});
}

void ProjectModel::set_adjust_ranges(Range x, Range y) {
  adjust_x_range_ = x;
  adjust_y_range_ = y;
  set_adjust_x(adjust_x_);
  set_adjust_y(adjust_y_);
}

void ProjectModel::set_pattern_anime(const QString& text) {
  qsizetype length = std::min<qsizetype>(text.size(), kMaxFrames);
  if (length < text.size() && length > 0 && text.at(length - 1).isHighSurrogate()) {
    --length;
  }
  pattern_anime_ = text.left(length);
}

ProjectModel::Offset ProjectModel::cumulative_offset(int k) const {
  Offset sum{0, 0};
  const int last = std::min(k, kMaxFrames - 1);
  for (int j = 0; j <= last; ++j) {
    sum.x = add16(sum.x, frame_dx[j]);
    sum.y = add16(sum.y, frame_dy[j]);
  }
  return sum;
}

ProjectModel::Offset ProjectModel::frame_offset(int k) const {
  if (k < 0 || k >= kMaxFrames) {
    return {0, 0};
  }
  return {frame_dx[static_cast<size_t>(k)], frame_dy[static_cast<size_t>(k)]};
}

void ProjectModel::reset_frame_offsets() {
  frame_dx.fill(0);
  frame_dy.fill(0);
}

void ProjectModel::set_sc_bar(int v) {
  sc_bar_ = std::clamp(v, kScBarMin, kScBarMax);
}

void ProjectModel::set_output_folder(const QString& folder) {
  output_dir = folder;
  output_drive = drive_of(folder);
}

void ProjectModel::fit_frame_canvas() {
  win_main = QImage(pic[kBackground].size(), QImage::Format_RGB32);
  win_main.fill(colour_to_qrgb(kWindowColour));
}

}  // namespace tamrisk
