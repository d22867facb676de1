#include "ui/image_canvas.h"

#include <QMouseEvent>
#include <QPainter>

namespace tamrisk::ui {

ImageCanvas::ImageCanvas(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void ImageCanvas::set_image(const QImage& image) {
  image_ = image;
  const QSize wanted = image_.size() + QSize(2 * border(), 2 * border());
  if (size() != wanted) {
    setFixedSize(wanted);
  }
  update();
}

void ImageCanvas::set_framed(bool framed) {
  framed_ = framed;
  set_image(image_);
}

void ImageCanvas::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (framed_) {
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
  }
  painter.drawImage(QPoint(border(), border()), image_);
}

void ImageCanvas::mousePressEvent(QMouseEvent* event) {
  click_.press(*event);
}

void ImageCanvas::mouseReleaseEvent(QMouseEvent* event) {
  if (click_.release(*event, rect())) {
    emit clicked();
  }
}

}  // namespace tamrisk::ui
