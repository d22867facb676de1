#pragma once

#include <QSize>
#include <memory>

#include "export/animation_encoder.h"

namespace tamrisk {

// An endless MNG that stores only what changes: the first frame whole, then
// for every later frame the rectangle that changed since the frame before,
// placed with DEFI and drawn over the frame before (framing mode 1), its
// pixels that keep their colour transparent (a tRNS key colour); an
// unchanged frame is a single pixel that repeats what is already shown.
// Palette PNGs wherever a rectangle has at most 256 colours. TERM repeats
// the sequence for ever; 10 ticks a second and the default delay of one tick
// give 10 frames a second. The file is assembled by the compiler's own chunk
// encoder from a script and the rectangles' PNG files, all in a private
// temporary folder that is removed before finish() returns.
//
// frame_count is the number of frames expected; it only reserves memory.
std::unique_ptr<AnimationEncoder> make_compact_mng_encoder(QSize size, int frame_count);

}  // namespace tamrisk
