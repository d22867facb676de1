#pragma once

#include <QComboBox>
#include <QString>
#include <QStringList>
#include <functional>

namespace tamrisk::ui {

class FolderList;

// The drive list `Drive1`: the mounted volumes, each by its root path ("/"
// on Linux, "c:" style on Windows). Choosing a volume that is not ready
// beeps, says so in a message box with only an OK button and selects the
// home drive (the drive of the program's folder) instead.
class DriveSelector : public QComboBox {
  Q_OBJECT

 public:
  // Tells whether a drive can be used; the default asks the volume and
  // whether its root can be read.
  using ReadinessProbe = std::function<bool(const QString& drive)>;

  explicit DriveSelector(QWidget* parent = nullptr);

  // The selected drive; empty when none is.
  QString drive() const;

  // Replaces the listed drives (the mounted volumes are listed at first).
  void set_drives(const QStringList& drives);
  QStringList drives() const;

  // Where the selector returns when a chosen drive is not ready.
  void set_home_drive(const QString& drive);
  QString home_drive() const { return home_; }

  void set_readiness_probe(ReadinessProbe probe);

  // Selects the drive holding path (a drive or any path on it) as if the user
  // had chosen it, not-ready handling included.
  void set_drive(const QString& path);

  // The root folder of a drive: "c:" is "c:/", a mount point is itself.
  static QString root_of(const QString& drive);
  static bool volume_ready(const QString& drive);

 signals:
  // The selection changed, by the user or by set_drive.
  void drive_changed(const QString& drive);

 private:
  void on_activated(int index);
  // Selects the drive, listing it first if need be; emits drive_changed when
  // the selection moves.
  void select(const QString& drive);
  int find_drive(const QString& drive) const;
  void add_drive(const QString& drive);

  QString home_;
  QString current_;
  ReadinessProbe probe_;
};

// After a drive change: shows in list the drive's root or, where that cannot
// be shown (a drive without a readable root), the program's folder, and
// failing that too the user's home folder.
void show_drive_root(FolderList& list, const QString& drive, const QString& program_folder);

}  // namespace tamrisk::ui
