#pragma once

#include <QImage>

#include "model/project_model.h"

namespace tamrisk {

// The key colour of a layer canvas: its top-left pixel; 0 for an empty image.
Colour key_colour(const QImage& canvas);

// Copies the width x height area of src at (src_x, src_y) to dest at (x, y),
// leaving out every source pixel whose RGB equals `key` exactly. Pixels that
// would fall outside either surface are skipped. A dest in another format
// than (A)RGB32 is converted to Format_RGB32 first.
void key_color_blt(QImage& dest, int x, int y, int width, int height, const QImage& src, int src_x,
                   int src_y, Colour key);

// Draws frame cur_frame into model.win_main: the background opaque, the
// frame's pattern keyed and wrapped round the right edge, the foreground
// keyed. A sequence character other than "1".."9", or a frame past the text
// or past the per-frame tables, makes the background the pattern. The zoom
// window mirrors win_main through zoom_image.
void compose_frame(ProjectModel& model);

// While adjust_on: the background and pattern 1 at (adjust_x, adjust_y) into
// win_main, without clearing it first. Otherwise win_main is left alone.
void draw_adjust_preview(ProjectModel& model);

// The frame at `scale` times its size (4 unless told), every pixel a
// scale x scale block; a null image when that size cannot be allocated or
// scale is below 1.
QImage zoom_image(const QImage& frame, int scale = 4);

}  // namespace tamrisk
