#pragma once

#include "model/settings_file.h"

namespace tamrisk {

// The editor's picture readers: ReadPNGFile for PNG files, the general
// loader for everything else. For the image picker, for loading settings in
// the window and for the export from the command line.
PictureReaders editor_picture_readers();

}  // namespace tamrisk
