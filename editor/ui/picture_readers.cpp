#include "ui/picture_readers.h"

#include "render/read_png_file.h"

namespace tamrisk::ui {

PictureReaders editor_picture_readers() {
  PictureReaders readers;
  readers.png = [](QImage& canvas, const QString& path) { return ReadPNGFile(canvas, path); };
  readers.other = read_picture;
  return readers;
}

}  // namespace tamrisk::ui
