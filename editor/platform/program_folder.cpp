#include "platform/program_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace tamrisk {

QString program_folder() {
  const QString folder = QCoreApplication::applicationDirPath();
  const QFileInfo info(folder);
  if (!folder.isEmpty() && info.isDir() && info.isWritable()) {
    return QDir::toNativeSeparators(folder);
  }
  return QDir::toNativeSeparators(QDir::homePath());
}

QString default_compiler_path() {
#ifdef _WIN32
  const QString name = QStringLiteral("vessik.exe");
#else
  const QString name = QStringLiteral("vessik");
#endif
  return QDir::toNativeSeparators(QDir(QCoreApplication::applicationDirPath()).filePath(name));
}

}  // namespace tamrisk
