#include "model/project_editor.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUndoCommand>
#include <algorithm>
#include <cmath>
#include <limits>

#include "model/layer_picture.h"
#include "model/plain_background.h"

namespace tamrisk {

namespace {

// Steps of one control that follow each other merge into one.
enum Merge : int {
  kNoMerge = -1,
  kMergeAdjustX = 1,
  kMergeAdjustY,
  kMergeAdvance,
  kMergeSequence,
  kMergeBasename,
  kMergeHold,
};

// Typed pattern advances are taken only within this bound.
constexpr int kTypedAdvanceLimit = 10;

}  // namespace

// One step: the parts of the project it changed, before and after. It is
// pushed after the change is made, so its first redo has nothing to do.
class ProjectEditor::Step : public QUndoCommand {
 public:
  Step(ProjectEditor& editor, const QString& text, int merge, ProjectState::Parts parts,
       ProjectState before, ProjectState after)
      : QUndoCommand(text),
        editor_(editor),
        merge_(merge),
        session_(editor.session_),
        parts_(parts),
        before_(std::move(before)),
        after_(std::move(after)) {}

  int id() const override { return merge_; }

  void undo() override { editor_.restore(before_, parts_); }
  void redo() override {
    if (pushed_) {
      pushed_ = false;
      return;
    }
    editor_.restore(after_, parts_);
  }

  bool mergeWith(const QUndoCommand* command) override {
    const auto* next = static_cast<const Step*>(command);
    if (next->session_ != session_ || next->text() != text()) {
      return false;
    }
    before_.take(next->before_, next->parts_ & ~parts_);
    after_.take(next->after_, next->parts_);
    parts_ = ProjectState::differences(before_, after_) & (parts_ | next->parts_);
    // Back where it started (a bar dragged there and back): no step at all.
    setObsolete(parts_ == 0);
    return true;
  }

