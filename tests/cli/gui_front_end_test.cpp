// Where the --gui front end comes from: console runs never load Qt, and
// --gui loads the Qt front end from its plugin beside vessik. The dynamic
// loader's own report (LD_DEBUG=files) names every library a run opens.
#include <gtest/gtest.h>

#include <string>

#include "run_vessik.h"

namespace cli {
namespace {

class GuiFrontEnd : public testing::Test {
 protected:
  void SetUp() override {
    if (UnderWine()) {
      GTEST_SKIP() << "the Windows build has no Qt front end";
    }
    WriteFile(dir_ / "s.txt", kSmallScript);
  }

  Result Run(std::vector<std::string> args, std::vector<std::string> environment) {
    Invocation how;
    how.args = std::move(args);
    how.args.push_back((dir_ / "s.txt").string());
    how.cwd = dir_.path();
    how.environment = std::move(environment);
    how.environment.push_back("LD_DEBUG=files");
    return RunProgram(how);
  }

  // Whether the loader opened a file whose name holds library.
  static bool Opened(const Result& r, const std::string& library) {
    for (auto at = r.err.find("file="); at != std::string::npos; at = r.err.find("file=", at + 1)) {
      const auto end = r.err.find_first_of(" \n", at);
      if (r.err.substr(at, end - at).find(library) != std::string::npos) {
        return true;
      }
    }
    return false;
  }

  TempDir dir_;
};

TEST_F(GuiFrontEnd, ConsoleRunsNeverLoadQt) {
  const Result r = Run({"-y"}, {"QT_QPA_PLATFORM=offscreen"});
  EXPECT_EQ(r.status, 0) << Describe(r);
  EXPECT_EQ(r.out, Done("mng.mng"));
  EXPECT_FALSE(Opened(r, "libQt6")) << r.err;
  EXPECT_FALSE(Opened(r, "libvessik_gui.so")) << r.err;
}

TEST_F(GuiFrontEnd, WithoutADisplayGuiFallsBackToTheConsole) {
  const Result r = Run({"--gui", "-y"}, {"DISPLAY=", "WAYLAND_DISPLAY=", "QT_QPA_PLATFORM="});
  EXPECT_EQ(r.status, 0) << Describe(r);
  EXPECT_EQ(r.out, Done("mng.mng"));
  EXPECT_NE(r.err.find("vessik: no display for --gui; using the console\n"), std::string::npos);
  EXPECT_FALSE(Opened(r, "libQt6")) << r.err;
}

#ifdef VESSIK_GUI_PLUGIN
// A quiet run that replaces nothing shows no window, so it ends by itself.
TEST_F(GuiFrontEnd, GuiLoadsTheQtFrontEndFromItsPlugin) {
  const Result r = Run({"--gui", "-q", "-y"}, {"QT_QPA_PLATFORM=offscreen"});
  EXPECT_EQ(r.status, 0) << Describe(r);
  EXPECT_EQ(r.out, "");
  // No message of vessik's own (lines of the loader's trace name it too).
  EXPECT_EQ(("\n" + r.err).find("\nvessik:"), std::string::npos) << r.err;
  EXPECT_TRUE(Opened(r, VESSIK_GUI_PLUGIN)) << r.err;
  EXPECT_TRUE(Opened(r, "libQt6Widgets")) << r.err;
  EXPECT_EQ(ReadFile(dir_ / "mng.mng"), SmallScriptOutput());
}
#endif

}  // namespace
}  // namespace cli
