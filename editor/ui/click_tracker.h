#pragma once

#include <QMouseEvent>
#include <QRect>

namespace tamrisk::ui {

// Tells a click of the left button from a press that is dragged off the
// widget before its release, as buttons do.
class ClickTracker {
 public:
  void press(const QMouseEvent& event) { pressed_ = event.button() == Qt::LeftButton; }

  // True when this release ends a click inside area.
  bool release(const QMouseEvent& event, const QRect& area) {
    const bool click =
        pressed_ && event.button() == Qt::LeftButton && area.contains(event.position().toPoint());
    pressed_ = false;
    return click;
  }

 private:
  bool pressed_ = false;
};

}  // namespace tamrisk::ui
