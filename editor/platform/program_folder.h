#pragma once

#include <QString>

namespace tamrisk {

// The program's own folder: where the executable lies, or the user's home
// folder when that is not writable (an installed program). It is the default
// output folder and the folder the settings dialog opens. Needs a
// QCoreApplication.
QString program_folder();

// The compiler beside the editor: <executable folder>/vessik (vessik.exe on
// Windows). Needs a QCoreApplication.
QString default_compiler_path();

}  // namespace tamrisk
