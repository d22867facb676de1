#pragma once

#include <QDialog>

#include "model/project_editor.h"
#include "model/project_model.h"

class QComboBox;
class QLabel;
class QPushButton;
class QScrollBar;

namespace tamrisk::ui {

class DriveSelector;
class FileList;
class FolderList;

// The image picker "ファイルを開く": a click on a file loads it into the
// current layer at once; the picker stays open until "OK" or its close box,
// and then deletes itself. It opens in path_ref and keeps path_ref on the
// folder it shows. Each file assigned is one step of the editor.
class Form2 : public QDialog {
  Q_OBJECT

 public:
  explicit Form2(ProjectEditor& editor, QWidget* parent = nullptr);

  // Shows the picker, or brings it forward, with layer as the current layer.
  void open_for_layer(int layer);

  int current_layer() const;

 signals:
  // A file was assigned to layer (its picture, and for the background the
  // frame canvas and the placement ranges, may have changed). A picture that
  // could not be read has been reported to the user already.
  void layer_loaded(int layer);

 private:
  void Drive1_Change(const QString& drive);
  void Dir1_Change(const QString& folder);
  void File1_Click(const QString& name);
  void Combo1_Click(int index);
  void HScroll1_Change(int value);
  void Command2_Click();
  void Command1_Click();

  ProjectEditor& editor_;
  ProjectModel& model_;
  DriveSelector* Drive1;
  FolderList* Dir1;
  FileList* File1;
  QComboBox* Combo1;
  QLabel* Label2;
  QScrollBar* HScroll1;
  QPushButton* Command2;
  QPushButton* Command1;
};

}  // namespace tamrisk::ui
