// Tamrisk: the animation editor. With --export it works without a window.
#include <QCoreApplication>
#include <cstdio>

#include "app/headless.h"

#ifndef TAMRISK_VERSION
#define TAMRISK_VERSION "0.0.0"
#endif

int main(int argc, char** argv) {
  if (tamrisk::wants_headless(argc, argv)) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Tamrisk"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TAMRISK_VERSION));
    return tamrisk::run_headless(QCoreApplication::arguments());
  }

  // The editor's window, optionally opening the settings file given.
  std::fputs("Tamrisk: the editor's window is not built yet; see 'Tamrisk --help' for --export\n",
             stderr);
  return 1;
}
