#include "export/frame_encoder.h"

#include <QThread>
#include <algorithm>
#include <memory>
#include <utility>

#include "platform/png_codec.h"

namespace tamrisk {

FrameEncoder::FrameEncoder(int threads, PngEffort effort)
    : threads_(threads > 0 ? threads : std::max(1, QThread::idealThreadCount())), effort_(effort) {
  pool_.setMaxThreadCount(threads_);
}

FrameEncoder::~FrameEncoder() {
  pool_.waitForDone();
}

FrameEncoder::Encoded FrameEncoder::encode(const QImage& frame, int width, int height,
                                           PngEffort effort) {
  Encoded encoded;
  encoded.ok = encode_png(frame, width, height, &encoded.png, &encoded.error, effort);
  return encoded;
}

void FrameEncoder::add(const QImage& frame, int width, int height) {
  Job job;
  job.width = width;
  job.height = height;
  if (threads_ > 1) {
    auto task = std::make_shared<std::packaged_task<Encoded()>>(
        [frame, width, height, effort = effort_] { return encode(frame, width, height, effort); });
    job.result = task->get_future();
    pool_.start([task] { (*task)(); });
  } else {
    job.frame = frame;
  }
  jobs_.push_back(std::move(job));
}

bool FrameEncoder::take(QByteArray* png, QString* error) {
  Job job = std::move(jobs_.front());
  jobs_.pop_front();
  Encoded encoded =
      job.result.valid() ? job.result.get() : encode(job.frame, job.width, job.height, effort_);
  if (!encoded.ok) {
    *error = encoded.error;
    return false;
  }
  *png = std::move(encoded.png);
  return true;
}

}  // namespace tamrisk