 private:
  ProjectEditor& editor_;
  int merge_;
  int session_;
  ProjectState::Parts parts_;
  ProjectState before_;
  ProjectState after_;
  bool pushed_ = true;
};

ProjectEditor::ProjectEditor(ProjectModel& model, PictureReaders readers)
    : model_(model), readers_(std::move(readers)), current_(ProjectState::capture(model)) {}

// --- Modes ---------------------------------------------------------------

void ProjectEditor::enter_adjust() {
  model_.adjust_on = true;
  model_.fine_on = false;
  model_.fine_pos = 0;
}

bool ProjectEditor::toggle_fine() {
  if (model_.frame_count() > 0 && !model_.fine_on) {
    model_.fine_on = true;
    model_.adjust_on = false;
    model_.fine_pos = 0;
    model_.cur_frame = 0;
    return true;
  }
  end_fine();
  return false;
}

void ProjectEditor::end_fine() {
  model_.fine_on = false;
}

bool ProjectEditor::move_fine_cursor(int step) {
  const int n = model_.frame_count();
  if (!model_.fine_on || n == 0) {
    return false;
  }
  model_.fine_pos = ((model_.fine_pos + step) % n + n) % n;
  model_.cur_frame = static_cast<std::int16_t>(model_.fine_pos);
  return true;
}

bool ProjectEditor::toggle_zoom() {
  model_.zoom_on = !model_.zoom_on;
  return model_.zoom_on;
}

void ProjectEditor::zoom_closed() {
  model_.zoom_on = false;
}

// --- Edits ---------------------------------------------------------------

void ProjectEditor::set_adjust_x(int value) {
  change(QCoreApplication::translate("tamrisk::ProjectEditor", "位置の調整"), kMergeAdjustX,
         [&] { model_.set_adjust_x(value); });
}

void ProjectEditor::set_adjust_y(int value) {
  change(QCoreApplication::translate("tamrisk::ProjectEditor", "位置の調整"), kMergeAdjustY,
         [&] { model_.set_adjust_y(value); });
}

void ProjectEditor::reset_placement() {
  change(QCoreApplication::translate("tamrisk::ProjectEditor", "リセット"), kNoMerge, [&] {
    model_.set_adjust_x(0);
    model_.set_adjust_y(0);
  });
}

void ProjectEditor::set_advance(int value) {
  change(QCoreApplication::translate("tamrisk::ProjectEditor", "コマ間隔"), kMergeAdvance,
         [&] { model_.set_sc_bar(value); });
}

std::optional<int> ProjectEditor::typed_advance(const QString& text) {
  // Full-width digits and signs count as their ASCII forms.
  static const QRegularExpression lone_sign(QStringLiteral(R"(^\s*[+-]\s*$)"));
  static const QRegularExpression number(
      QStringLiteral(R"(^\s*([+-]?(?:\d+\.?\d*|\.\d+)(?:[eE][+-]?\d+)?))"));
  const QString plain = text.normalized(QString::NormalizationForm_KC);
  if (lone_sign.match(plain).hasMatch()) {
    return std::nullopt;
  }
  const QRegularExpressionMatch match = number.match(plain);
  // nearbyint rounds halves to even in the default rounding mode.
  const double value = match.hasMatch() ? std::nearbyint(match.captured(1).toDouble()) : 0.0;
  if (!(value >= -kTypedAdvanceLimit && value <= kTypedAdvanceLimit)) {
    return std::nullopt;
  }
  return static_cast<int>(value);
}

bool ProjectEditor::type_advance(const QString& text) {
  const std::optional<int> value = typed_advance(text);
  if (value) {
    set_advance(*value);
  }
  return value.has_value();
}

void ProjectEditor::set_sequence(const QString& text) {
  change(QCoreApplication::translate("tamrisk::ProjectEditor", "アニメパターン"), kMergeSequence,
         [&] { model_.set_pattern_anime(text); });
}

void ProjectEditor::set_basename(const QString& text) {
  change(QCoreApplication::translate("tamrisk::ProjectEditor", "出力ファイル名"), kMergeBasename,
         [&] { model_.basename = text; });
}

void ProjectEditor::set_timing(const AnimationTiming& timing, int scale) {
  const AnimationTiming clamped{
      std::clamp(timing.frame_rate, AnimationTiming::kMinFrameRate, AnimationTiming::kMaxFrameRate),
      std::clamp(timing.loop_count, 0, AnimationTiming::kMaxLoopCount)};
  change(QCoreApplication::translate("tamrisk::ProjectEditor", "タイミング"), kNoMerge, [&] {
    model_.timing = clamped;
    model_.export_scale = std::clamp(scale, 1, ProjectModel::kMaxExportScale);
  });
}

bool ProjectEditor::set_hold(int value) {
  const int k = model_.fine_pos;
  if (!model_.fine_on || k < 0 || k >= std::min(model_.frame_count(), kMaxFrames)) {
    return false;
  }
  const int hold = std::clamp(value, AnimationTiming::kMinHold, AnimationTiming::kMaxHold);
  change(QCoreApplication::translate("tamrisk::ProjectEditor", "コマの長さ"), kMergeHold,
         [&] { model_.frame_hold[static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(hold); });
  return true;
}

ProjectEditor::Nudge ProjectEditor::nudge(Arrow arrow) {
  const int k = model_.fine_pos;
  if (!model_.fine_on || k < 0 || k >= std::min(model_.frame_count(), kMaxFrames)) {
    return Nudge::Ignored;
  }
  const bool across = arrow == Arrow::Left || arrow == Arrow::Right;
  const int by = arrow == Arrow::Up || arrow == Arrow::Left ? -1 : 1;
  auto& table = across ? model_.frame_dx : model_.frame_dy;
  const int next = table[static_cast<size_t>(k)] + by;
  if (next < std::numeric_limits<std::int16_t>::min() ||
      next > std::numeric_limits<std::int16_t>::max()) {
    return Nudge::Refused;
  }
  change(QCoreApplication::translate("tamrisk::ProjectEditor", "微調整"), kNoMerge,
         [&] { table[static_cast<size_t>(k)] = static_cast<std::int16_t>(next); });
  return Nudge::Moved;
}

bool ProjectEditor::load_picture(int layer, const QString& path, bool png_reader, QString* error) {
  bool ok = false;
  change(QCoreApplication::translate("tamrisk::ProjectEditor", "%1の画像")
             .arg(ProjectModel::layer_name(layer)),
         kNoMerge, [&] {
           ok = load_layer_picture(model_, layer, path, png_reader, error, readers_);
           if (ok) {
             model_.file_path = path;
           }
         });
  return ok;
}

bool ProjectEditor::load_save(QString* error, QStringList* warnings) {
  bool ok = false;
  const bool loading = model_.pst_mode == 1;
  const QString path = model_.file_path;
  change(QStringLiteral("LOAD"), kNoMerge,
         [&] { ok = ::tamrisk::load_save(model_, error, readers_, warnings); });
  if (ok && model_.pst_mode == 2) {
    history_.setClean();
    project_file_ = path;
  } else if (ok && loading && QFileInfo::exists(path)) {
    start_history();
    project_file_ = path;
  }
  seal();
  return ok;
}

void ProjectEditor::set_background_from_file(Colour colour) {
  change(QCoreApplication::translate("tamrisk::ProjectEditor", "背景の設定"), kNoMerge, [&] {
    model_.bg_from_file = true;
    model_.bg_colour = colour;
  });
}

bool ProjectEditor::set_plain_background(Colour colour, const QString& width, const QString& height,
                                         QString* error) {
  bool ok = false;
  change(QCoreApplication::translate("tamrisk::ProjectEditor", "背景の設定"), kNoMerge, [&] {
    const Colour before = model_.bg_colour;
    model_.bg_colour = colour;
    ok = apply_plain_background(model_, width, height, error);
    if (!ok) {
      model_.bg_colour = before;
    }
  });
  return ok;
}

// --- History -------------------------------------------------------------

void ProjectEditor::undo() {
  seal();
  history_.undo();
  seal();
}

void ProjectEditor::start_history() {
  history_.clear();
  current_ = ProjectState::capture(model_);
  seal();
}

void ProjectEditor::redo() {
  seal();
  history_.redo();
  seal();
}

void ProjectEditor::change(const QString& text, int merge, const std::function<void()>& edit) {
  const ProjectState before = ProjectState::capture(model_);
  edit();
  // The windows follow a restored model through their own change handlers,
  // which then find nothing new.
  if (!restoring_) {
    push(text, merge, before);
  }
}

void ProjectEditor::push(const QString& text, int merge, ProjectState before) {
  // before is a copy: it may be current_ itself.
  ProjectState after = ProjectState::capture(model_);
  const ProjectState::Parts parts = ProjectState::differences(before, after);
  current_ = after;
  if (parts != 0) {
    history_.push(new Step(*this, text, merge, parts, std::move(before), std::move(after)));
  }
}

void ProjectEditor::restore(const ProjectState& state, ProjectState::Parts parts) {
  state.apply(model_, parts);
  current_ = ProjectState::capture(model_);
  // The cursor frame may be gone with the sequence it stood in.
  const bool fine_ended = model_.fine_on && model_.fine_pos >= model_.frame_count();
  if (fine_ended) {
    end_fine();
  }
  if (restored_) {
    restoring_ = true;
    restored_(fine_ended);
    restoring_ = false;
  }
}

}  // namespace tamrisk
