#pragma once

class QCoreApplication;

namespace tamrisk::ui {

// Installs into app the translations of Qt's own texts (standard buttons,
// the colour chooser) into the language of the editor's texts, which is
// Japanese whatever the system's locale. False when Qt's translation is not
// installed on the system; Qt's texts then stay in English.
bool install_translators(QCoreApplication& app);

}  // namespace tamrisk::ui
