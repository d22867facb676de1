// Runs a fuzz target over saved inputs without libFuzzer, so that a corpus and
// its crashers also run as an ordinary test with any compiler.
//
//   replay FILE_OR_FOLDER...
//
// Every regular file named, and every regular file inside a folder named, is
// fed once to LLVMFuzzerTestOneInput, in sorted order. Exits 1 when an
// argument cannot be read or nothing was found to run; a faulty input stops
// the program where the fuzzer would have stopped.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

namespace fs = std::filesystem;

bool ReadFile(const fs::path& path, std::vector<std::uint8_t>& out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    return false;
  }
  out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

// Adds the files that arg names: itself, or the regular files inside it.
bool Collect(const fs::path& arg, std::vector<fs::path>& inputs) {
  std::error_code ec;
  if (fs::is_directory(arg, ec)) {
    std::vector<fs::path> found;
    for (fs::directory_iterator it(arg, ec), end; !ec && it != end; it.increment(ec)) {
      if (it->is_regular_file(ec)) {
        found.push_back(it->path());
      }
    }
    std::sort(found.begin(), found.end());
    inputs.insert(inputs.end(), found.begin(), found.end());
    return !ec;
  }
  if (fs::is_regular_file(arg, ec)) {
    inputs.push_back(arg);
    return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s FILE_OR_FOLDER...\n", argv[0]);
    return 1;
  }
  std::vector<fs::path> inputs;
  for (int i = 1; i < argc; ++i) {
    if (!Collect(argv[i], inputs)) {
      std::fprintf(stderr, "%s: cannot read %s\n", argv[0], argv[i]);
      return 1;
    }
  }
  if (inputs.empty()) {
    std::fprintf(stderr, "%s: no inputs found\n", argv[0]);
    return 1;
  }
  std::vector<std::uint8_t> data;
  for (const fs::path& path : inputs) {
    if (!ReadFile(path, data)) {
      std::fprintf(stderr, "%s: cannot read %s\n", argv[0], path.string().c_str());
      return 1;
    }
    // Named before it runs, so that a crash shows which input caused it.
    std::fprintf(stderr, "Running: %s (%zu bytes)\n", path.string().c_str(), data.size());
    // A copy of exactly the input's size, so that a sanitizer sees reads past it.
    const std::vector<std::uint8_t> exact(data);
    LLVMFuzzerTestOneInput(exact.data(), exact.size());
  }
  std::fprintf(stderr, "Executed %zu inputs\n", inputs.size());
  return 0;
}
