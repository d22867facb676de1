#pragma once

#include <QSize>
#include <memory>

#include "anim/animation_encoder.h"

namespace tamrisk {

// An animated PNG (APNG) at the timing's frame rate and loop count: the
// first frame whole in IDAT, every later one as the rectangle that differs
// from the canvas it is drawn on, with the dispose and blend operations that
// make it smallest; each frame's delay is its periods over the frame rate. Frames are kept (as
// those rectangles) until finish(), which chooses one colour type for the whole animation and
// encodes it. frame_count is how many frames the caller means to add (a hint for memory).
std::unique_ptr<AnimationEncoder> make_apng_encoder(QSize size, const AnimationTiming& timing,
                                                    int frame_count);

}  // namespace tamrisk
