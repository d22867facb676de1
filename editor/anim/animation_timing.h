#pragma once

namespace tamrisk {

// How an animation plays: frames a second, and how often the whole sequence
// plays. Each frame lasts a whole number of frame periods (its hold).
struct AnimationTiming {
  static constexpr int kDefaultFrameRate = 10;
  static constexpr int kMinFrameRate = 1;
  static constexpr int kMaxFrameRate = 50;
  static constexpr int kMaxLoopCount = 65535;
  static constexpr int kMinHold = 1;
  static constexpr int kMaxHold = 99;

  int frame_rate = kDefaultFrameRate;
  int loop_count = 0;  // 0 plays for ever, otherwise this many times

  bool operator==(const AnimationTiming&) const = default;
};

}  // namespace tamrisk
