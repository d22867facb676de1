#include "ui/form4.h"

#include <QCloseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace tamrisk::ui {

Form4::Form4(QWidget* parent) : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint) {
  setAttribute(Qt::WA_DeleteOnClose);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setWindowTitle(QStringLiteral("Form4"));
}

void Form4::set_frame(const QImage& zoomed) {
  frame_ = zoomed;
  if (!frame_.isNull() && size() != frame_.size()) {
    setFixedSize(frame_.size());
  }
  update();
}

void Form4::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.fillRect(event->rect(), palette().window());
  painter.drawImage(event->rect().topLeft(), frame_, event->rect());
}

void Form4::closeEvent(QCloseEvent* event) {
  QWidget::closeEvent(event);
  if (event->isAccepted()) {
    emit closed();
  }
}

}  // namespace tamrisk::ui
