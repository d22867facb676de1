#include "ui/folder_list.h"

#include <QAbstractItemModel>
#include <QCollator>
#include <QDir>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QHeaderView>
#include <QIcon>
#include <QTimer>

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

namespace tamrisk::ui {

namespace {

constexpr QDir::Filters kFolders = QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Hidden;

// Folders come and go in bursts: read them again once the burst has settled.
constexpr int kRefreshDelayMs = 200;

#ifdef Q_OS_WIN
constexpr Qt::CaseSensitivity kNameCase = Qt::CaseInsensitive;
#else
constexpr Qt::CaseSensitivity kNameCase = Qt::CaseSensitive;
#endif

}  // namespace

// The tree behind FolderList: the drives at the top and under each folder,
// once it has been read, its subfolders in the locale's order, letter case
// aside and digits by their value where the locale's collation can. Each
// row's internal pointer is its Node. Every folder read is watched; reread()
// brings it up to date.
class FolderModel : public QAbstractItemModel {
 public:
  explicit FolderModel(QObject* parent);
  using QObject::parent;

  QFileSystemWatcher* watcher() const { return watcher_; }

  // The row of the existing folder at path (absolute and clean, '/'
  // separators), the folders on the way read as needed; invalid when it is
  // on no drive.
  QModelIndex find(const QString& path) {
    const Node* n = walk(path, true);
    return n != nullptr ? index_of(n) : QModelIndex();
  }
  // The folder's path with '/' separators.
  QString path(const QModelIndex& index) const { return node(index)->path; }
  // Reads the folder at path again if it has been read.
  void reread(const QString& path);
  // Whether a row is being removed right now (the view may choose another
  // current folder meanwhile); the tree must not change again until then.
  bool changing() const { return changing_; }

  QModelIndex index(int row, int column, const QModelIndex& parent) const override;
  QModelIndex parent(const QModelIndex& child) const override;
  int rowCount(const QModelIndex& parent) const override;
  int columnCount(const QModelIndex&) const override { return 1; }
  QVariant data(const QModelIndex& index, int role) const override;
  bool hasChildren(const QModelIndex& parent) const override;
  bool canFetchMore(const QModelIndex& parent) const override { return !node(parent)->read; }
  void fetchMore(const QModelIndex& parent) override { read(node(parent)); }

 private:
  struct Node {
    QString name;  // as shown
    QString path;
    Node* up = nullptr;
    int row = 0;  // among up's children
    bool read = false;
    std::vector<std::unique_ptr<Node>> children;
  };

  Node* node(const QModelIndex& index) const {
    return index.isValid() ? static_cast<Node*>(index.internalPointer()) : top_.get();
  }
  QModelIndex index_of(const Node* n) const {
    return n == top_.get() ? QModelIndex() : createIndex(n->row, 0, n);
  }
  // The node of path, reading the folders on the way when `reading`, else
  // only as far as the tree holds it; null when there is none.
  Node* walk(const QString& path, bool reading);
  Node* child_named(const Node* n, const QString& name) const;
  bool before(const QString& a, const QString& b) const {
    const int order = collator_.compare(a, b);
    return order != 0 ? order < 0 : a < b;
  }
  // Where a new subfolder of n goes.
  int row_for(const Node* n, const QString& name) const {
    const auto at = std::find_if(n->children.begin(), n->children.end(),
                                 [&](const auto& c) { return before(name, c->name); });
    return static_cast<int>(at - n->children.begin());
  }
  static QString joined(const QString& folder, const QString& name) {
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
  }
  void read(Node* n);
  void insert(Node* n, int row, const QStringList& names);
  void remove(Node* n, int row);
  void unwatch(const Node* n);

