#include "export/export_paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace tamrisk {

bool has_token_break(const QString& text) {
  for (const QChar c : text) {
    if (c == u' ' || c == u'\t' || c == u'\r' || c == u'\n') {
      return true;
    }
  }
  return false;
}

QString frame_number(int k) {
  return QStringLiteral("%1").arg(k, 2, 10, QLatin1Char('0'));
}

bool check_basename(const QString& basename, QString* error) {
  bool bad = has_token_break(basename) || basename.contains(u'/');
#ifdef _WIN32
  bad = bad || basename.contains(u'\\');
#endif
  if (bad && error != nullptr) {
    *error = QCoreApplication::translate(
                 "tamrisk::ExportPaths",
                 "ファイル名「%1」には空白、タブ、改行、フォルダの区切り（%2）を使えません。")
                 .arg(basename, QDir::separator());
  }
  return !bad;
}

ExportPaths::ExportPaths(const QString& folder, const QString& basename)
    : folder_(QDir::toNativeSeparators(
          QDir::isRelativePath(folder) ? QFileInfo(folder).absoluteFilePath() : folder)),
      basename_(basename) {}

QString ExportPaths::prefix() const {
  return folder_ + QDir::separator() + basename_;
}

namespace {

QString scaled_part(int scale) {
  return scale > 1 ? QStringLiteral("_x%1_").arg(scale) : QString();
}

}  // namespace

QString ExportPaths::frame_file(int k, bool png, int scale) const {
  return prefix() + scaled_part(scale) + frame_number(k) +
         (png ? QStringLiteral(".png") : QStringLiteral(".bmp"));
}

QString ExportPaths::script_file() const {
  return prefix() + QStringLiteral("_mng.txt");
}

QString ExportPaths::final_animation() const {
  return prefix() + QStringLiteral(".mng");
}

QString ExportPaths::animation_file(AnimationFormat format) const {
  return prefix() + format_suffix(format);
}

QString ExportPaths::companion_file(AnimationFormat format) const {
  const QString suffix = format_companion_suffix(format);
  return suffix.isEmpty() ? QString() : prefix() + suffix;
}

QString ExportPaths::compiler_output() const {
  return folder_ + QDir::separator() + QLatin1String(kCompilerOutputName);
}

bool ExportPaths::bare_names() const {
  return has_token_break(folder_);
}

QString ExportPaths::script_frame_name(int k, int scale) const {
  if (bare_names()) {
    return basename_ + scaled_part(scale) + frame_number(k) + QStringLiteral(".png");
  }
  return frame_file(k, true, scale);
}

}  // namespace tamrisk
