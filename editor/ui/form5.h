#pragma once

#include <QDialog>

#include "model/project_editor.h"
#include "model/project_model.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace tamrisk::ui {

class ColourField;

// The background dialog "背景の設定": a plain canvas of a typed size and a
// chosen colour, or a picture file. The dialog keeps the option and the
// colour to itself until "Ｏｋ" applies them, with the size of a plain
// canvas, through the editor in one step; "キャンセル", Escape and the close
// box leave the project as it was. Deletes itself on closing.
class Form5 : public QDialog {
  Q_OBJECT

 public:
  explicit Form5(ProjectEditor& editor, QWidget* parent = nullptr);

  // Shows the dialog, or brings it forward.
  void show_dialog();

 signals:
  // "Ｏｋ" has applied the dialog's choice: bg_from_file and bg_colour, and
  // for a plain canvas bg_width, bg_height, the background layer and the
  // frame canvas. Emitted once, just before the dialog closes; a dialog
  // closed any other way emits nothing.
  void background_changed();

 private:
  void Option1_Click();
  void Option2_Click();
  void color_window_Click();
  void Command1_Click();
  void Command2_Click();
  void enable_plain_controls(bool enable);

  ProjectEditor& editor_;
  const ProjectModel& model_;
  // The colour chosen in the dialog, 0x00BBGGRR.
  Colour colour_;
  QRadioButton* Option1;
  QLabel* Label1;
  QLineEdit* Text1;
  QLabel* Label2;
  QLineEdit* Text2;
  ColourField* color_window;
  QRadioButton* Option2;
  QPushButton* Command1;
  QPushButton* Command2;
};

}  // namespace tamrisk::ui
