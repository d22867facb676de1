#include "model_test_support.h"

#include <QFile>
#include <QImage>

namespace tamrisk::test {

::testing::AssertionResult SameModel(const ProjectModel& a, const ProjectModel& b) {
  auto fail = [](const char* what) { return ::testing::AssertionFailure() << what << " differs"; };
  for (int i = 0; i < kLayerCount; ++i) {
    if (a.layer_path[i] != b.layer_path[i])
      return fail("layer_path");
    if (a.pic[i] != b.pic[i])
      return fail("pic");
  }
  if (a.bg_from_file != b.bg_from_file || a.bg_colour != b.bg_colour || a.bg_width != b.bg_width ||
      a.bg_height != b.bg_height)
    return fail("background");
  if (a.adjust_x() != b.adjust_x() || a.adjust_y() != b.adjust_y())
    return fail("adjust");
  if (a.adjust_x_range().max != b.adjust_x_range().max ||
      a.adjust_y_range().min != b.adjust_y_range().min)
    return fail("adjust range");
  if (a.pattern_anime() != b.pattern_anime())
    return fail("pattern_anime");
  if (a.frame_dx != b.frame_dx || a.frame_dy != b.frame_dy)
    return fail("frame offsets");
  if (a.sc_bar() != b.sc_bar())
    return fail("sc_bar");
  if (a.output_drive != b.output_drive || a.output_dir != b.output_dir)
    return fail("output");
  if (a.basename != b.basename || a.path_ref != b.path_ref)
    return fail("basename/path_ref");
  if (a.adjust_on != b.adjust_on || a.fine_on != b.fine_on || a.png_output != b.png_output)
    return fail("modes");
  if (a.win_main != b.win_main)
    return fail("win_main");
  return ::testing::AssertionSuccess();
}

ProjectModel BusyModel(const QString& program_folder) {
  ProjectModel m(program_folder);
  m.layer_path[3] = QStringLiteral("/nowhere/p3.bmp");
  m.pic[3] = QImage(7, 9, QImage::Format_RGB32);
  m.pic[3].fill(qRgb(1, 2, 3));
  m.bg_from_file = false;
  m.bg_colour = 0x123456;
  m.bg_width = 300;
  m.bg_height = 150;
  m.set_adjust_x(-7);
  m.set_adjust_y(9);
  m.set_sc_bar(4);
  m.set_pattern_anime(QStringLiteral("1234"));
  m.frame_dx[1] = 5;
  m.frame_dy[2] = -6;
  m.output_dir = QStringLiteral("/busy/out");
  m.basename = QStringLiteral("busy");
  m.path_ref = QStringLiteral("/busy/pics");
  m.adjust_on = true;
  return m;
}

QByteArray Crlf(const char* text) {
  return QByteArray(text).replace("\n", "\r\n");
}

QByteArray Records(const QStringList& layers, const char* rest) {
  QByteArray text;
  for (int i = 0; i < kLayerCount; ++i) {
    text += '"' + (i < layers.size() ? layers[i].toUtf8() : QByteArray()) + "\"\r\n";
  }
  return text + Crlf(rest);
}

bool WriteFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray ReadFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WritePicture(const QString& path, int width, int height, QRgb colour) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(colour);
  return image.save(path);
}

}  // namespace tamrisk::test
