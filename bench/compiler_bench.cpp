// In-process kernels of the compiler: the CRC-32, compiling short chunk lines
// from memory, and embedding image files, with a plain file copy as the
// yardstick for the last. Whole-program timings against other tools live in
// scripts/bench.sh.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "mng_comp.h"
#include "png_mng.h"

namespace {

namespace fs = std::filesystem;

constexpr std::uint8_t kPngSignature[8] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};

class Compiler : public vessik::CMNGComp {
 public:
  bool ConfirmOverwrite(const std::string&) override { return true; }
};

// A fresh folder under the system's temporary folder, removed with the object.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::random_device device;
    for (;;) {
      path_ = fs::temp_directory_path() / ("compiler_bench-" + std::to_string(device()));
      if (fs::create_directory(path_)) {
        break;
      }
    }
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  ~ScratchFolder() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  std::string operator/(std::string_view name) const { return (path_ / name).string(); }

 private:
  fs::path path_;
};

// Deterministic filler bytes.
std::vector<std::uint8_t> Filler(std::size_t size, std::uint32_t seed) {
  std::vector<std::uint8_t> bytes(size);
  std::minstd_rand next(seed);
  for (std::uint8_t& b : bytes) {
    b = static_cast<std::uint8_t>(next() >> 7);
  }
  return bytes;
}

// Short chunk lines of the kinds an animation script is made of, cycled.
std::string ChunkLines(std::size_t count) {
  static constexpr std::string_view kLines[] = {
      "MHDR 320 240 10 0 0 0 0\n",
      "LOOP 1 0x7fffffff\n",
      "FRAM 1 \\0 2 0 0 0 5\n",
      "DEFI 1 0 1 10 20\n",
      "tEXt Title frame\n",
      "ENDL 1\n",
      "MEND\n",
  };
  std::string script;
  script.reserve(count * 20);
  for (std::size_t i = 0; i < count; ++i) {
    script += kLines[i % std::size(kLines)];
  }
  return script;
}

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

void BM_Crc32(benchmark::State& state) {
  const vessik::Crc32 crc;
  const std::vector<std::uint8_t> block = Filler(static_cast<std::size_t>(state.range(0)), 1);
  for (auto _ : state) {
    benchmark::DoNotOptimize(crc.Compute(block.data(), block.size()));
  }
  state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_Crc32)->Arg(4)->Arg(64)->Arg(4096)->Arg(1 << 20);

// A script of range(0) short chunk lines compiled from memory into a file.
void BM_CompileLines(benchmark::State& state) {
  const auto lines = static_cast<std::size_t>(state.range(0));
  const std::string script = ChunkLines(lines);
  const ScratchFolder folder;
  const std::string output = folder / "lines.mng";
  for (auto _ : state) {
    Compiler compiler;
    if (!compiler.CompileText(script, output)) {
      state.SkipWithError(compiler.Message().c_str());
      break;
    }
  }
  state.counters["lines"] =
      benchmark::Counter(static_cast<double>(lines), benchmark::Counter::kIsIterationInvariantRate);
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(script.size()));
}
BENCHMARK(BM_CompileLines)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

constexpr int kEmbedFiles = 16;

// Writes kEmbedFiles PNG-signature files of size bytes each into folder and
// returns a script that embeds them all by their full paths; empty when a
// path holds a blank, which a script cannot name.
std::string EmbedScript(const ScratchFolder& folder, std::size_t size) {
  std::string script = "MHDR 1 1 1 0 0 0 0\n";
  for (int i = 0; i < kEmbedFiles; ++i) {
    std::vector<std::uint8_t> bytes = Filler(size, static_cast<std::uint32_t>(i + 1));
    std::copy(std::begin(kPngSignature), std::end(kPngSignature), bytes.begin());
    const std::string path = folder / ("frame" + std::to_string(i) + ".png");
    if (path.find_first_of(" \t") != std::string::npos) {
      return {};
    }
    WriteFile(path, bytes);
    script += "IHDR " + path + "\n";
  }
  return script + "MEND\n";
}

// Each run starts without an output: replacing a large file costs extra on
// some file systems (ext4 flushes the new file), which is not the copy itself.
void RemoveUntimed(benchmark::State& state, const std::string& path) {
  state.PauseTiming();
  std::error_code ec;
  fs::remove(path, ec);
  state.ResumeTiming();
}

// Embeds kEmbedFiles files of range(0) bytes each into one MNG file.
void BM_Embed(benchmark::State& state) {
  const auto size = static_cast<std::size_t>(state.range(0));
  const ScratchFolder folder;
  const std::string script = EmbedScript(folder, size);
  if (script.empty()) {
    state.SkipWithError("the temporary folder's path holds a blank");
    return;
  }
  const std::string output = folder / "embed.mng";
  for (auto _ : state) {
    RemoveUntimed(state, output);
    Compiler compiler;
    if (!compiler.CompileText(script, output)) {
      state.SkipWithError(compiler.Message().c_str());
      break;
    }
  }
  state.SetBytesProcessed(state.iterations() * kEmbedFiles * state.range(0));
}

// The yardstick for BM_Embed: the same files read and written into one file
// through standard streams, as a plain concatenation would.
void BM_CopyFiles(benchmark::State& state) {
  const auto size = static_cast<std::size_t>(state.range(0));
  const ScratchFolder folder;
  if (EmbedScript(folder, size).empty()) {
    state.SkipWithError("the temporary folder's path holds a blank");
    return;
  }
  const std::string output = folder / "copy.out";
  std::vector<char> buffer(256 * 1024);
  for (auto _ : state) {
    RemoveUntimed(state, output);
    std::ofstream out(output, std::ios::binary | std::ios::trunc);
    for (int i = 0; i < kEmbedFiles; ++i) {
      std::ifstream in(folder / ("frame" + std::to_string(i) + ".png"), std::ios::binary);
      while (in.read(buffer.data(), static_cast<std::streamsize>(buffer.size())) ||
             in.gcount() > 0) {
        out.write(buffer.data(), in.gcount());
      }
    }
  }
  state.SetBytesProcessed(state.iterations() * kEmbedFiles * state.range(0));
}

BENCHMARK(BM_Embed)
    ->Arg(4096)
    ->Arg(1 << 20)
    ->Arg(4 << 20)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_CopyFiles)
    ->Arg(4096)
    ->Arg(1 << 20)
    ->Arg(4 << 20)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
