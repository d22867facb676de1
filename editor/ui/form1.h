#pragma once

#include <QList>
#include <QPointer>
#include <QString>
#include <QToolButton>
#include <QWidget>
#include <array>
#include <functional>

#include "model/project_editor.h"
#include "model/project_model.h"
#include "playback/animation_test.h"
#include "ui/export_control.h"
#include "ui/qt_animation_timer.h"

class QDialog;
class QMenu;
class QKeyEvent;
class QLabel;
class QSpinBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QScrollBar;
class QTimer;

namespace tamrisk::ui {

class DriveSelector;
class FolderList;
class Form2;
class Form3;
class Form4;
class Form5;
class ImageCanvas;
class SequenceBox;

// The main window "ミルオ工房簡易アニメータ". It owns the project model and
// its editor, and shows them: the placement of the patterns, the pattern
// advance, the frame sequence and its fine offsets, the modes (adjust,
// fine-adjust, zoom), the output settings, the animation test and the
// export. Every handler makes one call on the editor (or the model) and then
// shows the model again. Edits are undone with Ctrl+Z and redone with
// Ctrl+Shift+Z or Ctrl+Y. The title names the project's file (the one last
// loaded or saved) and marks edits made since; Ctrl+S saves to that file,
// Ctrl+Shift+S and SAVE under a name chosen in the settings dialog, Ctrl+O
// is LOAD. Closing, LOAD and opening or dropping another project with such
// edits ask whether to save them first.
class Form1 : public QWidget {
  Q_OBJECT

 public:
  // The program's folder and the compiler beside the editor.
  explicit Form1(QWidget* parent = nullptr);
  // program_folder: the default output folder and the folder the settings
  // dialog opens; compiler: the MNG compiler that "コマ作成" runs.
  Form1(const QString& program_folder, const QString& compiler, QWidget* parent = nullptr);
  ~Form1() override;

  static QString title();
  // The side of the red pointer above the sequence box.
  static constexpr int kPointerSize = 8;

  ProjectModel& model() { return model_; }
  const ProjectModel& model() const { return model_; }
  ProjectEditor& editor() { return editor_; }

  const QString& compiler_path() const { return compiler_path_; }
  void set_compiler_path(const QString& compiler) { compiler_path_ = compiler; }

  // Asked with the final animation's path before an export replaces it; true
  // replaces it. By default a Yes/No message box.
  using OverwriteQuestion = ExportControl::OverwriteQuestion;
  void set_overwrite_question(OverwriteQuestion question);

  // PNG mode: the animations "コマ作成" makes, as chosen beside "出力形式"
  // and remembered between runs (QSettings); the compiled MNG alone until
  // the user chooses otherwise.
  const QList<AnimationFormat>& animation_formats() const;
  void set_animation_formats(const QList<AnimationFormat>& formats);

  // Loads a settings file as LOAD does and shows the result, its first frame
  // composed; a missing or unreadable file is reported in a message box.
  // Unsaved edits are asked about first. False when nothing was loaded.
  bool open_settings(const QString& path);

  // Called with the timing dialog before it runs, so that a test can answer it.
  void set_timing_dialog_hook(std::function<void(QDialog&)> hook) {
    timing_dialog_shown_ = std::move(hook);
  }

  // Ends fine-adjust mode as bt_set2 does when it turns it off.
  void switch_fine_mode_off();

  // The windows opened from here; null while closed.
  Form2* picker() const;
  Form3* settings_dialog() const;
  Form4* zoom_window() const;
  Form5* background_dialog() const;

