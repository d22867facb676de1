// libFuzzer target: compiles arbitrary bytes as an MNG script.
//
// Each input runs inside a private folder, made once per process, that holds a
// few image files a script can name on its IHDR and JHDR lines: a valid PNG,
// the PNG signature alone, a small JNG, an empty file, a file one byte short of
// a signature, and a folder. The compiled file always goes to the same name
// there, so nothing piles up from input to input.
//
// Besides crashes, the target checks what a compile leaves behind: a success
// is an MNG signature followed by whole chunks with correct CRCs (the images
// in the folder are well formed), a failure leaves no file at all, and every
// run ends with a message.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "mng_comp.h"

namespace {

namespace fs = std::filesystem;

constexpr char kOutputName[] = "out.mng";

// A 1x1 grey PNG: signature, IHDR, IDAT, IEND.
constexpr std::uint8_t kTinyPng[] = {
    0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x48,
    0x44, 0x52, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x08, 0x00, 0x00, 0x00,
    0x00, 0x3A, 0x7E, 0x9B, 0x55, 0x00, 0x00, 0x00, 0x0A, 0x49, 0x44, 0x41, 0x54, 0x78,
    0xDA, 0x63, 0x60, 0x00, 0x00, 0x00, 0x02, 0x00, 0x01, 0xE5, 0x27, 0xDE, 0xFC, 0x00,
    0x00, 0x00, 0x00, 0x49, 0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82};

// A JNG signature, a JHDR chunk and IEND.
constexpr std::uint8_t kTinyJng[] = {
    0x8B, 0x4A, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x10, 0x4A, 0x48, 0x44, 0x52,
    0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x08, 0x08, 0x00, 0x08, 0x00, 0x00, 0x00, 0x00,
    0x1C, 0x08, 0x72, 0xF5, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82};

// Spelled out here rather than taken from the compiler, so that a wrong
// constant there shows.
constexpr std::uint8_t kMngSignature[8] = {0x8A, 0x4D, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};

struct ImageFile {
  const char* name;
  const std::uint8_t* data;
  std::size_t size;
};

const ImageFile kImageFiles[] = {
    {"tiny.png", kTinyPng, sizeof kTinyPng},
    {"sig.png", kTinyPng, 8},
    {"tiny.jng", kTinyJng, sizeof kTinyJng},
    {"empty.png", kTinyPng, 0},
    {"short.png", kTinyPng, 7},
};
constexpr char kFolderName[] = "dir";

// What the folder holds between inputs: the image files and the folder.
constexpr std::size_t kEntriesBeforeCompile = std::size(kImageFiles) + 1;

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "compile_script_fuzzer: %s\n", what);
  std::abort();
}

// The compiler as the harness runs it: an existing output is always replaced.
class Compiler : public vessik::CMNGComp {
 public:
  bool ConfirmOverwrite(const std::string&) override { return true; }
};

// The private folder with its image files; removed when the process exits.
class Workspace {
 public:
  Workspace() : origin_(fs::current_path()) {
    std::random_device device;
    const fs::path base = fs::temp_directory_path();
    for (;;) {
      const unsigned long long tag = (static_cast<unsigned long long>(device()) << 32) ^ device();
      path_ = base / ("compile_script_fuzzer-" + std::to_string(tag));
      if (fs::create_directory(path_)) {
        break;
      }
    }
    for (const ImageFile& image : kImageFiles) {
      std::ofstream out(path_ / image.name, std::ios::binary);
      out.write(reinterpret_cast<const char*>(image.data),
                static_cast<std::streamsize>(image.size));
      if (!out) {
        Fail("cannot write the image files");
      }
    }
    fs::create_directory(path_ / kFolderName);
  }
  Workspace(const Workspace&) = delete;
  Workspace& operator=(const Workspace&) = delete;
  ~Workspace() {
    std::error_code ec;
    fs::current_path(origin_, ec);
    fs::remove_all(path_, ec);
  }

  const fs::path& Path() const { return path_; }
  const fs::path& Origin() const { return origin_; }

 private:
  fs::path origin_;
  fs::path path_;
};

// Enters the workspace for one input and returns to where the process started,
// where libFuzzer keeps its corpus and artifacts.
class InsideWorkspace {
 public:
  explicit InsideWorkspace(const Workspace& workspace) : workspace_(workspace) {
    std::error_code ec;
    fs::current_path(workspace_.Path(), ec);
    if (ec) {
      Fail("cannot enter the workspace");
    }
  }
  InsideWorkspace(const InsideWorkspace&) = delete;
  InsideWorkspace& operator=(const InsideWorkspace&) = delete;
  ~InsideWorkspace() {
    std::error_code ec;
    fs::current_path(workspace_.Origin(), ec);
    if (ec) {
      Fail("cannot leave the workspace");
    }
  }

