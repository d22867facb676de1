#pragma once

#include <QString>

#include "model/project_model.h"

namespace tamrisk {

// The periodic timer behind the animation test; the window wraps a QTimer.
class AnimationTimer {
 public:
  virtual ~AnimationTimer() = default;
  // Ticks every ms milliseconds from now on; 0 stops the ticks.
  virtual void set_interval(int ms) = 0;
};

// The animation test: plays the frame sequence into win_main, one frame per
// tick, until stopped, at the project's timing: each frame stays its hold
// times the frame period, which is kIntervalMs at the default frame rate and
// the frame rate's own period otherwise. anime_on lives in the model;
// whether the timer ticks lives here.
class AnimationTest {
 public:
  enum class State {
    Stopped,  // anime_on false, no ticks
    Running,  // anime_on true, ticking
    Halted,   // anime_on true, no ticks: an export stopped the timer
  };
  static constexpr int kIntervalMs = 80;

  AnimationTest(ProjectModel& model, AnimationTimer& timer) : model_(model), timer_(timer) {}

  // The anime button (the window moves the focus to pic_dummy first).
  // Ignored while the sequence is empty.
  void anime_Click();
  // One tick: draws frame cur_frame and moves on to the next. A tick that
  // finds the sequence empty stops the test and leaves the last frame drawn.
  void Timer1_Timer();
  // An export starts: the ticks stop; anime_on and the caption stay.
  void halt();

  State state() const;
  // The frame period in milliseconds.
  int period_ms() const;
  // The anime button's caption: "アニメテスト" or "テスト中断".
  QString caption() const;

 private:
  void stop();

  ProjectModel& model_;
  AnimationTimer& timer_;
  bool ticking_ = false;
  int interval_ = 0;  // of the timer while ticking
};

}  // namespace tamrisk
