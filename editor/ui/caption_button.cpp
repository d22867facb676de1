#include "ui/caption_button.h"

#include <QFontMetrics>
#include <QStringList>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <algorithm>
#include <optional>

namespace tamrisk::ui {

namespace {

// How many pixels smaller a caption may be drawn to stay on one line.
constexpr int kMaxShrink = 2;

// font, up to shrink pixels smaller, where text fits width on one line;
// nothing when it does not fit even then.
std::optional<QFont> smaller_to_fit(const QFont& font, const QString& text, int width,
                                    int shrink = kMaxShrink) {
  const int size = font.pixelSize();
  for (int smaller = 0; size - smaller > 0 && smaller <= shrink; ++smaller) {
    QFont tried = font;
    tried.setPixelSize(size - smaller);
    if (QFontMetrics(tried).horizontalAdvance(text) <= width) {
      return tried;
    }
  }
  return std::nullopt;
}

QString longest_word(const QString& text) {
  QString longest;
  for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
    if (word.size() > longest.size()) {
      longest = word;
    }
  }
  return longest;
}

// Captions in Chinese characters and kana may break between any two
// characters; captions in words break between words only.
bool breaks_anywhere(const QString& text) {
  for (const QChar c : text) {
    const QChar::Script script = c.script();
    if (script == QChar::Script_Han || script == QChar::Script_Hiragana ||
        script == QChar::Script_Katakana) {
      return true;
    }
  }
  return false;
}

// A caption that breaks anywhere, in as many lines as the width needs, the
// lines drawn closer than the font's own spacing where the height needs it,
// so that the last character still shows on a short upright button.
void draw_stacked(QPainter& painter, const QRect& area, const QString& caption) {
  const QFontMetrics metrics(painter.font());
  QStringList lines;
  QString line;
  for (const QChar c : caption) {
    if (!line.isEmpty() && metrics.horizontalAdvance(line + c) > area.width()) {
      lines << line;
      line.clear();
    }
    line += c;
  }
  lines << line;
  const int count = static_cast<int>(lines.size());
  const int step = std::min(metrics.lineSpacing(), area.height() / count);
  const int top = area.top() + (area.height() - step * count) / 2;
  for (int i = 0; i < count; ++i) {
    painter.drawText(QRect(area.left(), top + i * step, area.width(), step),
                     Qt::AlignCenter | Qt::TextDontClip, lines[i]);
  }
}

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
  QRect area = rect().adjusted(2 + shift, 2 + shift, -2 + shift, -2 + shift);
  const QString caption = text();
  QFont chosen = font();
  int flags = Qt::AlignCenter;
  if (const auto one_line = smaller_to_fit(font(), caption, area.width())) {
    chosen = *one_line;
  } else if (breaks_anywhere(caption)) {
    painter.setFont(chosen);
    draw_stacked(painter, area, caption);
    return;
  } else if (const auto words = smaller_to_fit(font(), longest_word(caption), area.width())) {
    chosen = *words;
    flags |= Qt::TextWordWrap;
  } else if (const auto upwards =
                 area.height() > area.width()
                     ? smaller_to_fit(font(), caption, area.height(), font().pixelSize() / 3)
                     : std::nullopt) {
    // Words too long for a narrow upright button read upwards along it.
    chosen = *upwards;
    painter.translate(area.bottomLeft());
    painter.rotate(-90);
    area = QRect(0, 0, area.height(), area.width());
  } else {
    flags |= Qt::TextWordWrap;
  }
  painter.setFont(chosen);
  painter.drawText(area, flags, caption);
}

}  // namespace tamrisk::ui
