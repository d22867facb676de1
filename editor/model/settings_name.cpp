#include "model/settings_name.h"

#include <QDir>

namespace tamrisk {

QString settings_file_name(const QString& typed) {
  constexpr qsizetype kExtensionLength = 4;
  if (typed.size() > kExtensionLength) {
    const QString extension = typed.right(kExtensionLength);
    if (extension == QLatin1String(".pst") || extension == QLatin1String(".PST")) {
      return typed;
    }
  }
  return typed + QLatin1String(".pst");
}

QString join_folder_and_name(const QString& folder, const QString& name) {
  const QString native = QDir::toNativeSeparators(folder);
  if (native.isEmpty() || native.endsWith(QDir::separator())) {
    return native + name;
  }
  return native + QDir::separator() + name;
}

QString typed_settings_path(const QString& folder, const QString& typed) {
  if (typed == QLatin1String("~") || typed.startsWith(QLatin1String("~/"))) {
    return QDir::toNativeSeparators(QDir::cleanPath(QDir::homePath() + typed.mid(1)));
  }
  if (QDir::isAbsolutePath(typed)) {
    return QDir::toNativeSeparators(QDir::cleanPath(typed));
  }
  return join_folder_and_name(folder, typed);
}

}  // namespace tamrisk
