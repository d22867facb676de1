#pragma once

#include <QImage>
#include <QWidget>

#include "ui/click_tracker.h"

namespace tamrisk::ui {

// A picture canvas: shows an image at its own size and takes the image's
// size, plus a one-pixel border around it when framed (so that an empty
// canvas in the window's colour can still be seen). A left click on it is
// reported through clicked.
class ImageCanvas : public QWidget {
  Q_OBJECT

 public:
  explicit ImageCanvas(QWidget* parent = nullptr);

  const QImage& image() const { return image_; }
  void set_image(const QImage& image);
  void set_framed(bool framed);

 signals:
  void clicked();
  void file_dropped(const QString& path);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  int border() const { return framed_ ? 1 : 0; }

  QImage image_;
  bool framed_ = false;
  ClickTracker click_;
};

}  // namespace tamrisk::ui
