#pragma once

#include <memory>

#include "driver.h"

namespace vessik {

// Dialogs and message boxes through Qt Widgets. The application object is
// made on first use, so a run that shows nothing never starts it.
class QtFrontEnd : public FrontEnd {
 public:
  QtFrontEnd(int& argc, char** argv);
  ~QtFrontEnd() override;
  std::optional<std::string> ChooseScriptFile() override;
  void ShowMessage(const std::string& caption, const std::string& text, bool error) override;
  bool ConfirmOverwrite(const std::string& output_name) override;

 private:
  void EnsureApplication();

  int& argc_;
  char** argv_;
  struct App;
  std::unique_ptr<App> app_;
};

}  // namespace vessik
