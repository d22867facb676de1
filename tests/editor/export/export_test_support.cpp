#include "export_test_support.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <unistd.h>

namespace export_test {

QByteArray read_file(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(cannot be read)");
}

void write_file(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
    qFatal("cannot write %s", qPrintable(path));
  }
}

void write_program(const QString& path, const QByteArray& body) {
  write_file(path, "#!/bin/sh\n" + body);
  QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner);
}

QStringList names_in(const QString& folder) {
  return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

bool ignores_permissions() {
  return geteuid() == 0;
}

QString pngcheck_complaint(const QString& path) {
  if (QStandardPaths::findExecutable("pngcheck").isEmpty()) {
    return QString();
  }
  QProcess process;
  process.start("pngcheck", {path});
  process.waitForFinished(30000);
  const bool ok = process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
  return ok ? QString() : QString::fromLocal8Bit(process.readAll());
}

std::vector<QImage> decode_mng(const QString& path, int count) {
  std::vector<QImage> frames;
  QImageReader reader(path, "mng");
  for (QImage image;
       static_cast<int>(frames.size()) < count && !(image = reader.read()).isNull();) {
    frames.push_back(image);
  }
  return frames;
}

std::vector<QImage> read_with_magick(const QString& path, QStringList* timing) {
  std::vector<QImage> frames;
  QTemporaryDir out;
  QProcess convert;
  convert.start("convert", {path, out.filePath("frame%03d.png")});
  convert.waitForFinished(60000);
  for (const QString& name : names_in(out.path())) {
    frames.push_back(QImage(out.filePath(name)));
  }
  QProcess identify;
  identify.start("identify", {"-verbose", path});
  identify.waitForFinished(60000);
  for (const QString& line : QString::fromLocal8Bit(identify.readAll()).split('\n')) {
    if (line.trimmed().startsWith("Delay: ") || line.trimmed().startsWith("Iterations: ")) {
      *timing << line.trimmed();
    }
  }
  return frames;
}

QString first_difference(const QImage& actual, const QImage& expected) {
  if (actual.size() != expected.size()) {
    return QStringLiteral("size %1x%2").arg(actual.width()).arg(actual.height());
  }
  for (int y = 0; y < actual.height(); ++y) {
    for (int x = 0; x < actual.width(); ++x) {
      if ((actual.pixel(x, y) ^ expected.pixel(x, y)) & 0xFFFFFF) {
        return QStringLiteral("pixel (%1, %2)").arg(x).arg(y);
      }
    }
  }
  return QString();
}

}  // namespace export_test
