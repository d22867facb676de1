// In-process kernels of the editor on the benchmark project (bench_project.h)
// at 640 x 480 and 1920 x 1080: the keyed copy, composing a frame, and
// encoding a composed frame as PNG. Whole-program timings against other tools
// live in scripts/bench.sh.
#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QImage>
#include <QString>
#include <map>
#include <utility>

#include "bench_project.h"
#include "platform/png_codec.h"
#include "render/compose.h"

namespace {

using tamrisk::bench::BenchLayers;

// The layers of one size, drawn once per run of the program.
const BenchLayers& layers(int width, int height) {
  static std::map<std::pair<int, int>, BenchLayers> cache;
  auto it = cache.find({width, height});
  if (it == cache.end()) {
    it = cache.emplace(std::pair{width, height}, tamrisk::bench::make_layers(width, height)).first;
  }
  return it->second;
}

void SetFrameLabel(benchmark::State& state) {
  state.SetLabel(std::to_string(state.range(0)) + "x" + std::to_string(state.range(1)));
}

// The keyed copy of a whole layer onto a frame that shows the background:
// range(2) 10 is the foreground (the frame's size, mostly key colour), 1 the
// first pattern (a fifth of the width, a third of the height, mostly figure).
void BM_KeyColorBlt(benchmark::State& state) {
  const auto width = static_cast<int>(state.range(0));
  const auto height = static_cast<int>(state.range(1));
  const BenchLayers& l = layers(width, height);
  const QImage& src = l.pic[static_cast<size_t>(state.range(2))];
  QImage frame = l.pic[tamrisk::kBackground].copy();
  const tamrisk::Colour key = tamrisk::key_colour(src);
  for (auto _ : state) {
    tamrisk::key_color_blt(frame, width / 7, height / 5, src.width(), src.height(), src, 0, 0, key);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * src.width() * src.height());
  state.SetLabel(std::to_string(width) + "x" + std::to_string(height) +
                 (state.range(2) == tamrisk::kForeground ? " foreground" : " pattern"));
}
BENCHMARK(BM_KeyColorBlt)
    ->Args({640, 480, tamrisk::kForeground})
    ->Args({640, 480, 1})
    ->Args({1920, 1080, tamrisk::kForeground})
    ->Args({1920, 1080, 1})
    ->Unit(benchmark::kMicrosecond);

// compose_frame over the 91 frames of the sequence, one frame an iteration.
void BM_ComposeFrame(benchmark::State& state) {
  const auto width = static_cast<int>(state.range(0));
  const auto height = static_cast<int>(state.range(1));
  tamrisk::ProjectModel model;
  tamrisk::bench::load_bench_project(model, layers(width, height));
  int k = 0;
  for (auto _ : state) {
    model.cur_frame = static_cast<std::int16_t>(k);
    tamrisk::compose_frame(model);
    benchmark::DoNotOptimize(model.win_main.constBits());
    k = (k + 1) % tamrisk::bench::kFrameCount;
  }
  state.SetItemsProcessed(state.iterations());
  SetFrameLabel(state);
}
BENCHMARK(BM_ComposeFrame)->Args({640, 480})->Args({1920, 1080})->Unit(benchmark::kMillisecond);

// encode_png of composed frames (palette pictures), cycling through the first
// nine frames.
void BM_EncodeFrame(benchmark::State& state) {
  const auto width = static_cast<int>(state.range(0));
  const auto height = static_cast<int>(state.range(1));
  tamrisk::ProjectModel model;
  tamrisk::bench::load_bench_project(model, layers(width, height));
  std::vector<QImage> frames;
  for (int k = 0; k < 9; ++k) {
    model.cur_frame = static_cast<std::int16_t>(k);
    tamrisk::compose_frame(model);
    frames.push_back(model.win_main.copy());
  }
  std::size_t k = 0;
  std::int64_t bytes = 0;
  for (auto _ : state) {
    QByteArray png;
    QString error;
    if (!tamrisk::encode_png(frames[k], width, height, &png, &error)) {
      state.SkipWithError(qPrintable(error));
      break;
    }
    bytes += png.size();
    k = (k + 1) % frames.size();
  }
  state.SetItemsProcessed(state.iterations());
  state.counters["png_bytes"] =
      benchmark::Counter(static_cast<double>(bytes) / std::max<double>(1, state.iterations()));
  SetFrameLabel(state);
}
BENCHMARK(BM_EncodeFrame)->Args({640, 480})->Args({1920, 1080})->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
