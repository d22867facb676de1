#include "ui/file_list.h"

#include <QDir>
#include <QFileSystemModel>
#include <QKeyEvent>

namespace tamrisk::ui {

FileList::FileList(QWidget* parent) : QListView(parent), model_(new QFileSystemModel(this)) {
  model_->setFilter(QDir::Files | QDir::NoDotAndDotDot);
  model_->setNameFilterDisables(false);
  model_->setReadOnly(true);
  setModel(model_);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setUniformItemSizes(true);
  connect(this, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
    if (index.isValid()) {
      emit file_clicked(name_at(index));
    }
  });
  connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
    if (index.isValid()) {
      emit file_double_clicked(name_at(index));
    }
  });
  // The model sorts only when asked; ask again whenever a folder has been read.
  connect(model_, &QFileSystemModel::directoryLoaded, this,
          [this] { model_->sort(0, Qt::AscendingOrder); });
}

void FileList::set_folder(const QString& folder) {
  folder_ = QDir::toNativeSeparators(folder);
  setRootIndex(model_->setRootPath(folder));
  clearSelection();
}

void FileList::set_pattern(const QString& pattern) {
  pattern_ = pattern;
  QStringList filters;
  for (const QString& part : pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
    filters.append(part.trimmed());
  }
  model_->setNameFilters(filters);
}

QStringList FileList::file_names() const {
  QStringList names;
  const QModelIndex root = rootIndex();
  if (!root.isValid()) {
    return names;
  }
  for (int row = 0; row < model_->rowCount(root); ++row) {
    names.append(name_at(model_->index(row, 0, root)));
  }
  return names;
}

void FileList::keyPressEvent(QKeyEvent* event) {
  const QModelIndex before = currentIndex();
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    if (before.isValid()) {
      emit file_double_clicked(name_at(before));
    }
    event->accept();
    return;
  }
  QListView::keyPressEvent(event);
  const QModelIndex after = currentIndex();
  if (after.isValid() && after != before) {
    emit file_clicked(name_at(after));
  }
}

QString FileList::name_at(const QModelIndex& index) const {
  return model_->fileName(index);
}

}  // namespace tamrisk::ui
