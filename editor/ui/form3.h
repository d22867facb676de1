#pragma once

#include <QDialog>
#include <functional>

#include "model/project_editor.h"
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
// box shows. Confirming hands the file's full path to the main window's
// load_save and closes once that succeeded; a failure keeps the dialog open
// with what was typed. A typed name is taken in the dialog's folder; a typed
// absolute path, or one beginning with "~/" (the home folder), as itself.
// SAVE over an existing file asks first, and No keeps the dialog open. The
// close box closes without load_save. The recent projects are listed below
// the folders. Files whose names begin with a dot, such as the ".pst" an
// empty name gives, are listed too. Deletes itself on closing.
class Form3 : public QDialog {
  Q_OBJECT

 public:
  // Runs LOAD (pst_mode 1) or SAVE (2) of path; true when it succeeded.
  using LoadSave = std::function<bool(int pst_mode, const QString& path)>;

  Form3(ProjectEditor& editor, LoadSave load_save, QWidget* parent = nullptr);

  // LOAD (pst_mode 1) and SAVE (2): the lists move to the project file's
  // folder and its name fills the name box; without a project file the
  // lists move to program_folder and the name box is emptied. path_ref
  // follows the lists; the dialog shows or comes forward.
  void open_for(int pst_mode, const QString& program_folder, const QString& project_file = {});

 private:
  void Drive1_Change(const QString& drive);
  void Dir1_Change(const QString& folder);
  void File1_Click(const QString& name);
  void File1_DblClick(const QString& name);
  void Command1_Click();
  void recent_Activated(int index);
  void use_file(const QString& name);
  void use_path(const QString& path);
  void show_folder(const QString& folder);
  void show_recent();

  ProjectEditor& editor_;
  LoadSave load_save_;
  QString program_folder_;
  // The pst_mode the dialog was opened for, shown in mode_label.
  int pst_mode_ = 0;
  DriveSelector* Drive1;
  FolderList* Dir1;
  QComboBox* Combo1;
  FileList* File1;
  QComboBox* recent;
  QLabel* mode_label;
  QLineEdit* file_name;
  QPushButton* Command1;
};

}  // namespace tamrisk::ui
