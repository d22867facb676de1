#include "ui/form2.h"

#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>

#include "model/layer_picture.h"
#include "model/settings_name.h"
#include "ui/drive_selector.h"
#include "ui/file_list.h"
#include "ui/folder_list.h"

namespace tamrisk::ui {

namespace {

const QStringList kFileTypes = {QStringLiteral("*.BMP"), QStringLiteral("*.JPG"),
                                QStringLiteral("*.PNG")};

// Enter in the type box does nothing: only choosing an entry from the list
// changes the file pattern, even when the typed text equals an entry.
class SwallowEnter : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        return true;
      }
    }
    return QObject::eventFilter(watched, event);
  }
};

// An existing folder to open in: the wanted one, else the program's folder,
// else the home folder.
QString existing_folder(const QString& wanted, const QString& program_folder) {
  for (const QString& folder : {wanted, program_folder}) {
    if (!folder.isEmpty() && QDir(folder).exists()) {
      return folder;
    }
  }
  return QDir::homePath();
}

}  // namespace

Form2::Form2(ProjectEditor& editor, QWidget* parent)
    : QDialog(parent),
      editor_(editor),
      model_(editor.model()),
      Drive1(new DriveSelector(this)),
      Dir1(new FolderList(this)),
      File1(new FileList(this)),
      Combo1(new QComboBox(this)),
      Label2(new QLabel(this)),
      HScroll1(new QScrollBar(Qt::Horizontal, this)),
      Command2(new QPushButton(tr("next"), this)),
      Command1(new QPushButton(tr("OK"), this)) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(tr("ファイルを開く"));
  setFixedSize(481, 222);

  Drive1->setObjectName(QStringLiteral("Drive1"));
  Dir1->setObjectName(QStringLiteral("Dir1"));
  File1->setObjectName(QStringLiteral("File1"));
  Combo1->setObjectName(QStringLiteral("Combo1"));
  Label2->setObjectName(QStringLiteral("Label2"));
  HScroll1->setObjectName(QStringLiteral("HScroll1"));
  Command2->setObjectName(QStringLiteral("Command2"));
  Command1->setObjectName(QStringLiteral("Command1"));

  Drive1->setGeometry(24, 24, 145, 21);
  Dir1->setGeometry(24, 64, 145, 111);
  Combo1->setGeometry(216, 24, 137, 21);
  File1->setGeometry(216, 64, 137, 110);
  Label2->setGeometry(376, 16, 89, 17);
  HScroll1->setGeometry(368, 40, 105, 17);
  Command2->setGeometry(360, 64, 113, 33);
  Command1->setGeometry(360, 104, 113, 89);

  Combo1->setEditable(true);
  Combo1->setInsertPolicy(QComboBox::NoInsert);
  Combo1->setCompleter(nullptr);
  Combo1->lineEdit()->installEventFilter(new SwallowEnter(Combo1));
  HScroll1->setRange(0, kLayerCount - 1);
  HScroll1->setSingleStep(1);
  HScroll1->setPageStep(1);
  // Qt's scroll bars invert their keys by default; Left must step back.
  HScroll1->setInvertedControls(false);
  for (QPushButton* button : {Command1, Command2}) {
    button->setAutoDefault(false);
  }

  connect(Drive1, &DriveSelector::drive_changed, this, &Form2::Drive1_Change);
  connect(Dir1, &FolderList::folder_changed, this, &Form2::Dir1_Change);
  connect(File1, &FileList::file_clicked, this, &Form2::File1_Click);
  connect(Combo1, &QComboBox::activated, this, &Form2::Combo1_Click);
  connect(HScroll1, &QScrollBar::valueChanged, this, &Form2::HScroll1_Change);
  connect(Command2, &QPushButton::clicked, this, &Form2::Command2_Click);
  connect(Command1, &QPushButton::clicked, this, &Form2::Command1_Click);

  // path_ref is read first: moving to its drive moves the folder list, which
  // rewrites path_ref.
  const QString folder = existing_folder(model_.path_ref, model_.program_folder());
  Drive1->set_home_drive(ProjectModel::drive_of(model_.program_folder()));
  Drive1->set_drive(folder);
  Dir1->set_folder(folder);

  File1->set_pattern(kFileTypes.first());
  Combo1->setEditText(kFileTypes.first());
  Combo1->addItems(kFileTypes);
  Combo1->setCurrentIndex(0);
}

void Form2::open_for_layer(int layer) {
  show();
  raise();
  activateWindow();
  Label2->setText(ProjectModel::layer_name(layer));
  HScroll1->setValue(layer);
}

int Form2::current_layer() const {
  return HScroll1->value();
}

void Form2::Drive1_Change(const QString& drive) {
  show_drive_root(*Dir1, drive, model_.program_folder());
}

void Form2::Dir1_Change(const QString& folder) {
  File1->set_folder(folder);
  editor_.set_image_folder(folder);
}

void Form2::File1_Click(const QString& name) {
  const int layer = current_layer();
  QString error;
  const bool ok = editor_.load_picture(layer, join_folder_and_name(Dir1->folder(), name),
                                       picker_uses_png_reader(Combo1->currentText()), &error);
  emit layer_loaded(layer);
  if (!ok) {
    QMessageBox::warning(this, windowTitle(), error);
  }
}

void Form2::Combo1_Click(int index) {
  File1->set_pattern(Combo1->itemText(index));
}

void Form2::HScroll1_Change(int value) {
  Label2->setText(ProjectModel::layer_name(value));
}

void Form2::Command2_Click() {
  HScroll1->setValue((current_layer() + 1) % kLayerCount);
}

void Form2::Command1_Click() {
  close();
}

}  // namespace tamrisk::ui
