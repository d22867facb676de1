#pragma once

#include <QLineEdit>

namespace tamrisk::ui {

// The frame sequence box: one character per frame, in a font whose digits
// all have one width, so that every frame has a cell of its own. A selected
// single character, the frame being adjusted, is kept in view.
class SequenceBox : public QLineEdit {
  Q_OBJECT

 public:
  explicit SequenceBox(QWidget* parent = nullptr);

  // The horizontal middle of character k's cell, in the box's coordinates,
  // as the box shows it now (scrolled text included). Positions at or past
  // the end of the text continue in steps of one digit's width.
  int cell_centre(int k);

 signals:
  // The text may have scrolled: cell positions are to be read again.
  void cells_moved();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  // Where the text starts when it is not scrolled.
  int text_origin() const;
  // Turns a one-character selection round when its character starts left
  // of the shown text.
  void keep_selection_in_view();

  int last_centre_ = 0;
};

}  // namespace tamrisk::ui
