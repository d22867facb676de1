#include "ui/form4.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

#include "render/compose.h"
#include "ui/image_canvas.h"

namespace tamrisk::ui {

int zoom_factor(const QSize& frame, const QSize& room, const QSize& decoration) {
  for (int factor = Form4::kMaxFactor; factor > 1; --factor) {
    if (qint64{frame.width()} * factor + decoration.width() <= room.width() &&
        qint64{frame.height()} * factor + decoration.height() <= room.height()) {
      return factor;
    }
  }
  return 1;
}

Form4::Form4(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint),
      area_(new QScrollArea(this)),
      view_(new ImageCanvas) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(tr("Form4"));
  view_->setAcceptDrops(false);
  area_->setFrameShape(QFrame::NoFrame);
  area_->setWidget(view_);
  // The window may be made as small as the user likes; it scrolls then.
  area_->setMinimumSize(1, 1);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(area_);
}

const QImage& Form4::frame() const {
  return view_->image();
}

void Form4::set_frame(const QImage& frame) {
  if (frame.isNull()) {
    view_->set_image(QImage());
    return;
  }
  const bool resized = frame.size() != frame_size_;
  if (resized) {
    frame_size_ = frame.size();
    factor_ = zoom_factor(frame_size_, available().size(), decoration());
  }
  view_->set_image(zoom_image(frame, factor_));
  if (resized) {
    fit_to_screen();
  }
}

QSize Form4::decoration() const {
  return (frameGeometry().size() - size()).expandedTo(kDecoration);
}

QRect Form4::available() const {
  QScreen* here = QGuiApplication::screenAt(pos());
  if (here == nullptr) {
    here = screen();
  }
  // Without any screen nothing bounds the window.
  return here != nullptr ? here->availableGeometry() : QRect(0, 0, 1 << 20, 1 << 20);
}

void Form4::fit_to_screen() {
  const QRect room = available();
  const QSize client_room = room.size() - decoration();
  const QSize whole = view_->size();
  QSize client = whole.boundedTo(client_room);
  // A side cut short gets a scroll bar across the other side.
  const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, area_);
  if (client.width() < whole.width()) {
    client.setHeight(std::min(client.height() + bar, client_room.height()));
  }
  if (client.height() < whole.height()) {
    client.setWidth(std::min(client.width() + bar, client_room.width()));
  }
  resize(client);
  // Keep the whole window on the screen, its top-left corner first.
  const QSize outer = client + decoration();
  const int x = std::max(room.left(), std::min(pos().x(), room.right() + 1 - outer.width()));
  const int y = std::max(room.top(), std::min(pos().y(), room.bottom() + 1 - outer.height()));
  move(x, y);
}

void Form4::closeEvent(QCloseEvent* event) {
  QWidget::closeEvent(event);
  if (event->isAccepted()) {
    emit closed();
  }
}

}  // namespace tamrisk::ui
