#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>

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

// The kinds of project the whole-program benchmark exports, each a kind of
// input a user brings:
//   meadow    the project above;
//   sprites   six small sprites over a detailed background of about 200
//             colours; a third of the frames shade their sprites smoothly and
//             have more than 256 colours;
//   switch    a walking figure of palette colours over a 256-colour meadow,
//             every ten frames swapped for a shaded picture of thousands;
//   gradient  an anti-aliased, shaded ball bouncing over a smooth gradient;
//   pixel64   pixel art of 16 colours, 64 x 64;
//   pixel16   pixel art of 16 colours, 16 x 16;
//   hd        a 1920 x 1080 meadow of some hundred thousand colours: smooth
//             sky, textured ground, the shaded figure.
// Every kind has 91 frames and a size of its own, which the caller may
// change; the same kind and size always give the same pixels.
enum class BenchKind { kMeadow, kSprites, kSwitch, kGradient, kPixel64, kPixel16, kHd };

// "meadow", "sprites", ...: the names above, in that order.
QStringList bench_kind_names();
bool parse_bench_kind(const QString& name, BenchKind* kind);
QSize bench_kind_size(BenchKind kind);

// A project's pictures and its frame settings.
struct BenchScene {
  BenchLayers layers;
  QString sequence;
  int sc_bar = 0;
  int adjust_x = 0;
  int adjust_y = 0;
  std::array<std::int16_t, kFrameCount> frame_dx{};
  std::array<std::int16_t, kFrameCount> frame_dy{};
};

// The scene of a kind at a size; colours chooses the meadow's variant and
// is ignored by the other kinds.
BenchScene make_scene(BenchKind kind, int width, int height,
                      BenchColours colours = BenchColours::kPalette);
// Writes a scene as write_bench_project does.
bool write_bench_scene(const QString& folder, const BenchScene& scene, QString* error);

}  // namespace tamrisk::bench