  std::unique_ptr<Node> top_;  // above the drives, never shown
  QCollator collator_;
  QIcon drive_icon_;
  QIcon folder_icon_;
  QFileSystemWatcher* watcher_;
  bool changing_ = false;
};

FolderModel::FolderModel(QObject* parent)
    : QAbstractItemModel(parent),
      top_(std::make_unique<Node>()),
      watcher_(new QFileSystemWatcher(this)) {
  collator_.setNumericMode(true);
  collator_.setCaseSensitivity(Qt::CaseInsensitive);
  const QFileIconProvider icons;
  drive_icon_ = icons.icon(QAbstractFileIconProvider::Drive);
  folder_icon_ = icons.icon(QAbstractFileIconProvider::Folder);
  top_->read = true;
  for (const QFileInfo& drive : QDir::drives()) {
    auto n = std::make_unique<Node>();
    n->path = drive.absoluteFilePath();
    // "C:/" shows as "C:", "/" as itself.
    n->name = QDir::toNativeSeparators(
        n->path.size() > 1 && n->path.endsWith(QLatin1Char('/')) ? n->path.chopped(1) : n->path);
    n->up = top_.get();
    n->row = static_cast<int>(top_->children.size());
    top_->children.push_back(std::move(n));
  }
}

FolderModel::Node* FolderModel::walk(const QString& path, bool reading) {
  const auto drive = std::find_if(top_->children.begin(), top_->children.end(), [&](const auto& d) {
    return path.startsWith(d->path, kNameCase);
  });
  if (drive == top_->children.end()) {
    return nullptr;
  }
  Node* n = drive->get();
  for (const QString& name : path.mid(n->path.size()).split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
    if (reading && !n->read) {
      read(n);
    }
    Node* child = child_named(n, name);
    if (child == nullptr) {
      // A folder the listing leaves out (its parent cannot be listed) is
      // shown all the same.
      if (!reading || !QFileInfo(joined(n->path, name)).isDir()) {
        return nullptr;
      }
      const int row = row_for(n, name);
      insert(n, row, {name});
      child = n->children[static_cast<size_t>(row)].get();
    }
    n = child;
  }
  return n;
}

void FolderModel::reread(const QString& path) {
  Node* n = walk(path, false);
  if (n != nullptr && n->read) {
    read(n);
  }
}

FolderModel::Node* FolderModel::child_named(const Node* n, const QString& name) const {
  for (const auto& child : n->children) {
    if (child->name.compare(name, kNameCase) == 0) {
      return child.get();
    }
  }
  return nullptr;
}

void FolderModel::read(Node* n) {
  if (!n->read) {
    n->read = true;
    watcher_->addPath(n->path);
  }
  QStringList names = QDir(n->path).entryList(kFolders, QDir::NoSort);
  const QSet<QString> listed(names.begin(), names.end());
  // Folders that are gone leave the tree; one that the listing leaves out
  // but that is still there stays.
  for (int row = static_cast<int>(n->children.size()) - 1; row >= 0; --row) {
    const Node* child = n->children[static_cast<size_t>(row)].get();
    if (!listed.contains(child->name) && !QFileInfo(child->path).isDir()) {
      remove(n, row);
    }
  }
  QSet<QString> known;
  for (const auto& child : n->children) {
    known.insert(child->name);
  }
  names.removeIf([&](const QString& name) { return known.contains(name); });
  std::sort(names.begin(), names.end(),
            [this](const QString& a, const QString& b) { return before(a, b); });
  if (n->children.empty()) {
    insert(n, 0, names);
    return;
  }
  for (const QString& name : names) {
    insert(n, row_for(n, name), {name});
  }
}

void FolderModel::insert(Node* n, int row, const QStringList& names) {
  if (names.isEmpty()) {
    return;
  }
  beginInsertRows(index_of(n), row, row + static_cast<int>(names.size()) - 1);
  std::vector<std::unique_ptr<Node>> added;
  for (const QString& name : names) {
    auto child = std::make_unique<Node>();
    child->name = name;
    child->path = joined(n->path, name);
    child->up = n;
    added.push_back(std::move(child));
  }
  n->children.insert(n->children.begin() + row, std::make_move_iterator(added.begin()),
                     std::make_move_iterator(added.end()));
  for (size_t i = static_cast<size_t>(row); i < n->children.size(); ++i) {
    n->children[i]->row = static_cast<int>(i);
  }
  endInsertRows();
}

void FolderModel::remove(Node* n, int row) {
  changing_ = true;
  beginRemoveRows(index_of(n), row, row);
  unwatch(n->children[static_cast<size_t>(row)].get());
  n->children.erase(n->children.begin() + row);
  for (size_t i = static_cast<size_t>(row); i < n->children.size(); ++i) {
    n->children[i]->row = static_cast<int>(i);
  }
  endRemoveRows();
  changing_ = false;
}

void FolderModel::unwatch(const Node* n) {
  if (n->read) {
    watcher_->removePath(n->path);
  }
  for (const auto& child : n->children) {
    unwatch(child.get());
  }
}

QModelIndex FolderModel::index(int row, int column, const QModelIndex& parent) const {
  const Node* n = node(parent);
  if (row < 0 || static_cast<size_t>(row) >= n->children.size() || column != 0) {
    return {};
  }
  return createIndex(row, 0, n->children[static_cast<size_t>(row)].get());
}

QModelIndex FolderModel::parent(const QModelIndex& child) const {
  return child.isValid() ? index_of(node(child)->up) : QModelIndex();
}

int FolderModel::rowCount(const QModelIndex& parent) const {
  return parent.column() > 0 ? 0 : static_cast<int>(node(parent)->children.size());
}

bool FolderModel::hasChildren(const QModelIndex& parent) const {
  // A folder not read yet may have subfolders: it can be opened.
  const Node* n = node(parent);
  return !n->read || !n->children.empty();
}

QVariant FolderModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) {
    return {};
  }
  const Node* n = node(index);
  if (role == Qt::DisplayRole) {
    return n->name;
  }
  if (role == Qt::DecorationRole) {
    return n->up == top_.get() ? drive_icon_ : folder_icon_;
  }
  return {};
}

