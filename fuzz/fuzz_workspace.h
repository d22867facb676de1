#pragma once

// What the fuzz targets share: a private folder of sample files for each
// fuzzing process, and the rewriting of libFuzzer's artifact paths for
// targets that move into that folder.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace fuzz {

namespace fs = std::filesystem;

// Stops the process the way libFuzzer reports a crash, naming the broken rule.
[[noreturn]] void Fail(const char* target, const char* what);

struct SampleFile {
  std::string name;
  std::string bytes;
};

// A fresh folder under the system's temporary folder, holding the files and
// the (empty) subfolders given; removed with everything in it when the object
// goes, which for a function-local static is when the process exits.
class Workspace {
 public:
  Workspace(std::string_view tag, const std::vector<SampleFile>& files,
            const std::vector<std::string>& folders);
  Workspace(const Workspace&) = delete;
  Workspace& operator=(const Workspace&) = delete;
  ~Workspace();

  const fs::path& Path() const { return path_; }
  const fs::path& Origin() const { return origin_; }
  // How many entries the folder holds right after it was made.
  std::size_t InitialEntries() const { return initial_entries_; }
  std::size_t CountEntries() const;

 private:
  fs::path origin_;
  fs::path path_;
  std::size_t initial_entries_ = 0;
};

// Makes the workspace the current directory for one input, and goes back to
// where the process started (where libFuzzer keeps corpus and artifacts).
class InsideWorkspace {
 public:
  explicit InsideWorkspace(const Workspace& workspace);
  InsideWorkspace(const InsideWorkspace&) = delete;
  InsideWorkspace& operator=(const InsideWorkspace&) = delete;
  ~InsideWorkspace();

 private:
  const Workspace& workspace_;
};

// For LLVMFuzzerInitialize of a target that changes directory: makes relative
// -artifact_prefix and -exact_artifact_path values absolute, and adds an
// absolute -artifact_prefix when there is none, so that crash files land where
// the fuzzer was started and outlive the workspace.
void AnchorArtifactPaths(int* argc, char*** argv);

// The same bytes with the CRC of every whole chunk after the 8-byte signature
// recomputed, so that mutations reach the decoder behind the CRC check.
std::string RepairChunkCrcs(std::string_view png);

// CRC-32 as PNG and MNG use it, byte at a time: kept apart from the code
// under test so that the two check each other.
std::uint32_t ReferenceCrc(const std::uint8_t* data, std::size_t size);
std::uint32_t ReadBigEndian32(const std::uint8_t* p);

}  // namespace fuzz
