#pragma once

#include <QString>

#include "model/project_model.h"
#include "model/settings_file.h"

// Assigning a picture file to a layer, as the image picker does.
namespace tamrisk {

// The type text under which the image picker reads files with the PNG
// reader. Compared case-sensitively: "*.png" picks the general loader.
inline constexpr char kPngTypeText[] = "*.PNG";
bool picker_uses_png_reader(const QString& type_text);

// Reads the picture at path into layer: with readers.png when png_reader is
// true, else with readers.other (read_picture where a reader is not set).
// layer_path[layer] becomes path. For the background the frame canvas then
// takes the background's size and is cleared, the placement ranges follow
// it, bg_from_file becomes true and adjust mode ends. Returns false and
// leaves a message when the picture could not be read; nothing has changed
// then, the path included.
bool load_layer_picture(ProjectModel& model, int layer, const QString& path, bool png_reader,
                        QString* error, const PictureReaders& readers = {});

}  // namespace tamrisk
