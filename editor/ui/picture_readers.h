#pragma once

#include "model/settings_file.h"

namespace tamrisk::ui {

// The editor's picture readers: ReadPNGFile for PNG files, the general
// loader for everything else. For the image picker and for loading settings.
PictureReaders editor_picture_readers();

}  // namespace tamrisk::ui
