// Tamrisk: the animation editor. With --export, --help or --version it works
// without a window (and without a display).
#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLocale>
#include <cstdio>

#include "app/headless.h"
#include "ui/form1.h"
#include "ui/translators.h"

#ifndef TAMRISK_VERSION
#define TAMRISK_VERSION "0.0.0"
#endif

namespace {

// The editor's texts in the language of the user's locale; with qt_texts
// also Qt's own (the standard buttons, the colour chooser). Without a window
// Qt's texts stay as Qt writes them, as in the help.
void speak_the_users_language(QCoreApplication& app, bool qt_texts) {
  tamrisk::ui::install_translators(app, tamrisk::ui::editor_language(QLocale::system()), qt_texts);
}

}  // namespace

int main(int argc, char** argv) {
  if (tamrisk::wants_headless(argc, argv)) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Tamrisk"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TAMRISK_VERSION));
    speak_the_users_language(app, /*qt_texts=*/false);
    return tamrisk::run_headless(QCoreApplication::arguments());
  }

#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
  // Qt ends the process outright when it finds no display; say why instead.
  if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
      qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    QCoreApplication app(argc, argv);
    speak_the_users_language(app, /*qt_texts=*/false);
    std::fputs(QCoreApplication::translate(
                   "tamrisk::Headless",
                   "Tamrisk: no display for the editor's window (neither DISPLAY nor "
                   "WAYLAND_DISPLAY is set);\nTamrisk --export FILE.pst works without one, see "
                   "'Tamrisk --help'\n")
                   .toLocal8Bit()
                   .constData(),
               stderr);
    return 1;
  }
#endif

  // The editor's window, with the settings file given loaded. A path with
  // blanks may arrive in pieces; they are joined again.
  QApplication app(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("Tamrisk"));
  QCoreApplication::setApplicationVersion(QStringLiteral(TAMRISK_VERSION));
  QGuiApplication::setDesktopFileName(QStringLiteral("io.github.tamrisk.Tamrisk"));
  speak_the_users_language(app, /*qt_texts=*/true);
  tamrisk::ui::Form1 window;
  window.show();
  const QStringList files = QCoreApplication::arguments().mid(1);
  if (!files.isEmpty()) {
    window.open_settings(QFileInfo(files.join(QLatin1Char(' '))).absoluteFilePath());
  }
  return app.exec();
}
