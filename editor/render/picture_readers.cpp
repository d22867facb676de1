#include "render/picture_readers.h"

#include "render/read_png_file.h"

namespace tamrisk {

PictureReaders editor_picture_readers() {
  PictureReaders readers;
  readers.png = ReadPNGFile;
  readers.other = read_picture;
  return readers;
}

}  // namespace tamrisk
