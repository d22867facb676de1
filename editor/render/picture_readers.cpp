#include "render/picture_readers.h"

#include "render/read_png_file.h"

namespace tamrisk {

PictureReaders editor_picture_readers() {
  PictureReaders readers;
  readers.png = [](QImage& canvas, const QString& path, QString* why) {
    return ReadPNGFile(canvas, path, why);
  };
  readers.other = read_picture;
  return readers;
}

}  // namespace tamrisk