FolderList::FolderList(QWidget* parent)
    : QTreeView(parent), model_(new FolderModel(this)), refresh_timer_(new QTimer(this)) {
  setModel(model_);
  header()->hide();
  setIndentation(12);
  setUniformRowHeights(true);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  refresh_timer_->setSingleShot(true);
  refresh_timer_->setInterval(kRefreshDelayMs);
  connect(refresh_timer_, &QTimer::timeout, this, &FolderList::read_changed_folders);
  connect(model_->watcher(), &QFileSystemWatcher::directoryChanged, this,
          [this](const QString& path) {
            changed_.insert(path);
            refresh_timer_->start();
          });
}

bool FolderList::set_folder(const QString& folder) {
  const QModelIndex index = index_of(folder);
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

QModelIndex FolderList::index_of(const QString& folder) {
  const QFileInfo info(folder);
  if (folder.isEmpty() || !info.isDir()) {
    return {};
  }
  return model_->find(QDir::cleanPath(info.absoluteFilePath()));
}

void FolderList::read_changed_folders() {
  const QSet<QString> changed = std::exchange(changed_, {});
  const QString current = QDir::fromNativeSeparators(folder_);
  bool above_current = false;
  for (const QString& path : changed) {
    model_->reread(path);
    above_current = above_current || current.startsWith(path, kNameCase);
  }
  // Every folder listed above the current one moves it down: keep it in sight.
  if (above_current && currentIndex().isValid()) {
    scrollTo(currentIndex());
  }
}

void FolderList::open(const QModelIndex& index) {
  // Read before the view lays the subfolders out.
  if (model_->canFetchMore(index)) {
    model_->fetchMore(index);
  }
  expand(index);
}

void FolderList::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  QTreeView::currentChanged(current, previous);
  if (!current.isValid()) {
    return;
  }
  // The subfolders of the current folder show below it. When the current
  // folder was removed and the view chose another, that one opens once the
  // removal is done.
  if (model_->changing()) {
    QMetaObject::invokeMethod(
        this,
        [this, index = QPersistentModelIndex(current)] {
          if (index.isValid() && index == currentIndex()) {
            open(index);
          }
        },
        Qt::QueuedConnection);
  } else {
    open(current);
  }
  const QString folder = QDir::toNativeSeparators(model_->path(current));
  if (folder != folder_) {
    folder_ = folder;
    emit folder_changed(folder_);
  }
}

}  // namespace tamrisk::ui
