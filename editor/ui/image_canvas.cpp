#include "ui/image_canvas.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QUrl>

namespace tamrisk::ui {

namespace {

// The path of the first local file among a drag's urls; empty when there is
// none. Folders are not files to load.
QString first_local_file(const QMimeData* mime) {
  if (mime == nullptr || !mime->hasUrls()) {
    return {};
  }
  for (const QUrl& url : mime->urls()) {
    if (url.isLocalFile() && !QFileInfo(url.toLocalFile()).isDir()) {
      return url.toLocalFile();
    }
  }
  return {};
}

}  // namespace

QSize shown_size(const QSize& picture, const QSize& slot) {
  if (slot.isEmpty() || (picture.width() <= slot.width() && picture.height() <= slot.height())) {
    return picture;
  }
  return picture.scaled(slot, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
}

ImageCanvas::ImageCanvas(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAcceptDrops(true);
}

void ImageCanvas::set_image(const QImage& image) {
  const bool same = image.cacheKey() == image_.cacheKey() && !shown_.isNull();
  image_ = image;
  if (!same) {
    rescale();
  }
}

void ImageCanvas::set_framed(bool framed) {
  framed_ = framed;
  rescale();
}

void ImageCanvas::set_slot(const QSize& slot) {
  slot_ = slot;
  rescale();
}

void ImageCanvas::rescale() {
  const QSize size = shown_size(image_.size(), slot_);
  shown_ = size == image_.size()
               ? image_
               : image_.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  const QSize wanted = shown_.size() + QSize(2 * border(), 2 * border());
  if (this->size() != wanted) {
    setFixedSize(wanted);
  }
  update();
}

void ImageCanvas::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (framed_) {
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
  }
  painter.drawImage(QPoint(border(), border()), shown_);
}

void ImageCanvas::mousePressEvent(QMouseEvent* event) {
  click_.press(*event);
}

void ImageCanvas::mouseReleaseEvent(QMouseEvent* event) {
  if (click_.release(*event, rect())) {
    emit clicked();
  }
}

void ImageCanvas::dragEnterEvent(QDragEnterEvent* event) {
  if (!first_local_file(event->mimeData()).isEmpty()) {
    event->acceptProposedAction();
  }
}

void ImageCanvas::dropEvent(QDropEvent* event) {
  const QString path = first_local_file(event->mimeData());
  if (path.isEmpty()) {
    event->ignore();
    return;
  }
  event->acceptProposedAction();
  emit file_dropped(path);
}

}  // namespace tamrisk::ui