  AnimationTest::State animation_state() const { return animation_.state(); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  // A settings file dropped on the window loads as LOAD does.
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  // The controls, made in the order of kControlRows, which is also the
  // order Tab moves through them.
  struct ControlRow;
  static const ControlRow kControlRows[];
  void build_controls();
  void make_layer_canvases();
  QWidget* make_control(const ControlRow& row);
  void connect_controls();
  void start_up();

  // Handlers.
  void adjust_x_Change(int value);
  void adjust_y_Change(int value);
  void sc_bar_Change(int value);
  void size_move_Change(const QString& text);
  void size_move_Finished();
  void pattern_anime_Change(const QString& text);
  void basename_Change(const QString& text);
  void bt_set_Click();
  void bt_set2_Click();
  void bt_reset_Click();
  void bt_arrow_Click(int index);
  bool Form_KeyDown(int key);
  void bt_zoom_Click();
  void Form4_Unload();
  void Command1_Click();
  void Drive1_Change(const QString& drive);
  void Dir1_Change(const QString& folder);
  void bt_load_Click();
  void bt_save_Click();
  // Ctrl+S: to the project's file, through the SAVE dialog while it has none.
  void save_project();
  bool save_to(const QString& path);
  // Loads or saves as pst_mode says, shows a load and reports failures.
  bool load_save();
  void pic_Click(int layer);
  // A file dropped on layer's canvas: a picture loads into the layer as the
  // image picker loads it, a settings file as LOAD.
  void pic_FileDropped(int layer, const QString& path);
  void output_png_Click();
  void output_bmp_Click();
  void bt_exec_Click();
  void setup_timing_controls();
  void bt_timing_Click();
  void frame_hold_Change(int value);
  // + and - in fine-adjust mode: the frame's hold one longer or shorter.
  bool change_hold(int step);
  void anime_Click();
  void Timer1_Timer();
  void layer_loaded(int layer);
  void background_changed();

  // Recurring steps.
  void focus_to_sink();
  void compose_with_values();
  void adjust_preview();
  void open_settings_dialog(int pst_mode);
  // Undo and redo: the keys, and showing the model they leave.
  void make_history_actions();
  static bool is_history_key(const QKeyEvent& event);
  void show_restored(bool fine_ended);
  // Before the project is replaced or the window closes: with unsaved edits
  // asks Save / Discard / Cancel; true goes on now. "Save" saves to the
  // project's file; without one it opens the SAVE dialog, and then runs once
  // the dialog has saved.
  bool may_replace_project(const std::function<void()>& then);
  void make_file_actions();
  void show_title();
  void show_first_frame();
  void show_frame_count();

  // Showing the model.
  void refresh_from_model();
  void show_project();
  void show_modes();
  void show_advance();
  void show_advance_text();
  void show_layers();
  void show_frame();
  void show_offsets();
  void show_timing();
  void show_placement();
  void show_output_folder();
  void show_output_format();
  void move_pointer(int cell);
  void select_cell(int cell);

  ProjectModel model_;
  ProjectEditor editor_;
  // What waits for the SAVE dialog that the question about unsaved edits
  // opened: closing, or the LOAD that asked.
  std::function<void()> after_save_;
  // "Discard" was answered and nothing was edited since.
  bool edits_discarded_ = false;
  QString compiler_path_;
  ExportControl* export_;
  std::function<void(QDialog&)> timing_dialog_shown_;

  QPushButton* Command1;
  std::array<ImageCanvas*, kLayerCount> pic{};
  QWidget* pic_dummy;
  QScrollBar* adjust_y;
  ImageCanvas* win_main;
  QPushButton* bt_set;
  QScrollBar* adjust_x;
  QLineEdit* offset_x;
  QLineEdit* offset_y;
  QPushButton* bt_reset;
  QPushButton* bt_zoom;
  QLineEdit* size_move;
  QScrollBar* sc_bar;
  ImageCanvas* pointer_k;
  SequenceBox* pattern_anime;
  QLabel* frames_label;
  QPushButton* bt_set2;
  std::array<QPushButton*, 4> bt_arrow{};
  QPushButton* anime;
  QLineEdit* total_adjust_x;
  QLineEdit* total_adjust_y;
  QLineEdit* this_adjust_x;
  QLineEdit* this_adjust_y;
  DriveSelector* Drive1;
  FolderList* Dir1;
  QLineEdit* basename;
  QPushButton* output_bmp;
  QPushButton* output_png;
  QToolButton* output_formats;
  QPushButton* bt_timing;
  QSpinBox* frame_hold;
  QLabel* total_time;
  QPushButton* bt_load;
  QPushButton* bt_save;
  QPushButton* bt_exec;
  QPlainTextEdit* mng_textbox;
  QTimer* Timer1;

  QtAnimationTimer timer_;
  AnimationTest animation_;

  QPointer<Form2> picker_;
  QPointer<Form3> settings_;
  QPointer<Form4> zoom_;
  QPointer<Form5> background_;
};

}  // namespace tamrisk::ui