 private:
  const Workspace& workspace_;
};

// A byte-at-a-time CRC-32, kept apart from the compiler's own so that the two
// check each other.
class ReferenceCrc {
 public:
  ReferenceCrc() {
    for (std::uint32_t i = 0; i < 256; ++i) {
      std::uint32_t v = i;
      for (int k = 0; k < 8; ++k) {
        v = (v & 1) ? (v >> 1) ^ 0xEDB88320u : v >> 1;
      }
      table_[i] = v;
    }
  }
  std::uint32_t Compute(const std::uint8_t* data, std::size_t size) const {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i) {
      crc = table_[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    }
    return crc ^ 0xFFFFFFFFu;
  }

 private:
  std::array<std::uint32_t, 256> table_;
};

std::uint32_t ReadBigEndian32(const std::uint8_t* p) {
  return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 |
         std::uint32_t{p[3]};
}

// Aborts unless the output is the MNG signature followed by whole chunks, each
// with the CRC of its type and data.
void CheckOutput() {
  static const ReferenceCrc crc;
  std::ifstream in(kOutputName, std::ios::binary);
  if (!in) {
    Fail("a successful compile left no output file");
  }
  const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                        std::istreambuf_iterator<char>()};
  if (bytes.size() < sizeof kMngSignature ||
      std::memcmp(bytes.data(), kMngSignature, sizeof kMngSignature) != 0) {
    Fail("the output does not begin with the MNG signature");
  }
  std::size_t pos = sizeof kMngSignature;
  while (pos < bytes.size()) {
    const std::size_t left = bytes.size() - pos;
    if (left < 12) {
      Fail("the output ends inside a chunk header");
    }
    const std::uint32_t length = ReadBigEndian32(&bytes[pos]);
    if (length > left - 12) {
      Fail("a chunk of the output runs past its end");
    }
    const std::uint8_t* typed = &bytes[pos + 4];
    if (crc.Compute(typed, 4 + std::size_t{length}) != ReadBigEndian32(typed + 4 + length)) {
      Fail("a chunk of the output has a wrong CRC");
    }
    pos += 12 + std::size_t{length};
  }
}

// Aborts when the folder holds more than the images, the folder and (after a
// success) the output: a temporary file or a failed output left behind.
void CheckNothingLeft(const fs::path& folder, bool succeeded) {
  std::size_t entries = 0;
  for (auto it = fs::directory_iterator(folder); it != fs::directory_iterator(); ++it) {
    ++entries;
  }
  if (entries != kEntriesBeforeCompile + (succeeded ? 1 : 0)) {
    Fail(succeeded ? "a successful compile left a file behind"
                   : "a failed compile left a file behind");
  }
}

}  // namespace

// libFuzzer writes crash and timeout artifacts relative to the current
// directory, which is the workspace while an input runs. Make their prefix
// absolute, so that they land where the fuzzer was started and outlive the
// workspace. Runs before libFuzzer reads its flags.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  static std::vector<std::string> args;
  static std::vector<char*> pointers;
  const std::string here = (fs::current_path() / "").string();
  const std::string_view kPathFlags[] = {"-artifact_prefix=", "-exact_artifact_path="};
  bool has_prefix = false;
  for (int i = 0; i < *argc; ++i) {
    std::string arg = (*argv)[i];
    for (const std::string_view flag : kPathFlags) {
      if (arg.compare(0, flag.size(), flag) == 0) {
        const std::string value = arg.substr(flag.size());
        if (!fs::path(value).is_absolute()) {
          arg = std::string(flag) + here + value;
        }
        has_prefix = has_prefix || flag == kPathFlags[0];
      }
    }
    args.push_back(std::move(arg));
  }
  if (!has_prefix) {
    // Behind the program name: flags after -ignore_remaining_args=1 would not count.
    args.insert(args.begin() + (args.empty() ? 0 : 1), std::string(kPathFlags[0]) + here);
  }
  for (std::string& arg : args) {
    pointers.push_back(arg.data());
  }
  pointers.push_back(nullptr);
  *argc = static_cast<int>(args.size());
  *argv = pointers.data();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const Workspace workspace;
  const InsideWorkspace inside(workspace);
  std::error_code ec;
  fs::remove(kOutputName, ec);

  const std::string_view script(reinterpret_cast<const char*>(data), size);
  bool ok = false;
  {
    Compiler compiler;
    ok = compiler.CompileText(script, kOutputName);
    if (compiler.Message().empty()) {
      Fail("a compile ended without a message");
    }
  }
  if (ok) {
    CheckOutput();
  }
  CheckNothingLeft(workspace.Path(), ok);
  return 0;
}
