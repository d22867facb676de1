#pragma once

#include <QDialog>

#include "model/project_model.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tamrisk::ui {

class DriveSelector;
class FileList;
class FolderList;

// The settings dialog "状態のSAVE&LOAD": chooses the settings file that the
// main window's LOAD or SAVE reads or writes, which a label above the name
// box shows. Confirming puts the file's full path into file_path, asks for
// load_save through load_save_requested and closes; SAVE over an existing
// file asks first, and No keeps the dialog open. The close box closes
// without load_save. Files whose names begin with a dot, such as the ".pst"
// an empty name gives, are listed too. Deletes itself on closing.
class Form3 : public QDialog {
  Q_OBJECT

 public:
  Form3(ProjectModel& model, QWidget* parent = nullptr);

  // LOAD (pst_mode 1) and SAVE (2): the lists move to program_folder (and
  // path_ref with them), pst_mode is set, and the dialog shows or comes
  // forward.
  void open_for(int pst_mode, const QString& program_folder);

 signals:
  // file_path holds the chosen file; run load_save now. The dialog closes
  // when the connected handlers have returned.
  void load_save_requested();

 private:
  void Drive1_Change(const QString& drive);
  void Dir1_Change(const QString& folder);
  void File1_Click(const QString& name);
  void File1_DblClick(const QString& name);
  void Command1_Click();
  void use_file(const QString& name);

  ProjectModel& model_;
  QString program_folder_;
  // The pst_mode the dialog was opened for, shown in mode_label.
  int pst_mode_ = 0;
  DriveSelector* Drive1;
  FolderList* Dir1;
  QComboBox* Combo1;
  FileList* File1;
  QLabel* mode_label;
  QLineEdit* file_name;
  QPushButton* Command1;
};

}  // namespace tamrisk::ui
