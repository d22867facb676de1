// libFuzzer target: compiles arbitrary bytes as an MNG script.
//
// Each input runs inside a private folder, made once per process, that holds a
// few image files a script can name on its IHDR and JHDR lines (see
// script_samples.h). The compiled file always goes to the same name there, so
// nothing piles up from input to input.
//
// Besides crashes, the target checks what a compile leaves behind: a success
// is an MNG signature followed by whole chunks with correct CRCs (the images
// in the folder are well formed), a failure leaves no file at all, and every
// run ends with a message.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <system_error>

#include "fuzz_workspace.h"
#include "mng_comp.h"
#include "script_samples.h"

namespace {

constexpr char kTarget[] = "compile_script_fuzzer";
constexpr char kOutputName[] = "out.mng";

// The compiler as the harness runs it: an existing output is always replaced.
class Compiler : public vessik::CMNGComp {
 public:
  bool ConfirmOverwrite(const std::string&) override { return true; }
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  fuzz::AnchorArtifactPaths(argc, argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const fuzz::Workspace workspace(kTarget, fuzz::ScriptPictures(), fuzz::kScriptFolders);
  const fuzz::InsideWorkspace inside(workspace);
  std::error_code ec;
  fuzz::fs::remove(kOutputName, ec);

  const std::string_view script(reinterpret_cast<const char*>(data), size);
  bool ok = false;
  {
    Compiler compiler;
    ok = compiler.CompileText(script, kOutputName);
    if (compiler.Message().empty()) {
      fuzz::Fail(kTarget, "a compile ended without a message");
    }
  }
  if (ok) {
    fuzz::CheckMngFile(kTarget, kOutputName);
  }
  // The pictures, the folder and, after a success, the output: nothing else.
  if (workspace.CountEntries() != workspace.InitialEntries() + (ok ? 1 : 0)) {
    fuzz::Fail(kTarget, ok ? "a successful compile left a file behind"
                           : "a failed compile left a file behind");
  }
  return 0;
}
