#pragma once

#include <QSize>

#include <memory>

#include "export/animation_encoder.h"

namespace tamrisk {

// A GIF89a animation that loops forever at kAnimationFramesPerSecond: the
// first frame whole, every later one only the rectangle that changed, its
// unchanged pixels transparent or their own colour, whichever compresses
// better. A frame whose rectangle has at most 256 colours keeps them
// exactly; one with more is reduced to 256 (notes() names those frames). A
// frame equal to the one before lengthens that frame's delay. Frames wait in
// memory, up to a bound, so that the global colour table can suit them; the
// file is written at finish(). frame_count is not needed.
std::unique_ptr<AnimationEncoder> make_gif_encoder(QSize size, int frame_count);

}  // namespace tamrisk
