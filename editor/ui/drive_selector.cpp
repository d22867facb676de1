#include "ui/drive_selector.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QStorageInfo>
#include <algorithm>

#include "model/project_model.h"
#include "ui/folder_list.h"

namespace tamrisk::ui {

namespace {

// A root such as "C:/" is named the way the settings file stores drives.
QString drive_of_root(const QString& root) {
  if (root.size() == 3 && root.at(0).isLetter() && root.at(1) == QLatin1Char(':') &&
      (root.at(2) == QLatin1Char('/') || root.at(2) == QLatin1Char('\\'))) {
    return root.left(2);
  }
  return root;
}

bool is_letter_drive(const QString& drive) {
  return drive.size() == 2 && drive.at(1) == QLatin1Char(':');
}

}  // namespace

DriveSelector::DriveSelector(QWidget* parent) : QComboBox(parent), probe_(volume_ready) {
  QStringList roots;
  for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
    if (volume.isValid()) {
      roots.append(drive_of_root(volume.rootPath()));
    }
  }
  set_drives(roots);
  connect(this, &QComboBox::activated, this, &DriveSelector::on_activated);
}

QString DriveSelector::drive() const {
  return current_;
}

void DriveSelector::set_drives(const QStringList& drives) {
  const QSignalBlocker blocker(this);
  clear();
  QStringList sorted = drives;
  sorted.removeDuplicates();
  std::sort(sorted.begin(), sorted.end());
  for (const QString& drive : sorted) {
    add_drive(drive);
  }
  const int index = find_drive(current_);
  if (index >= 0) {
    setCurrentIndex(index);
  } else {
    setCurrentIndex(-1);
    current_.clear();
  }
}

QStringList DriveSelector::drives() const {
  QStringList list;
  for (int i = 0; i < count(); ++i) {
    list.append(itemData(i).toString());
  }
  return list;
}

void DriveSelector::set_home_drive(const QString& drive) {
  home_ = drive;
}

void DriveSelector::set_readiness_probe(ReadinessProbe probe) {
  probe_ = probe ? std::move(probe) : ReadinessProbe(volume_ready);
}

QString DriveSelector::root_of(const QString& drive) {
  return is_letter_drive(drive) ? drive + QLatin1Char('/') : drive;
}

bool DriveSelector::volume_ready(const QString& drive) {
  const QString root = root_of(drive);
  const QStorageInfo volume(root);
  return volume.isValid() && volume.isReady() && QFileInfo(root).isDir() && QDir(root).isReadable();
}

void DriveSelector::set_drive(const QString& path) {
  QString drive = path;
  if (find_drive(drive) < 0) {
    drive = ProjectModel::drive_of(path);
  }
  if (!probe_(drive)) {
    QApplication::beep();
    QMessageBox box(QMessageBox::Warning, QGuiApplication::applicationDisplayName(),
                    tr("ドライブの準備がまだです"), QMessageBox::Ok, this);
    box.exec();
    drive = home_;
  }
  select(drive);
}

void DriveSelector::on_activated(int index) {
  const QString chosen = itemData(index).toString();
  // The list already shows the choice; put back the drive in use until the
  // choice has been checked.
  {
    const QSignalBlocker blocker(this);
    setCurrentIndex(find_drive(current_));
  }
  set_drive(chosen);
}

void DriveSelector::select(const QString& drive) {
  if (drive.isEmpty()) {
    return;
  }
  int index = find_drive(drive);
  if (index < 0) {
    const QSignalBlocker blocker(this);
    add_drive(drive);
    index = find_drive(drive);
  }
  {
    const QSignalBlocker blocker(this);
    setCurrentIndex(index);
  }
  const QString selected = itemData(index).toString();
  if (selected != current_) {
    current_ = selected;
    emit drive_changed(current_);
  }
}

int DriveSelector::find_drive(const QString& drive) const {
  if (drive.isEmpty()) {
    return -1;
  }
  // Drive letters match in any case.
  const Qt::CaseSensitivity cs = is_letter_drive(drive) ? Qt::CaseInsensitive : Qt::CaseSensitive;
  for (int i = 0; i < count(); ++i) {
    if (itemData(i).toString().compare(drive, cs) == 0) {
      return i;
    }
  }
  return -1;
}

void DriveSelector::add_drive(const QString& drive) {
  addItem(QDir::toNativeSeparators(drive), drive);
}

void show_drive_root(FolderList& list, const QString& drive, const QString& program_folder) {
  for (const QString& folder : {DriveSelector::root_of(drive), program_folder, QDir::homePath()}) {
    if (!folder.isEmpty() && list.set_folder(folder)) {
      return;
    }
  }
}

}  // namespace tamrisk::ui
