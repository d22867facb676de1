#include "ui/recent_projects.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace tamrisk::ui::recent_projects {

namespace {

const QString kKey = QStringLiteral("files/recent");

// One spelling of each file, so that the same file never shows twice.
QString normal(const QString& path) {
  return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

void store(const QStringList& paths) {
  QSettings().setValue(kKey, paths);
}

}  // namespace

QStringList list() {
  QStringList paths = QSettings().value(kKey).toStringList();
  paths.removeAll(QString());
  paths.removeDuplicates();
  return paths.mid(0, kMaxRecent);
}

void add(const QString& path) {
  const QString file = normal(path);
  QStringList paths = list();
  paths.removeAll(file);
  paths.prepend(file);
  store(paths.mid(0, kMaxRecent));
}

void remove(const QString& path) {
  QStringList paths = list();
  paths.removeAll(path);
  paths.removeAll(normal(path));
  store(paths);
}

}  // namespace tamrisk::ui::recent_projects
