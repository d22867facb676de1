#pragma once

#include <QSet>
#include <QString>
#include <QTreeView>

class QTimer;

namespace tamrisk::ui {

class FolderModel;

// The folder list `Dir1`: the folder tree, folders only, hidden ones too. The
// selected folder is the current one; selecting another, by the user or by
// set_folder, reports it through folder_changed. A folder's subfolders are
// read at once when it is first opened, so the tree is whole as soon as
// set_folder returns, and read again shortly after folders come or go in it.
class FolderList : public QTreeView {
  Q_OBJECT

 public:
  explicit FolderList(QWidget* parent = nullptr);

  // The current folder, with the platform's separators; empty before the
  // first set_folder.
  QString folder() const { return folder_; }

  // Makes an existing folder current and shows it. Returns false, and
  // changes nothing, when there is no such folder.
  bool set_folder(const QString& folder);

  // The row of an existing folder, reading the folders above it as needed;
  // invalid when there is no such folder.
  QModelIndex index_of(const QString& folder);

 signals:
  void folder_changed(const QString& folder);

 protected:
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

 private:
  void open(const QModelIndex& index);
  void read_changed_folders();

  FolderModel* model_;
  QTimer* refresh_timer_;
  QSet<QString> changed_;  // watched folders that changed since the last reading
  QString folder_;
};

}  // namespace tamrisk::ui
