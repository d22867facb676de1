#include "ui/file_list.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QKeyEvent>
#include <QStringListModel>
#include <QTimer>

#include <algorithm>

namespace tamrisk::ui {

namespace {

// Files come and go in bursts (an export writes a frame after another):
// read the folder once the burst has settled.
constexpr int kRefreshDelayMs = 200;

}  // namespace

FileList::FileList(QWidget* parent)
    : QListView(parent),
      model_(new QStringListModel(this)),
      watcher_(new QFileSystemWatcher(this)),
      refresh_timer_(new QTimer(this)) {
  setModel(model_);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setUniformItemSizes(true);
  refresh_timer_->setSingleShot(true);
  refresh_timer_->setInterval(kRefreshDelayMs);
  connect(refresh_timer_, &QTimer::timeout, this, &FileList::refresh);
  connect(watcher_, &QFileSystemWatcher::directoryChanged, refresh_timer_,
          qOverload<>(&QTimer::start));
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
}

void FileList::set_folder(const QString& folder) {
  folder_ = QDir::toNativeSeparators(folder);
  watch(folder);
  refresh();
  clearSelection();
  setCurrentIndex(QModelIndex());
}

void FileList::set_pattern(const QString& pattern) {
  pattern_ = pattern;
  refresh();
}

void FileList::set_hidden_listed(bool listed) {
  hidden_listed_ = listed;
  refresh();
}

void FileList::refresh() {
  refresh_timer_->stop();
  QStringList filters;
  for (const QString& part : pattern_.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
    filters.append(part.trimmed());
  }
  QStringList names;
  if (!folder_.isEmpty() && !filters.isEmpty()) {
    // Hidden files stay out unless asked for, as in any file chooser;
    // letter case does not matter in the wildcards.
    QDir::Filters kinds = QDir::Files | QDir::NoDotAndDotDot;
    if (hidden_listed_) {
      kinds |= QDir::Hidden;
    }
    names = QDir(QDir::fromNativeSeparators(folder_)).entryList(filters, kinds, QDir::NoSort);
    // Alphabetical, letter case aside, the same in every locale.
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
      const int order = QString::compare(a, b, Qt::CaseInsensitive);
      return order != 0 ? order < 0 : a < b;
    });
  }
  if (names == model_->stringList()) {
    return;
  }
  const QString chosen = currentIndex().isValid() ? name_at(currentIndex()) : QString();
  const bool was_selected = selectionModel()->hasSelection();
  model_->setStringList(names);
  const qsizetype row = chosen.isEmpty() ? -1 : names.indexOf(chosen);
  if (row >= 0) {
    const QModelIndex index = model_->index(static_cast<int>(row), 0);
    selectionModel()->setCurrentIndex(
        index, was_selected ? QItemSelectionModel::ClearAndSelect : QItemSelectionModel::NoUpdate);
  }
}

void FileList::watch(const QString& folder) {
  const QStringList watched = watcher_->directories();
  if (!watched.isEmpty()) {
    watcher_->removePaths(watched);
  }
  if (!folder.isEmpty() && QFileInfo(folder).isDir()) {
    watcher_->addPath(QDir::fromNativeSeparators(folder));
  }
}

QStringList FileList::file_names() const {
  return model_->stringList();
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
  return model_->data(index, Qt::DisplayRole).toString();
}

}  // namespace tamrisk::ui
