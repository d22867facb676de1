// libFuzzer target: saves arbitrary bytes as a script file and compiles it the
// way vessik does, so that loading the file and the "# MNG=" line that names
// the output are fuzzed as well.
//
// The output name comes from the input, so the harness keeps it inside the
// private folder: a name holding "/" or "..", or naming anything that is
// already there (the script, a sample picture, the folder), is declined
// through the compiler's own overwrite question, which leaves nothing
// written. Any other name is removed again after the input.
//
// Checked besides crashes: every run ends with a message; a declined name
// counts as a completed run that wrote nothing; a success wrote a well-formed
// MNG under the name; a failure wrote nothing at all.
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <optional>
#include <string>
#include <system_error>

#include "fuzz_workspace.h"
#include "mng_comp.h"
#include "script_samples.h"

namespace {

constexpr char kTarget[] = "load_script_fuzzer";
constexpr char kScriptName[] = "script.txt";

// Answers the overwrite question for the harness and remembers the name.
class Compiler : public vessik::CMNGComp {
 public:
  bool ConfirmOverwrite(const std::string& output_name) override {
    asked_ = true;
    std::error_code ec;
    const bool leaves = output_name.find('/') != std::string::npos ||
                        output_name.find("..") != std::string::npos || output_name == ".";
    if (leaves || fuzz::fs::exists(fuzz::fs::symlink_status(output_name, ec))) {
      return false;
    }
    accepted_ = output_name;
    return true;
  }
  bool Asked() const { return asked_; }
  const std::optional<std::string>& Accepted() const { return accepted_; }

 private:
  bool asked_ = false;
  std::optional<std::string> accepted_;
};

std::vector<fuzz::SampleFile> Samples() {
  std::vector<fuzz::SampleFile> files = fuzz::ScriptPictures();
  files.push_back({kScriptName, ""});
  return files;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  fuzz::AnchorArtifactPaths(argc, argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const fuzz::Workspace workspace(kTarget, Samples(), fuzz::kScriptFolders);
  const fuzz::InsideWorkspace inside(workspace);
  {
    std::ofstream script(kScriptName, std::ios::binary | std::ios::trunc);
    script.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (!script) {
      fuzz::Fail(kTarget, "cannot write the script");
    }
  }

  Compiler compiler;
  const bool ok = compiler.Compile((workspace.Path() / kScriptName).string());
  if (compiler.Message().empty()) {
    fuzz::Fail(kTarget, "a compile ended without a message");
  }
  std::error_code ec;
  if (!compiler.Asked()) {
    // Only a script that cannot be read ends the run before the question.
    if (ok) {
      fuzz::Fail(kTarget, "a run succeeded without choosing its output");
    }
  } else if (!compiler.Accepted()) {
    if (!ok) {
      fuzz::Fail(kTarget, "a declined output name failed the run");
    }
  } else {
    const std::string& name = *compiler.Accepted();
    const bool written = !name.empty() && fuzz::fs::exists(fuzz::fs::symlink_status(name, ec));
    if (ok) {
      fuzz::CheckMngFile(kTarget, name);
    } else if (written) {
      fuzz::Fail(kTarget, "a failed compile left its output behind");
    }
    if (written) {
      fuzz::fs::remove(name, ec);
    }
  }
  if (workspace.CountEntries() != workspace.InitialEntries()) {
    fuzz::Fail(kTarget, "a compile left a file behind");
  }
  return 0;
}
