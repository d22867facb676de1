#pragma once

class QCoreApplication;
class QLocale;

namespace tamrisk::ui {

// The languages the editor speaks: its texts are written in Japanese and
// translated into English.
enum class Language { Japanese, English };

// The language for a user of locale: Japanese for a Japanese locale and for
// the C and POSIX locales (the texts as written); otherwise the first of the
// locale's languages the editor speaks, and English for a locale none of whose
// languages it speaks, English being the one a user is likelier to read.
Language editor_language(const QLocale& locale);

// Installs into app the translation of the editor's texts into language
// (nothing to install for Japanese) and, with qt_texts, Qt's own translation
// of its texts (standard buttons, the colour chooser) into the same language
// (nothing for English, the language Qt's texts are written in). False when
// a translation could not be loaded; the texts concerned then stay as
// written.
bool install_translators(QCoreApplication& app, Language language, bool qt_texts = true);

}  // namespace tamrisk::ui
