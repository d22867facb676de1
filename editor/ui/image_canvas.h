#pragma once

#include <QImage>
#include <QSize>
#include <QWidget>

#include "ui/click_tracker.h"

namespace tamrisk::ui {

// A picture canvas: shows an image and takes the size of what it shows,
// plus a one-pixel border around it when framed (so that an empty canvas in
// the window's colour can still be seen). A picture that fits the canvas's
// slot shows at its own size; a larger one shows smoothly scaled down to fit
// the slot with its aspect kept, for display only. A left click anywhere on
// it is reported through clicked; a local file dropped on it, through
// file_dropped.
class ImageCanvas : public QWidget {
  Q_OBJECT

 public:
  explicit ImageCanvas(QWidget* parent = nullptr);

  // The picture as given, whatever size it shows at.
  const QImage& image() const { return image_; }
  void set_image(const QImage& image);
  void set_framed(bool framed);

  // The largest size a picture shows at, border not counted; an empty size
  // lets every picture show at its own size.
  void set_slot(const QSize& slot);
  const QSize& slot() const { return slot_; }
  // The picture as it shows, scaled into the slot when it is larger.
  const QImage& shown() const { return shown_; }

 signals:
  void clicked();
  void file_dropped(const QString& path);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  int border() const { return framed_ ? 1 : 0; }
  void rescale();

  QImage image_;
  QImage shown_;
  QSize slot_;
  bool framed_ = false;
  ClickTracker click_;
};

// The size a picture of `picture` size shows at in a slot: its own when it
// fits (or when the slot is empty), else the largest that fits with the
// aspect kept, never below 1 x 1.
QSize shown_size(const QSize& picture, const QSize& slot);

}  // namespace tamrisk::ui
