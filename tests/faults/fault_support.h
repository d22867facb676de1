#pragma once

// Helpers of the fault tests: the programs under test, small file systems of
// their own (a full disk, a read-only folder), and the preloaded shim that
// changes a file while a program reads it.

#include <filesystem>
#include <string>
#include <vector>

#include "run_vessik.h"

namespace faults {

namespace fs = std::filesystem;

// Whether this build runs under AddressSanitizer, which reserves terabytes of
// address space: limits on it (RLIMIT_AS) cannot be tried then.
bool UnderAddressSanitizer();

// Limits for a run that must stay within baseline + memory bytes of address
// space (not tried under AddressSanitizer) and cpu_seconds of processor time;
// it is killed after twice that time.
cli::Invocation Bounded(long long baseline, long long memory, long long cpu_seconds);

// Runs a program with its arguments in cwd, under the limits and environment
// of how (its program, args and cwd are set here).
cli::Result Execute(const std::string& program, const std::vector<std::string>& args,
                    const fs::path& cwd, cli::Invocation how = {});

// The shim's settings, for Invocation::environment.
std::vector<std::string> ShrinkAtFirstRead(const fs::path& file, long long size);
std::vector<std::string> VanishAtFirstOpen(const fs::path& file);

// A tmpfs of the given size mounted on dir, in a mount namespace that this
// test process enters on first use, so that nothing shows outside it and the
// mount goes with the process. Mounting needs privileges a sandbox may deny:
// check Mounted() and skip the test when it is false.
class ScratchDisk {
 public:
  ScratchDisk(const fs::path& dir, long long bytes);
  ~ScratchDisk();
  ScratchDisk(const ScratchDisk&) = delete;
  ScratchDisk& operator=(const ScratchDisk&) = delete;

  bool Mounted() const { return mounted_; }
  const std::string& Why() const { return why_; }
  // Makes the file system read-only; false when it cannot.
  bool MakeReadOnly();
  // Fills the free space with a file of that name, so that the next write of
  // any size fails.
  void Fill(const std::string& name);

 private:
  fs::path dir_;
  bool mounted_ = false;
  std::string why_;
};

// A PNG signature, an IHDR chunk claiming width x height pixels of 8-bit
// RGBA, an IDAT chunk holding an empty zlib stream, and IEND.
std::string PngHeaderOnly(unsigned long width, unsigned long height);

}  // namespace faults
