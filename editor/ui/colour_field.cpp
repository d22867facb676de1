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
  click_.press(*event);
  event->accept();
}

void ColourField::mouseReleaseEvent(QMouseEvent* event) {
  const bool click = click_.release(*event, rect());
  event->accept();
  if (click) {
    emit clicked();
  }
}

}  // namespace tamrisk::ui
