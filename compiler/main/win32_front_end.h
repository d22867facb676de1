#pragma once

#ifdef _WIN32

#include "driver.h"

namespace vessik {

// The command-line tail as the system gives it: the program's name and the
// blanks after it removed, nothing else (quotes stay). A leading --console,
// --yes, --quiet, --help or --version is taken as an option.
Options ParseWindowsCommandLine();

// Message boxes and the file-open dialog of the Windows desktop, no owner.
class Win32FrontEnd : public FrontEnd {
 public:
  std::optional<std::string> ChooseScriptFile() override;
  void ShowMessage(const std::string& caption, const std::string& text, bool error) override;
  bool ConfirmOverwrite(const std::string& output_name) override;
};

}  // namespace vessik

#endif
