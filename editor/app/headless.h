#pragma once

#include <QStringList>

namespace tamrisk {

// Whether the command line asks for the headless command (--export, --help,
// --version or any other option) rather than the editor's window.
bool wants_headless(int argc, char** argv);

// Tamrisk --export FILE.pst [--png|--bmp] [--output-dir DIR] [--force]:
// loads the settings file, exports its frames (and in PNG mode the MNG
// animation) and prints progress and the outcome. Never asks. Returns the
// exit status: 0 on success, 1 on failure. Needs a QCoreApplication.
int run_headless(const QStringList& arguments);

}  // namespace tamrisk
