#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "mng_comp.h"

namespace vessik {

// Exit codes of a run.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = -1;
inline constexpr int kExitNoDirectory = -2;

// The options of the command line: vessik [-y] [-q] [--gui] [--] SCRIPT PATH...
struct Options {
  bool yes = false;      // replace an existing output without asking
  bool quiet = false;    // show nothing on success
  bool gui = false;      // dialogs and message boxes instead of the console
  bool console = false;  // console front end (Windows, where it is not the default)
  bool help = false;
  bool version = false;
  std::string script;  // every word after the options, joined by single blanks
  std::string error;   // set when the command line is not understood
};

Options ParseCommandLine(const std::vector<std::string>& args);

// The Windows way: command_line is the whole line the process was started
// with. The program's name (quoted or not) and the blanks after it are
// dropped; leading options (--console, -y, --yes, -q, --quiet, -h, --help,
// --version, and -- to end them), each followed by blanks, are taken; the
// rest is the script path verbatim, quotes and inner blanks included.
Options ParseCommandTail(std::string_view command_line);
std::string UsageText();

// How a run talks to its user.
class FrontEnd {
 public:
  virtual ~FrontEnd() = default;
  // The script to compile, or nothing when the user cancels.
  virtual std::optional<std::string> ChooseScriptFile() = 0;
  virtual void ShowMessage(const std::string& caption, const std::string& text, bool error) = 0;
  // Asked only when a file of the name exists.
  virtual bool ConfirmOverwrite(const std::string& output_name) = 0;
};

// The console front end: messages on standard output (success) or standard
// error (failure), the file choice and the question on the terminal.
class ConsoleFrontEnd : public FrontEnd {
 public:
  std::optional<std::string> ChooseScriptFile() override;
  void ShowMessage(const std::string& caption, const std::string& text, bool error) override;
  bool ConfirmOverwrite(const std::string& output_name) override;
};

// The compiler the program runs: asks its front end before replacing a file.
class CMNGCompiler : public CMNGComp {
 public:
  CMNGCompiler(FrontEnd& front_end, bool assume_yes)
      : front_end_(front_end), assume_yes_(assume_yes) {}
  ~CMNGCompiler() override = default;
  bool ConfirmOverwrite(const std::string& output_name) override;

 private:
  FrontEnd& front_end_;
  bool assume_yes_;
};

// Makes the folder of path (up to its last separator) the current directory.
// false when path has no separator or the folder cannot be entered.
bool EnterScriptDirectory(const std::string& path);

// One run of the program: find the script, enter its folder, compile, report.
int RunCompiler(const Options& options, FrontEnd& front_end);

}  // namespace vessik
