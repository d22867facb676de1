#include "ui/translators.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace tamrisk::ui {

namespace {

// The editor's English texts, built from translations/tamrisk_en.ts and
// embedded in the program.
const char kEnglishTexts[] = ":/i18n/tamrisk_en.qm";

}  // namespace

Language editor_language(const QLocale& locale) {
  if (locale.language() == QLocale::C) {
    return Language::Japanese;
  }
  for (const QString& name : locale.uiLanguages()) {
    switch (QLocale(name).language()) {
      case QLocale::Japanese:
        return Language::Japanese;
      case QLocale::English:
        return Language::English;
      default:
        break;
    }
  }
  return Language::English;
}

bool install_translators(QCoreApplication& app, Language language, bool qt_texts) {
  if (language == Language::Japanese && !qt_texts) {
    return true;
  }
  auto* translator = new QTranslator(&app);
  const bool loaded = language == Language::English
                          ? translator->load(QString::fromLatin1(kEnglishTexts))
                          : translator->load(QLocale(QLocale::Japanese, QLocale::Japan),
                                             QStringLiteral("qtbase"), QStringLiteral("_"),
                                             QLibraryInfo::path(QLibraryInfo::TranslationsPath));
  if (!loaded) {
    delete translator;
    return false;
  }
  return QCoreApplication::installTranslator(translator);
}

}  // namespace tamrisk::ui
