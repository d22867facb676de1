#include "driver.h"

#include <cstdio>

#include "console.h"
#include "file_io.h"
#include "messages.h"

namespace vessik {

Options ParseCommandLine(const std::vector<std::string>& args) {
  Options options;
  std::size_t i = 0;
  for (; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--") {
      ++i;
      break;
    }
    if (a == "--yes") {
      options.yes = true;
    } else if (a == "--quiet") {
      options.quiet = true;
    } else if (a == "--gui") {
      options.gui = true;
    } else if (a == "--console") {
      options.console = true;
    } else if (a == "--help") {
      options.help = true;
    } else if (a == "--version") {
      options.version = true;
    } else if (a.size() > 1 && a[0] == '-' && a[1] != '-') {
      // Bundled short options: -y, -q, -h, -yq.
      for (std::size_t k = 1; k < a.size(); ++k) {
        switch (a[k]) {
          case 'y':
            options.yes = true;
            break;
          case 'q':
            options.quiet = true;
            break;
          case 'h':
            options.help = true;
            break;
          default:
            options.error = "unknown option -" + std::string(1, a[k]);
            return options;
        }
      }
    } else if (a.size() > 2 && a[0] == '-' && a[1] == '-') {
      options.error = "unknown option " + a;
      return options;
    } else {
      break;
    }
  }
  for (std::size_t k = i; k < args.size(); ++k) {
    if (k > i) {
      options.script += ' ';
    }
    options.script += args[k];
  }
  return options;
}

Options ParseCommandTail(std::string_view line) {
  const auto is_blank = [](char c) { return c == ' ' || c == '\t'; };
  std::size_t i = 0;
  if (i < line.size() && line[i] == '"') {
    const std::size_t close = line.find('"', 1);
    i = close == std::string_view::npos ? line.size() : close + 1;
  } else {
    while (i < line.size() && !is_blank(line[i])) {
      ++i;
    }
  }
  const auto skip_blanks = [&] {
    while (i < line.size() && is_blank(line[i])) {
      ++i;
    }
  };
  skip_blanks();
  Options options;
  for (;;) {
    std::size_t end = i;
    while (end < line.size() && !is_blank(line[end])) {
      ++end;
    }
    const std::string_view word = line.substr(i, end - i);
    bool last = false;
    if (word == "--console") {
      options.console = true;
    } else if (word == "-y" || word == "--yes") {
      options.yes = true;
    } else if (word == "-q" || word == "--quiet") {
      options.quiet = true;
    } else if (word == "-h" || word == "--help") {
      options.help = true;
    } else if (word == "--version") {
      options.version = true;
    } else if (word == "--") {
      last = true;
    } else {
      break;
    }
    i = end;
    skip_blanks();
    if (last) {
      break;
    }
  }
  options.script = std::string(line.substr(i));
  return options;
}

std::string UsageText() {
  return "Usage: vessik [OPTION]... [--] SCRIPT\n"
         "Compiles an MNG script into an MNG file in the script's folder.\n"
         "Every word after the options is part of the script's path, so a path\n"
         "with blanks needs no quotes. Without a script, asks for one.\n"
         "\n"
         "  -y, --yes      replace an existing output file without asking\n"
         "  -q, --quiet    print nothing when the compile succeeds\n"
         "      --gui      use dialogs and message boxes instead of the console\n"
         "  -h, --help     show this help and exit\n"
         "      --version  show the version and exit\n"
         "\n"
         "Exit status: 0 success or declined overwrite, 255 failure,\n"
         "254 the chosen script's folder could not be entered.\n";
}

std::optional<std::string> ConsoleFrontEnd::ChooseScriptFile() {
  console::Write(std::string(msg::kChooseTitle) + ": ", true);
  std::string line;
  if (!console::ReadLine(line)) {
    console::Write("\n", true);
    return std::nullopt;
  }
  if (!line.empty() && line.back() == '\r') {
    line.pop_back();
  }
  if (line.empty()) {
    return std::nullopt;
  }
  return line;
}

void ConsoleFrontEnd::ShowMessage(const std::string& caption, const std::string& text, bool error) {
  std::string body = text;
  while (!body.empty() && body.back() == '\n') {
    body.pop_back();
  }
  console::Write(caption + ": " + body + "\n", error);
}

bool ConsoleFrontEnd::ConfirmOverwrite(const std::string& output_name) {
  return console::AskYesNo(Fill(msg::kOverwriteConsole, {io::DisplayName(output_name)}));
}

bool CMNGCompiler::ConfirmOverwrite(const std::string& output_name) {
  if (!io::Exists(output_name)) {
    return true;
  }
  return assume_yes_ || front_end_.ConfirmOverwrite(output_name);
}

bool EnterScriptDirectory(const std::string& path) {
#ifdef _WIN32
  const auto slash = path.find_last_of("\\/");
#else
  const auto slash = path.find_last_of('/');
#endif
  if (slash == std::string::npos) {
    return false;
  }
  return io::ChangeDirectory(path.substr(0, slash + 1));
}

int RunCompiler(const Options& options, FrontEnd& front_end) {
  CMNGCompiler compiler(front_end, options.yes);
  std::string script = options.script;
  if (!script.empty()) {
    // A relative path is taken from where the program was started, before the
    // current directory moves to the script's folder.
    script = io::MakeAbsolute(script);
    EnterScriptDirectory(script);
  } else {
    auto chosen = front_end.ChooseScriptFile();
    if (!chosen) {
      return kExitOk;
    }
    script = io::MakeAbsolute(*chosen);
    if (!EnterScriptDirectory(script)) {
      front_end.ShowMessage(msg::kCaptionError, msg::kEnterDirFailed, true);
      return kExitNoDirectory;
    }
  }
  const bool ok = compiler.Compile(script);
  if (!ok || !options.quiet) {
    front_end.ShowMessage(ok ? msg::kCaptionDone : msg::kCaptionError, compiler.Message(), !ok);
  }
  return ok ? kExitOk : kExitFailed;
}

}  // namespace vessik
