#include "model/layer_picture.h"

#include <QCoreApplication>
#include <QDir>

namespace tamrisk {

bool picker_uses_png_reader(const QString& type_text) {
  return type_text == QLatin1String(kPngTypeText);
}

bool load_layer_picture(ProjectModel& model, int layer, const QString& path, bool png_reader,
                        QString* error, const PictureReaders& readers) {
  if (layer < 0 || layer >= kLayerCount) {
    if (error != nullptr) {
      *error =
          QCoreApplication::translate("tamrisk::LayerPicture", "レイヤー番号 %1 はありません。")
              .arg(layer);
    }
    return false;
  }
  QString reason;
  if (!read_layer_picture(model, layer, path, png_reader, readers, &reason)) {
    if (error != nullptr) {
      const QString why = !reason.isEmpty() ? reason
                          : png_reader
                              ? QCoreApplication::translate("tamrisk::LayerPicture",
                                                            "PNG画像ではないか、壊れています。")
                              : QCoreApplication::translate("tamrisk::LayerPicture",
                                                            "読めない形式の画像か、壊れています。");
      *error =
          QCoreApplication::translate("tamrisk::LayerPicture", "%1に「%2」を読み込めません。\n%3")
              .arg(ProjectModel::layer_name(layer), QDir::toNativeSeparators(path), why);
    }
    return false;
  }
  model.layer_path[layer] = path;
  if (layer == kBackground) {
    model.bg_from_file = true;
    model.fit_frame_canvas();
    model.set_background_ranges();
    model.adjust_on = false;
  }
  return true;
}

}  // namespace tamrisk
