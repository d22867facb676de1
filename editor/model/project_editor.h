#pragma once

#include <QString>
#include <QStringList>
#include <QUndoStack>
#include <functional>
#include <optional>

#include "model/project_model.h"
#include "model/project_state.h"
#include "model/settings_file.h"

namespace tamrisk {

// The editing of a project, without any window: the modes of the main
// window (adjust, fine-adjust with its cursor, zoom) and every edit of the
// project, each edit one step on an undo stack. The window turns an event
// into one call here and then shows the model; it formats every text it
// shows itself.
class ProjectEditor {
 public:
  // The arrow buttons ↑ ↓ ← →.
  enum class Arrow { Up, Down, Left, Right };
  enum class Nudge {
    Ignored,  // not in fine-adjust mode, or the cursor is past the table
    Refused,  // the offset would leave 16 bits
    Moved,
  };
  // Called after an undo or a redo has changed the model; fine_ended when
  // fine-adjust mode ended because its cursor frame is gone.
  using Restored = std::function<void(bool fine_ended)>;

  // readers load the pictures of layers and of LOAD.
  explicit ProjectEditor(ProjectModel& model, PictureReaders readers = {});
  ProjectEditor(const ProjectEditor&) = delete;
  ProjectEditor& operator=(const ProjectEditor&) = delete;

  ProjectModel& model() const { return model_; }
  QUndoStack& history() { return history_; }
  void set_restored(Restored restored) { restored_ = std::move(restored); }

  // --- Modes (not steps) ---
  // Adjust mode on, fine-adjust mode off, the cursor back on frame 0.
  void enter_adjust();
  // Fine-adjust mode on at frame 0 when it is off and there are frames
  // (true); otherwise off, keeping the cursor where it was (false).
  bool toggle_fine();
  void end_fine();
  // Moves the fine-adjust cursor by step frames, round the sequence, and
  // shows that frame; false (nothing moved) outside fine-adjust mode or
  // without frames.
  bool move_fine_cursor(int step);
  // zoom_on after the toggle.
  bool toggle_zoom();
  void zoom_closed();

  // --- Edits (one step each; an edit that changes nothing is no step) ---
  void set_adjust_x(int value);
  void set_adjust_y(int value);
  // Both global offsets back to 0 in one step; the fine offsets stay.
  void reset_placement();
  void set_advance(int value);
  // The pattern advance a typed text asks for: its leading number (0 when
  // it starts with none), rounded with halves to even, when within -10..10;
  // nothing for a value outside that or for a lone sign.
  static std::optional<int> typed_advance(const QString& text);
  // Applies typed_advance; false when the text asks for nothing.
  bool type_advance(const QString& text);
  void set_sequence(const QString& text);
  void set_basename(const QString& text);
  // The frame rate, the loop count and the animations' scale, each brought
  // into its range, in one step.
  void set_timing(const AnimationTiming& timing, int scale);
  // In fine-adjust mode, frame fine_pos's hold (brought into 1..99); false,
  // nothing changed, outside it. Holds typed one after the other merge.
  bool set_hold(int value);
  // Moves frame fine_pos's own offset one pixel in fine-adjust mode.
  Nudge nudge(Arrow arrow);
  // The image picker's assignment of a file to a layer: load_layer_picture,
  // and file_path becomes path. False with a message, nothing changed and no
  // step, when the picture could not be read.
  bool load_picture(int layer, const QString& path, bool png_reader, QString* error);
  // LOAD or SAVE as pst_mode says (load_save). A LOAD of an existing file
  // starts the history at the project loaded; a successful SAVE marks it
  // clean. Either makes the file the project's file.
  bool load_save(QString* error, QStringList* warnings);
  // The background dialog's "Ｏｋ" with a picture file chosen: bg_from_file
  // and the colour chosen.
  void set_background_from_file(Colour colour);
  // Its "Ｏｋ" with "無地": the colour and a plain canvas of the typed sizes
  // (apply_plain_background). False with the message, nothing changed, when
  // a size is refused.
  bool set_plain_background(Colour colour, const QString& width, const QString& height,
                            QString* error);
  // The folder the image picker opens next (path_ref), as the dialogs'
  // folder lists move; not a step.
  void set_image_folder(const QString& folder) { model_.path_ref = folder; }

  // The settings file the project was last loaded from or saved to; empty
  // until then.
  const QString& project_file() const { return project_file_; }

  // --- History ---
  void undo();
  void redo();
  // The next edit starts a new step even where it would merge.
  void seal() { ++session_; }
  bool is_clean() const { return history_.isClean(); }
  // The history starts at the project as it is now: no step to undo and
  // nothing to save.
  void start_history();

 private:
  class Step;

  // Runs edit on the model and records what it changed.
  void change(const QString& text, int merge, const std::function<void()>& edit);
  void push(const QString& text, int merge, ProjectState before);
  void restore(const ProjectState& state, ProjectState::Parts parts);

  ProjectModel& model_;
  PictureReaders readers_;
  QUndoStack history_;
  Restored restored_;
  int session_ = 0;
  bool restoring_ = false;
  // The project as the last step, undo or redo left it.
  ProjectState current_;
  QString project_file_;
};

}  // namespace tamrisk
