#include "ui/colour_field.h"

#include <QMouseEvent>
#include <QPainter>

namespace tamrisk::ui {

ColourField::ColourField(QWidget* parent) : QFrame(parent) {
  setFrameStyle(QFrame::Panel | QFrame::Sunken);
  setLineWidth(1);
  setCursor(Qt::PointingHandCursor);
}

void ColourField::set_colour(const QColor& colour) {
  colour_ = colour;
  update();
}

void ColourField::paintEvent(QPaintEvent* event) {
  {
    QPainter painter(this);
    painter.fillRect(contentsRect(), colour_);
  }
  QFrame::paintEvent(event);
}

void ColourField::mousePressEvent(QMouseEvent* event) {
  pressed_ = event->button() == Qt::LeftButton;
  event->accept();
}

void ColourField::mouseReleaseEvent(QMouseEvent* event) {
  const bool click = pressed_ && event->button() == Qt::LeftButton && rect().contains(event->pos());
  pressed_ = false;
  event->accept();
  if (click) {
    emit clicked();
  }
}

}  // namespace tamrisk::ui
