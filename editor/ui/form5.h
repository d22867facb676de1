#pragma once

#include <QDialog>

#include "model/project_model.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace tamrisk::ui {

class ColourField;

// The background dialog "背景の設定": a plain canvas of a typed size and a
// chosen colour, or a picture file. The two options and the colour act at
// once; "Ｏｋ" applies the size of the plain canvas. "キャンセル", Escape and
// the close box close without applying the size. Deletes itself on closing.
class Form5 : public QDialog {
  Q_OBJECT

 public:
  Form5(ProjectModel& model, QWidget* parent = nullptr);

  // Shows the dialog, or brings it forward.
  void show_dialog();

 signals:
  // bg_from_file, bg_colour, or the background layer and the frame canvas
  // changed.
  void background_changed();

 private:
  void Option1_Click();
  void Option2_Click();
  void color_window_Click();
  void Command1_Click();
  void Command2_Click();
  void enable_plain_controls(bool enable);

  ProjectModel& model_;
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
