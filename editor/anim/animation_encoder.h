#pragma once

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <memory>

#include "anim/animation_timing.h"

namespace tamrisk {

// The end of the first `periods` frame periods in 1/per_second seconds,
// rounded to the nearest: a frame that starts at periods a and ends at b
// lasts time_until(b) - time_until(a), so that rounding never adds up over
// the frames.
long long time_until(long long periods, int frame_rate, int per_second);
inline long long hundredths_until(long long periods, int frame_rate) {
  return time_until(periods, frame_rate, 100);
}
inline long long milliseconds_until(long long periods, int frame_rate) {
  return time_until(periods, frame_rate, 1000);
}

// One frame handed to an encoder: the frame, where it differs from the frame
// before (the whole frame for the first; empty when nothing changed), and
// how many frame periods it stays.
struct FrameStep {
  QImage frame;  // of the encoder's size; shared, never written to
  QRect changed;
  int periods = 1;  // at least 1
  int frames = 1;   // of the sequence that it shows: more once folded
};

// One animation format: takes the steps in order, then returns the bytes of
// the file. What every format shares is done here: the checks (the frame's
// size, a frame after finishing or a failure, no frame at all) and their
// messages, running out of memory, and folding a frame that changes nothing
// into the step before, so that a format's take() sees each frame once it
// knows how long the frame stays, Format_RGB32, with a changed rectangle
// that is never empty after the first. Each format keeps only what it needs
// of earlier frames.
class AnimationEncoder {
 public:
  AnimationEncoder(QSize size, const AnimationTiming& timing) : size_(size), timing_(timing) {}
  AnimationEncoder(const AnimationEncoder&) = delete;
  AnimationEncoder& operator=(const AnimationEncoder&) = delete;
  virtual ~AnimationEncoder() = default;

  // false with a message when the step (or the one before, which is taken
  // now) cannot be encoded; no step is taken after that.
  bool add(const FrameStep& step, QString* error);
  // The file's bytes; false with a message. Nothing is written anywhere.
  bool finish(QByteArray* bytes, QString* error);
  // What the user should know about the result (frames whose colours were
  // reduced, say); empty when nothing.
  virtual QStringList notes() const { return {}; }
  // After finish(), the bytes of a file that goes with the animation (a
  // sprite sheet's frame list), for an animation file named image_name whose
  // frames are named frame_names and scaled by scale; empty for none.
  virtual QByteArray companion(const QString& image_name, const QStringList& frame_names,
                               int scale) const {
    (void)image_name, (void)frame_names, (void)scale;
    return {};
  }

  QSize size() const { return size_; }
  const AnimationTiming& timing() const { return timing_; }

  // The message of memory that ran out, for the formats' own checks.
  static QString out_of_memory();

 protected:
  // Whether a frame that changes nothing is folded into the step before
  // (every format that plays the frames); a format that lists every frame
  // takes each on its own, changed empty.
  virtual bool folds_unchanged() const { return true; }
  // add() and finish() once the shared checks passed: the next step, its
  // periods complete; then the file.
  virtual bool take(const FrameStep& step, QString* error) = 0;
  virtual bool assemble(QByteArray* bytes, QString* error) = 0;

 private:
  QSize size_;
  AnimationTiming timing_;
  bool take_pending(QString* error);

  FrameStep pending_;  // the last step, still growing; null frame before the first
  bool broken_ = false;
  bool finished_ = false;
};

// Makes the encoder of one format for frames of `size`; frame_count is how
// many frames are expected (a hint for memory).
using EncoderFactory = std::unique_ptr<AnimationEncoder> (*)(QSize size,
                                                             const AnimationTiming& timing,
                                                             int frame_count);

}  // namespace tamrisk
