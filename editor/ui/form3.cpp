#include "ui/form3.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include "model/settings_name.h"
#include "ui/drive_selector.h"
#include "ui/file_list.h"
#include "ui/folder_list.h"
#include "ui/recent_projects.h"

namespace tamrisk::ui {

namespace {

const QString kPattern = QStringLiteral("*.pst");

// pst_mode for SAVE (1 is LOAD).
constexpr int kSave = 2;

}  // namespace

Form3::Form3(ProjectEditor& editor, LoadSave load_save, QWidget* parent)
    : QDialog(parent),
      editor_(editor),
      load_save_(std::move(load_save)),
      program_folder_(editor.model().program_folder()),
      Drive1(new DriveSelector(this)),
      Dir1(new FolderList(this)),
      Combo1(new QComboBox(this)),
      File1(new FileList(this)),
      recent(new QComboBox(this)),
      mode_label(new QLabel(this)),
      file_name(new QLineEdit(this)),
      Command1(new QPushButton(tr("OK"), this)) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(tr("状態のSAVE&LOAD"));
  setFixedSize(464, 214);

  Drive1->setObjectName(QStringLiteral("Drive1"));
  Dir1->setObjectName(QStringLiteral("Dir1"));
  Combo1->setObjectName(QStringLiteral("Combo1"));
  File1->setObjectName(QStringLiteral("File1"));
  recent->setObjectName(QStringLiteral("recent"));
  mode_label->setObjectName(QStringLiteral("mode_label"));
  file_name->setObjectName(QStringLiteral("file_name"));
  Command1->setObjectName(QStringLiteral("Command1"));

  Drive1->setGeometry(8, 8, 145, 21);
  Dir1->setGeometry(8, 40, 145, 126);
  // The recent projects, below the folders, level with the name box.
  recent->setGeometry(8, 176, 145, 25);
  Combo1->setGeometry(192, 8, 137, 21);
  File1->setGeometry(192, 40, 137, 84);
  // Names the name box, just above it.
  mode_label->setGeometry(192, 152, 137, 21);
  file_name->setGeometry(192, 176, 137, 25);
  Command1->setGeometry(336, 64, 113, 137);

  // The pattern box only shows the pattern.
  Combo1->setEditable(true);
  Combo1->setCompleter(nullptr);
  Combo1->setEditText(kPattern);
  File1->set_pattern(kPattern);
  File1->set_hidden_listed(true);
  Command1->setAutoDefault(false);
  recent->setPlaceholderText(tr("最近のプロジェクト"));
  recent->setToolTip(tr("最近開いたか保存したプロジェクト"));

  connect(Drive1, &DriveSelector::drive_changed, this, &Form3::Drive1_Change);
  connect(Dir1, &FolderList::folder_changed, this, &Form3::Dir1_Change);
  connect(File1, &FileList::file_clicked, this, &Form3::File1_Click);
  connect(File1, &FileList::file_double_clicked, this, &Form3::File1_DblClick);
  connect(file_name, &QLineEdit::returnPressed, this, &Form3::Command1_Click);
  connect(Command1, &QPushButton::clicked, this, &Form3::Command1_Click);
  connect(recent, &QComboBox::activated, this, &Form3::recent_Activated);
}

void Form3::open_for(int pst_mode, const QString& program_folder, const QString& project_file) {
  program_folder_ = program_folder;
  Drive1->set_home_drive(ProjectModel::drive_of(program_folder));
  const QFileInfo project(project_file);
  if (!project_file.isEmpty() && project.dir().exists()) {
    show_folder(project.absolutePath());
    file_name->setText(project.fileName());
  } else {
    show_folder(program_folder);
    file_name->clear();
  }
  pst_mode_ = pst_mode;
  mode_label->setText(pst_mode == kSave ? tr("SAVE するファイル") : tr("LOAD するファイル"));
  show_recent();
  show();
  raise();
  activateWindow();
}

void Form3::show_folder(const QString& folder) {
  Drive1->set_drive(folder);
  if (!Dir1->set_folder(folder)) {
    Dir1->set_folder(QDir::homePath());
  }
  if (!Dir1->folder().isEmpty()) {
    editor_.set_image_folder(Dir1->folder());
  }
}

void Form3::show_recent() {
  recent->clear();
  for (const QString& path : recent_projects::list()) {
    recent->addItem(QFileInfo(path).fileName(), path);
    recent->setItemData(recent->count() - 1, path, Qt::ToolTipRole);
  }
  recent->setCurrentIndex(-1);
  recent->setEnabled(recent->count() > 0);
}

void Form3::Drive1_Change(const QString& drive) {
  show_drive_root(*Dir1, drive, program_folder_);
}

void Form3::Dir1_Change(const QString& folder) {
  File1->set_folder(folder);
  editor_.set_image_folder(folder);
}

void Form3::File1_Click(const QString& name) {
  file_name->setText(name);
}

void Form3::File1_DblClick(const QString& name) {
  // A listed file is used as it is, its name unchecked.
  use_file(name);
}

void Form3::Command1_Click() {
  const QString name = settings_file_name(file_name->text());
  if (name != file_name->text()) {
    file_name->setText(name);
  }
  use_path(typed_settings_path(Dir1->folder(), name));
}

// A recent project: LOAD loads it at once; SAVE shows its folder and name,
// to be saved over with "OK". One that is gone leaves the list.
void Form3::recent_Activated(int index) {
  const QString path = recent->itemData(index).toString();
  recent->setCurrentIndex(-1);
  if (!QFileInfo(path).isFile()) {
    recent_projects::remove(path);
    show_recent();
    QMessageBox::warning(this, windowTitle(),
                         tr("「%1」はもうありません。最近のプロジェクトから外しました。")
                             .arg(QDir::toNativeSeparators(path)));
    return;
  }
  show_folder(QFileInfo(path).absolutePath());
  file_name->setText(QFileInfo(path).fileName());
  if (pst_mode_ != kSave) {
    use_path(path);
  }
}

void Form3::use_file(const QString& name) {
  use_path(join_folder_and_name(Dir1->folder(), name));
}

void Form3::use_path(const QString& path) {
  if (pst_mode_ == kSave && QFileInfo(path).isFile() &&
      QMessageBox::question(this, windowTitle(), tr("%1があります。上書きしますか？").arg(path),
                            QMessageBox::Yes | QMessageBox::No,
                            QMessageBox::No) != QMessageBox::Yes) {
    return;
  }
  // LOAD or SAVE as the label says, also when the main window has loaded a
  // file by other means since the dialog opened. A failure has been told;
  // the dialog stays, to try again.
  if (load_save_ && load_save_(pst_mode_, path)) {
    close();
  }
}

}  // namespace tamrisk::ui
