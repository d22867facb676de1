#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QThreadPool>
#include <deque>
#include <future>

#include "platform/png_encode.h"

namespace tamrisk {

// Encodes frames as PNG (encode_png) on worker threads while the caller
// composes the next ones, and hands the results back in the order the frames
// came in. Bounded: the caller takes the oldest result once full() is true
// (with one thread, after every frame).
class FrameEncoder {
 public:
  // threads: how many frames are encoded at once; 0 is one per processor
  // (QThread::idealThreadCount()); 1 encodes each frame on the caller's
  // thread when it is taken.
  // effort: encode_png's (kFrame, or kMngFrame for the whole-frame MNG).
  explicit FrameEncoder(int threads = 0, PngEffort effort = PngEffort::kFrame);
  FrameEncoder(const FrameEncoder&) = delete;
  FrameEncoder& operator=(const FrameEncoder&) = delete;
  // Waits for the frames still being encoded and drops them.
  ~FrameEncoder();

  int threads() const { return threads_; }
  // Starts encoding the top-left width x height pixels of frame, a copy that
  // the caller no longer writes to.
  void add(const QImage& frame, int width, int height);
  bool full() const { return static_cast<int>(jobs_.size()) >= (threads_ > 1 ? 2 * threads_ : 1); }
  bool empty() const { return jobs_.empty(); }
  // The oldest frame's PNG bytes, waiting for them when needed; false with
  // encode_png's message when that frame could not be encoded.
  bool take(QByteArray* png, QString* error);

 private:
  struct Encoded {
    bool ok = false;
    QByteArray png;
    QString error;
  };
  struct Job {
    QImage frame;
    int width = 0;
    int height = 0;
    std::future<Encoded> result;  // invalid when encoded on the caller's thread
  };
  static Encoded encode(const QImage& frame, int width, int height, PngEffort effort);

  int threads_;
  PngEffort effort_;
  QThreadPool pool_;
  std::deque<Job> jobs_;
};

}  // namespace tamrisk
