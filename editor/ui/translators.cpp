#include "ui/translators.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace tamrisk::ui {

namespace {

// The language the editor's own texts are written in.
QLocale editor_language() {
  return QLocale(QLocale::Japanese, QLocale::Japan);
}

}  // namespace

bool install_translators(QCoreApplication& app) {
  auto* qt = new QTranslator(&app);
  if (!qt->load(editor_language(), QStringLiteral("qtbase"), QStringLiteral("_"),
                QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete qt;
    return false;
  }
  return QCoreApplication::installTranslator(qt);
}

}  // namespace tamrisk::ui
