#pragma once

#include <QSize>

#include <memory>

#include "export/animation_encoder.h"

namespace tamrisk {

// A GIF89a animation that loops forever at kAnimationFramesPerSecond: the
// first frame whole, every later one only the rectangle that changed, with
// the pixels that stay as they were made transparent where that is smaller.
// A frame whose rectangle has at most 256 colours keeps them exactly; one with
// more is reduced to 256, and notes() names those frames. A frame equal to
// the one before lengthens that frame's delay. The file is assembled in
// memory and written at finish().
std::unique_ptr<AnimationEncoder> make_gif_encoder(QSize size, int frame_count);

}  // namespace tamrisk
