#pragma once

#include <QSize>
#include <memory>

#include "anim/animation_encoder.h"

namespace tamrisk {

// A lossless animated WebP at the timing's frame rate and loop count, every
// pixel exact, made by libwebp: the export's changed rectangles, each stored
// opaque or blended with its unchanged pixels transparent, whichever is
// smaller, assembled with WebPMux; for small animations also libwebp's own
// search (WebPAnimEncoder, smallest size), keeping the smaller file. Durations are whole
// milliseconds, each frame's end rounded to the nearest. The frames are kept until finish().
std::unique_ptr<AnimationEncoder> make_webp_encoder(QSize size, const AnimationTiming& timing,
                                                    int frame_count);

}  // namespace tamrisk
