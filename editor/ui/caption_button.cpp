#include "ui/caption_button.h"

#include <QFontMetrics>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace tamrisk::ui {

namespace {

// How many pixels smaller a caption may be drawn to stay on one line.
constexpr int kMaxShrink = 2;

}  // namespace

CaptionButton::CaptionButton(const QString& caption, QWidget* parent)
    : QPushButton(caption, parent) {
  setAutoDefault(false);
}

void CaptionButton::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  QStyleOptionButton option;
  initStyleOption(&option);
  option.text.clear();
  painter.drawControl(QStyle::CE_PushButton, option);
  const int shift =
      isDown() ? style()->pixelMetric(QStyle::PM_ButtonShiftHorizontal, &option, this) : 0;
  painter.setPen(
      palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
  const QRect area = rect().adjusted(2 + shift, 2 + shift, -2 + shift, -2 + shift);
  QFont caption = font();
  int flags = Qt::AlignCenter | Qt::TextWrapAnywhere;
  const int size = caption.pixelSize();
  for (int smaller = 0; size > 0 && smaller <= kMaxShrink; ++smaller) {
    QFont tried = caption;
    tried.setPixelSize(size - smaller);
    if (QFontMetrics(tried).horizontalAdvance(text()) <= area.width()) {
      caption = tried;
      flags = Qt::AlignCenter;
      break;
    }
  }
  painter.setFont(caption);
  painter.drawText(area, flags, text());
}

}  // namespace tamrisk::ui
