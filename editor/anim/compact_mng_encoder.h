#pragma once

#include <QSize>
#include <memory>

#include "anim/animation_encoder.h"

namespace tamrisk {

// An MNG that stores only what changes: the first frame whole, then for
// every later frame the rectangle that changed since the frame before (or a
// small one widened to start where the image before did, which saves its
// DEFI), placed with DEFI and drawn over the frame before (framing mode 1),
// its pixels that keep their colour transparent (a tRNS key colour).
// Palette PNGs wherever a rectangle has at most 256 colours; when the whole
// animation has at most 256, the images that come out smaller so take the
// palette from one global PLTE (an empty PLTE of their own), opaque. MHDR
// counts the timing's frames a second as ticks and every image stays the
// default one tick; a frame held longer is followed by a single pixel for
// each further period, repeating what is already shown. TERM repeats the sequence as
// often as the timing says, for ever for a loop count of 0.
//
// frame_count is the number of frames expected; it only reserves memory.
std::unique_ptr<AnimationEncoder> make_compact_mng_encoder(QSize size,
                                                           const AnimationTiming& timing,
                                                           int frame_count);

}  // namespace tamrisk
