#pragma once

#include <QString>
#include <cstdint>
#include <optional>

#include "model/project_model.h"

// The plain background: a canvas of a typed size filled with bg_colour.
namespace tamrisk {

// The largest side in pixels whose size in twips still fits 16 bits.
inline constexpr int kMaxPlainPixels = 2184;

// Rounds to the nearest whole number, halves to the even neighbour. A value
// within a hair of a half (as 10.5 x 15 computed in binary may be) counts as
// the half.
double round_half_even(double value);

// A size typed in pixels, in twips: the number times 15, halves to even.
// Full-width digits and blanks around the number are accepted. nullopt with a
// message naming the box (`what`) for text that is not a number, a size that
// is not above zero, or one whose twips do not fit 16 bits.
std::optional<std::int16_t> plain_size_twips(const QString& text, const QString& what,
                                             QString* error);

// The background dialog's "Ｏｋ" with the plain canvas chosen: bg_width and
// bg_height from the typed pixel sizes, bg_from_file false, the background
// layer a canvas of that size in bg_colour, the frame canvas resized to it.
// Neither layer_path[0] nor the placement ranges change. When either size is
// refused, returns false with the message and changes nothing.
bool apply_plain_background(ProjectModel& model, const QString& width_text,
                            const QString& height_text, QString* error);

}  // namespace tamrisk
