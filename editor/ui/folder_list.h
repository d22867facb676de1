#pragma once

#include <QString>
#include <QTreeView>

class QFileSystemModel;

namespace tamrisk::ui {

// The folder list `Dir1`: the folder tree, folders only. The selected folder
// is the current one; selecting another, by the user or by set_folder,
// reports it through folder_changed.
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

 signals:
  void folder_changed(const QString& folder);

 protected:
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

 private:
  void keep_current_in_sight();

  QFileSystemModel* model_;
  QString folder_;
  bool scroll_pending_ = false;
};

}  // namespace tamrisk::ui
