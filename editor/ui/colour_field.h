#pragma once

#include <QColor>
#include <QFrame>

#include "ui/click_tracker.h"

namespace tamrisk::ui {

// A small field filled completely with one colour; a click on it, while it
// is enabled, is reported through clicked.
class ColourField : public QFrame {
  Q_OBJECT

 public:
  explicit ColourField(QWidget* parent = nullptr);

  QColor colour() const { return colour_; }
  void set_colour(const QColor& colour);

 signals:
  void clicked();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  QColor colour_ = Qt::white;
  ClickTracker click_;
};

}  // namespace tamrisk::ui
