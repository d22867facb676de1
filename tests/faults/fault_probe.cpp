// Runs one step of the editor's core in a process of its own, so that a test
// can give it a full disk or a memory limit:
//
//   fault_probe save-settings FILE   saves a small project to FILE
//   fault_probe read-png FILE        reads FILE as a layer picture
//
// Prints "ok" (and for pictures the size) on standard output and exits 0, or
// prints the error on standard error and exits 1.
#include <QCoreApplication>
#include <QImage>
#include <QString>
#include <QStringList>
#include <cstdio>

#include "model/project_model.h"
#include "model/settings_file.h"
#include "render/read_png_file.h"

namespace {

int Report(bool ok, const QString& error, const QString& detail = QString()) {
  if (!ok) {
    std::fprintf(stderr, "%s\n", error.toUtf8().constData());
    return 1;
  }
  std::printf("ok%s\n", detail.toUtf8().constData());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QStringList args = app.arguments();
  if (args.size() != 3) {
    std::fprintf(stderr, "usage: fault_probe save-settings|read-png FILE\n");
    return 2;
  }
  const QString& command = args[1];
  const QString& file = args[2];
  QString error;
  if (command == QLatin1String("save-settings")) {
    tamrisk::ProjectModel model(QStringLiteral("/"));
    model.set_pattern_anime(QStringLiteral("1212"));
    model.frame_dx[1] = 3;
    model.basename = QStringLiteral("probe");
    // About 2 KB in all, twice what a limit on the size of files allows below.
    model.path_ref = QStringLiteral("/pictures/") + QString(2000, QLatin1Char('p'));
    return Report(tamrisk::save_settings(model, file, &error), error);
  }
  if (command == QLatin1String("read-png")) {
    QImage canvas;
    const bool ok = tamrisk::ReadPNGFile(canvas, file, &error);
    return Report(ok, error, QStringLiteral(" %1x%2").arg(canvas.width()).arg(canvas.height()));
  }
  std::fprintf(stderr, "fault_probe: unknown command\n");
  return 2;
}
