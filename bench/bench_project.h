#pragma once

#include <QImage>
#include <QString>
#include <array>

#include "model/project_model.h"

// The project the editor's benchmarks run on: a meadow scene of exactly 256
// colours as the background, nine steps of a walking figure as patterns and
// a foreground of grass, a post and a tree, all drawn from the background's
// palette, so that every composed frame is a palette picture. The RGB variant
// draws the sky as a smooth gradient with an anti-aliased sun and shades the
// figure's shirt smoothly, so that every frame has thousands of colours. The
// same size and variant always give the same pixels.
namespace tamrisk::bench {

inline constexpr int kFrameCount = kMaxFrames;

enum class BenchColours { kPalette, kRgb };

struct BenchLayers {
  std::array<QImage, kLayerCount> pic;  // Format_RGB32; patterns keyed on magenta
};

BenchLayers make_layers(int width, int height, BenchColours colours = BenchColours::kPalette);

// The sequence "123456789" repeated to kFrameCount frames.
QString bench_sequence();
// Pattern advance per frame: about one lap of the frame over the sequence.
int bench_sc_bar(int width);
// Where the figure stands: its top edge a little above the middle.
int bench_adjust_y(int height);
// A one-pixel bob: frame k moves up on even k > 0, down on odd k.
std::int16_t bench_frame_dy(int k);

// A model holding the layers and the settings above, its frame canvas fitted.
void load_bench_project(ProjectModel& model, const BenchLayers& layers);

// Writes the layer pictures (bg.png, pat1.png .. pat9.png, fg.png) and
// bench.pst, whose paths are relative to its own folder, into folder.
// Returns false with a message.
bool write_bench_project(const QString& folder, int width, int height, QString* error,
                         BenchColours colours = BenchColours::kPalette);

}  // namespace tamrisk::bench
