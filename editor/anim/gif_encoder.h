#pragma once

#include <QSize>

#include <memory>

#include "anim/animation_encoder.h"

namespace tamrisk {

// A GIF89a animation at the timing's frame rate and loop count: the
// first frame whole, every later one only the rectangle that changed, its
// unchanged pixels transparent or their own colour, whichever compresses
// better. A frame whose rectangle has at most 256 colours keeps them
// exactly; one with more is reduced to 256 (notes() names those frames).
// Delays are whole hundredths of a second, each frame's end rounded to the
// nearest so that the total stays right. Frames wait in
// memory, up to a bound, so that the global colour table can suit them; the
// file is written at finish(). frame_count is not needed.
std::unique_ptr<AnimationEncoder> make_gif_encoder(QSize size, const AnimationTiming& timing,
                                                   int frame_count);

}  // namespace tamrisk
