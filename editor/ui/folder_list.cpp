#include "ui/folder_list.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QTimer>

namespace tamrisk::ui {

FolderList::FolderList(QWidget* parent) : QTreeView(parent), model_(new QFileSystemModel(this)) {
  // Hidden folders are listed too, so that a folder inside one can be shown.
  model_->setFilter(QDir::AllDirs | QDir::Drives | QDir::NoDotAndDotDot | QDir::Hidden);
  model_->setRootPath(QString());
  setModel(model_);
  for (int column = 1; column < model_->columnCount(); ++column) {
    hideColumn(column);
  }
  header()->hide();
  setIndentation(12);
  setUniformRowHeights(true);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  // Folders are read in the background, and every folder listed above the
  // current one moves it down: keep it in sight.
  connect(model_, &QFileSystemModel::rowsInserted, this, [this](const QModelIndex& under) {
    for (QModelIndex i = currentIndex(); i.isValid(); i = i.parent()) {
      if (i == under) {
        keep_current_in_sight();
        return;
      }
    }
  });
  connect(model_, &QFileSystemModel::layoutChanged, this, &FolderList::keep_current_in_sight);
}

bool FolderList::set_folder(const QString& folder) {
  const QFileInfo info(folder);
  if (folder.isEmpty() || !info.isDir()) {
    return false;
  }
  const QModelIndex index = model_->index(QDir::cleanPath(info.absoluteFilePath()));
  if (!index.isValid()) {
    return false;
  }
  for (QModelIndex parent = index.parent(); parent.isValid(); parent = parent.parent()) {
    expand(parent);
  }
  setCurrentIndex(index);
  scrollTo(index);
  return true;
}

void FolderList::keep_current_in_sight() {
  if (scroll_pending_) {
    return;
  }
  scroll_pending_ = true;
  QTimer::singleShot(0, this, [this] {
    scroll_pending_ = false;
    if (currentIndex().isValid()) {
      scrollTo(currentIndex());
    }
  });
}

void FolderList::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  QTreeView::currentChanged(current, previous);
  if (!current.isValid()) {
    return;
  }
  // The subfolders of the current folder show below it.
  expand(current);
  const QString folder = QDir::toNativeSeparators(model_->filePath(current));
  if (folder != folder_) {
    folder_ = folder;
    emit folder_changed(folder_);
  }
}

}  // namespace tamrisk::ui
