#include "render/read_png_file.h"

#include "model/project_model.h"
#include "platform/png_codec.h"

namespace tamrisk {

bool ReadPNGFile(QImage& tPicCntrl, const QString& pngf, QString* error) {
  QImage picture;
  if (!read_png(pngf, &picture, error, colour_to_qrgb(kWindowColour))) {
    return false;
  }
  tPicCntrl = std::move(picture);
  return true;
}

}  // namespace tamrisk
