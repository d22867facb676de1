// vessik: compiles an MNG script into an MNG file.
#include <cstdio>
#include <string>
#include <vector>

#include "driver.h"
#ifdef VESSIK_HAVE_QT
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
  if (!options.error.empty()) {
    std::fprintf(stderr, "vessik: %s\nTry 'vessik --help'.\n", options.error.c_str());
    return vessik::kExitFailed;
  }
  if (options.help) {
    std::fputs(vessik::UsageText().c_str(), stdout);
    return vessik::kExitOk;
  }
  if (options.version) {
    std::printf("vessik %s\n", VESSIK_VERSION);
    return vessik::kExitOk;
  }
#ifdef _WIN32
  if (!options.console) {
    vessik::Win32FrontEnd front_end;
    return vessik::RunCompiler(options, front_end);
  }
#endif
  if (options.gui) {
#ifdef VESSIK_HAVE_QT
    if (vessik::QtFrontEnd::DisplayAvailable()) {
      vessik::QtFrontEnd front_end(argc, argv);
      return vessik::RunCompiler(options, front_end);
    }
    std::fputs("vessik: no display for --gui; using the console\n", stderr);
#else
    std::fputs("vessik: built without --gui; using the console\n", stderr);
#endif
  }
  (void)argc;
  (void)argv;
  vessik::ConsoleFrontEnd front_end;
  return vessik::RunCompiler(options, front_end);
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
  vessik::Options options = vessik::ParseWindowsCommandLine();
#else
  std::vector<std::string> args(argv + 1, argv + argc);
  vessik::Options options = vessik::ParseCommandLine(args);
#endif
  return Run(options, argc, argv);
}
