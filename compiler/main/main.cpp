// vessik: compiles an MNG script into an MNG file.
#include <cstdio>
#include <string>
#include <vector>

#include "console.h"
#include "display.h"
#include "driver.h"
#if defined(VESSIK_GUI_PLUGIN)
#include "gui_loader.h"
#elif defined(VESSIK_HAVE_QT)
#include "qt_front_end.h"
#endif
#ifdef _WIN32
#include "win32_front_end.h"
#endif

#ifndef VESSIK_VERSION
#define VESSIK_VERSION "0.0.0"
#endif

namespace {

int Run(vessik::Options options, int& argc, char** argv) {
  using vessik::console::Write;
  if (!options.error.empty()) {
    Write("vessik: " + options.error + "\nTry 'vessik --help'.\n", true);
    return vessik::kExitFailed;
  }
  if (options.help) {
    Write(vessik::UsageText());
    return vessik::kExitOk;
  }
  if (options.version) {
    Write(std::string("vessik ") + VESSIK_VERSION + "\n");
    return vessik::kExitOk;
  }
#ifdef _WIN32
  if (!options.console) {
    vessik::Win32FrontEnd front_end;
    return vessik::RunCompiler(options, front_end);
  }
#endif
  if (options.gui) {
#if defined(VESSIK_GUI_PLUGIN)
    if (vessik::DisplayAvailable()) {
      std::string why;
      if (const auto front_end = vessik::LoadGuiFrontEnd(argc, argv, &why)) {
        return vessik::RunCompiler(options, *front_end);
      }
      Write("vessik: cannot load the --gui front end (" + why + "); using the console\n", true);
    } else {
      Write("vessik: no display for --gui; using the console\n", true);
    }
#elif defined(VESSIK_HAVE_QT)
    if (vessik::DisplayAvailable()) {
      vessik::QtFrontEnd front_end(argc, argv);
      return vessik::RunCompiler(options, front_end);
    }
    Write("vessik: no display for --gui; using the console\n", true);
#else
    Write("vessik: built without --gui; using the console\n", true);
#endif
  }
  (void)argc;
  (void)argv;
  vessik::ConsoleFrontEnd front_end;
  return vessik::RunCompiler(options, front_end);
}

}  // namespace

int main(int argc, char** argv) {
  vessik::console::Prepare();
#ifdef _WIN32
  vessik::Options options = vessik::ParseWindowsCommandLine();
#else
  std::vector<std::string> args(argv + 1, argv + argc);
  vessik::Options options = vessik::ParseCommandLine(args);
#endif
  return Run(options, argc, argv);
}
