#include "ui/sequence_box.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QStyle>
#include <QStyleOptionFrame>
#include <algorithm>

namespace tamrisk::ui {

namespace {

// QLineEdit keeps this many pixels between its contents rectangle and the
// text.
constexpr int kInnerMargin = 2;
// The hit test below searches this far either side of the box.
constexpr int kSearchReach = 1 << 20;

}  // namespace

SequenceBox::SequenceBox(QWidget* parent) : QLineEdit(parent) {
  // Any font with equal digit widths; 13 pixels gives digits about 8 wide.
  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  font.setPixelSize(13);
  setFont(font);
  connect(this, &QLineEdit::selectionChanged, this, &SequenceBox::keep_selection_in_view);
}

int SequenceBox::text_origin() const {
  QStyleOptionFrame option;
  initStyleOption(&option);
  const QRect contents = style()->subElementRect(QStyle::SE_LineEditContents, &option, this);
  return contents.x() + textMargins().left() + kInnerMargin;
}

int SequenceBox::cell_centre(int k) {
  const QString shown = text();
  const QFontMetrics metrics(font());
  const int digit = metrics.horizontalAdvance(QLatin1Char('0'));
  if (shown.isEmpty() || k < 0) {
    return text_origin() + digit * std::max(k, 0) + digit / 2;
  }
  const int last = static_cast<int>(shown.size()) - 1;
  const int cell = std::min(k, last);
  // The box's own hit test knows its margins and how far the text has
  // scrolled: positions cell and cell + 1 meet in the middle of the cell.
  const int y = height() / 2;
  int low = -kSearchReach;
  int high = kSearchReach;
  while (low < high) {
    const int mid = low + (high - low) / 2;
    if (cursorPositionAt(QPoint(mid, y)) > cell) {
      high = mid;
    } else {
      low = mid + 1;
    }
  }
  return low + (k - cell) * digit;
}

void SequenceBox::keep_selection_in_view() {
  // The box scrolls only as far as needed to show the cursor. With the cursor
  // after the character, as a selection made forwards leaves it, a character
  // beyond the left edge would end up just outside it; with the cursor
  // before it, it ends up at the edge, in view.
  const int k = selectionStart();
  if (selectionLength() != 1 || cursorPosition() == k) {
    return;
  }
  const int digit = QFontMetrics(font()).horizontalAdvance(QLatin1Char('0'));
  if (cell_centre(k) - digit / 2 < text_origin()) {
    setSelection(k + 1, -1);
  }
}

void SequenceBox::paintEvent(QPaintEvent* event) {
  QLineEdit::paintEvent(event);
  // Painting is where the box scrolls its text to keep the cursor in view.
  const int centre = cell_centre(0);
  if (centre != last_centre_) {
    last_centre_ = centre;
    emit cells_moved();
  }
}

}  // namespace tamrisk::ui
