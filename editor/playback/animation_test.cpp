#include "playback/animation_test.h"

#include <QCoreApplication>

#include "render/compose.h"

namespace tamrisk {

void AnimationTest::anime_Click() {
  if (model_.pattern_anime().isEmpty()) {
    return;
  }
  if (!model_.anime_on) {
    model_.anime_on = true;
    model_.cur_frame = 0;
    interval_ = period_ms();
    timer_.set_interval(interval_);
    ticking_ = true;
  } else {
    stop();
  }
}

void AnimationTest::Timer1_Timer() {
  if (!ticking_) {
    return;  // a tick already queued when the timer stopped
  }
  const int n = model_.frame_count();
  if (n == 0) {
    stop();
    return;
  }
  compose_frame(model_);
  // The frame drawn stays its hold.
  const int interval = model_.hold(model_.cur_frame) * period_ms();
  if (interval != interval_) {
    interval_ = interval;
    timer_.set_interval(interval_);
  }
  int next = (model_.cur_frame + 1) % n;
  if (next < 0) {
    next += n;
  }
  model_.cur_frame = static_cast<std::int16_t>(next);
}

void AnimationTest::halt() {
  timer_.set_interval(0);
  ticking_ = false;
}

int AnimationTest::period_ms() const {
  const int rate = model_.timing.frame_rate;
  if (rate == AnimationTiming::kDefaultFrameRate || rate < 1) {
    return kIntervalMs;
  }
  return (1000 + rate / 2) / rate;
}

AnimationTest::State AnimationTest::state() const {
  if (!model_.anime_on) {
    return State::Stopped;
  }
  return ticking_ ? State::Running : State::Halted;
}

QString AnimationTest::caption() const {
  return model_.anime_on ? QCoreApplication::translate("tamrisk::AnimationTest", "テスト中断")
                         : QCoreApplication::translate("tamrisk::AnimationTest", "アニメテスト");
}

void AnimationTest::stop() {
  timer_.set_interval(0);
  ticking_ = false;
  model_.anime_on = false;
}

}  // namespace tamrisk
