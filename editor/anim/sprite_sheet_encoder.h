#pragma once

#include <QSize>
#include <memory>

#include "anim/animation_encoder.h"

namespace tamrisk {

// A sprite sheet: every distinct frame once in a PNG, in a grid that keeps
// the sheet near square or in one row, whichever file is smaller; a frame
// that repeats an earlier one points at the same cell. companion() is the
// frame list as sprite editors write it and game engines and web frameworks
// read it (the "hash" layout: frames keyed by name, each with its frame
// rectangle, source size and duration in milliseconds, each frame's end
// rounded to the nearest; meta with the image's name, size, scale and
// format).
std::unique_ptr<AnimationEncoder> make_sprite_sheet_encoder(QSize size,
                                                            const AnimationTiming& timing,
                                                            int frame_count);

}  // namespace tamrisk
