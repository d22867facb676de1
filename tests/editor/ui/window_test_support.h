#pragma once

// Helpers for driving the main window in tests: a window over a fresh
// program folder, its controls by name, and small projects written to disk.

#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "model/project_model.h"
#include "model/settings_file.h"
#include "ui/form1.h"
#include "ui/image_canvas.h"
#include "ui_test_support.h"

namespace tamrisk::test {

// The main window over its own program folder, shown and active.
struct Window {
  explicit Window(const QString& program_folder, const QString& compiler = QString())
      : form(std::make_unique<ui::Form1>(program_folder, compiler)) {
    form->show();
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowExposed(form.get(), kWaitMs));
  }

  template <typename T = QWidget>
  T* get(const QString& name) const {
    return form->findChild<T*>(name);
  }
  QPushButton* button(const QString& name) const { return get<QPushButton>(name); }
  QLineEdit* line(const QString& name) const { return get<QLineEdit>(name); }
  QScrollBar* bar(const QString& name) const { return get<QScrollBar>(name); }
  ui::ImageCanvas* canvas(const QString& name) const { return get<ui::ImageCanvas>(name); }
  QString text(const QString& name) const { return line(name)->text(); }

  void click(const QString& name) const { QTest::mouseClick(button(name), Qt::LeftButton); }
  // Replaces the sequence by typing.
  void type_sequence(const QString& sequence) const {
    QLineEdit* box = line(QStringLiteral("pattern_anime"));
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
    QTest::keyClicks(box, sequence);
  }

  ProjectModel& model() const { return form->model(); }

  std::unique_ptr<ui::Form1> form;
};

// A picture of one colour with a block of another in its middle, so that
// composing it keyed by its top-left pixel draws only the block.
inline QImage block_picture(int width, int height, QRgb around, QRgb block) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(around);
  for (int y = height / 4; y < height - height / 4; ++y) {
    for (int x = width / 4; x < width - width / 4; ++x) {
      image.setPixel(x, y, block);
    }
  }
  return image;
}

// Writes a small project into folder: a 40 x 20 background, patterns 1 to 3
// (8 x 8 blocks of different colours on magenta) and a settings file
// "project.pst" with the sequence given, the output folder `output` and the
// base name "sample". Returns the settings file's path, empty on failure.
inline QString write_project(const QString& folder, const QString& sequence,
                             const QString& output) {
  const QDir dir(folder);
  const QRgb key = qRgb(255, 0, 255);
  const QRgb colours[] = {qRgb(200, 0, 0), qRgb(0, 160, 0), qRgb(0, 0, 220)};
  ProjectModel model(folder);
  QImage background(40, 20, QImage::Format_RGB32);
  for (int y = 0; y < background.height(); ++y) {
    for (int x = 0; x < background.width(); ++x) {
      background.setPixel(x, y, qRgb(x * 6, 128, y * 12));
    }
  }
  const QString bg_path = dir.filePath(QStringLiteral("bg.bmp"));
  if (!background.save(bg_path, "BMP")) {
    return {};
  }
  model.layer_path[0] = QDir::toNativeSeparators(bg_path);
  for (int i = 1; i <= 3; ++i) {
    const QString path = dir.filePath(QStringLiteral("p%1.bmp").arg(i));
    if (!block_picture(8, 8, key, colours[i - 1]).save(path, "BMP")) {
      return {};
    }
    model.layer_path[static_cast<size_t>(i)] = QDir::toNativeSeparators(path);
  }
  model.set_pattern_anime(sequence);
  model.set_output_folder(QDir::toNativeSeparators(output));
  model.basename = QStringLiteral("sample");
  const QString pst = dir.filePath(QStringLiteral("project.pst"));
  QString error;
  if (!save_settings(model, pst, &error)) {
    qWarning("%s", qPrintable(error));
    return {};
  }
  return pst;
}

}  // namespace tamrisk::test
