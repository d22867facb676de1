#pragma once

#include <QTimer>

#include "playback/animation_test.h"

namespace tamrisk::ui {

// The animation test's timer as a QTimer: an interval above 0 starts it,
// 0 stops it.
class QtAnimationTimer : public AnimationTimer {
 public:
  explicit QtAnimationTimer(QTimer* timer) : timer_(timer) {}

  void set_interval(int ms) override {
    if (ms > 0) {
      timer_->start(ms);
    } else {
      timer_->stop();
    }
  }

 private:
  QTimer* timer_;
};

}  // namespace tamrisk::ui
