#include "anim/animation_encoder.h"

#include <QCoreApplication>
#include <new>

namespace tamrisk {

long long time_until(long long periods, int frame_rate, int per_second) {
  return (2 * per_second * periods + frame_rate) / (2 * static_cast<long long>(frame_rate));
}

QString AnimationEncoder::out_of_memory() {
  return QCoreApplication::translate("tamrisk::AnimationEncoder", "メモリが足りません。");
}

bool AnimationEncoder::take_pending(QString* error) {
  broken_ = true;
  try {
    broken_ = !take(pending_, error);
  } catch (const std::bad_alloc&) {
    *error = out_of_memory();
  }
  return !broken_;
}

bool AnimationEncoder::add(const FrameStep& step, QString* error) {
  if (finished_ || broken_) {
    *error = QCoreApplication::translate(
        "tamrisk::AnimationEncoder",
        "書き終えたか符号化に失敗したアニメーションには、コマを足せません。");
    return false;
  }
  if (step.frame.size() != size_ || size_.isEmpty()) {
    *error = QCoreApplication::translate(
                 "tamrisk::AnimationEncoder",
                 "コマの大きさ %1 × %2 がアニメーションの大きさ %3 × %4 と違います。")
                 .arg(step.frame.width())
                 .arg(step.frame.height())
                 .arg(size_.width())
                 .arg(size_.height());
    return false;
  }
  const int periods = step.periods < 1 ? 1 : step.periods;
  const bool first = pending_.frame.isNull();
  if (!first && folds_unchanged() && (step.changed & step.frame.rect()).isEmpty()) {
    pending_.periods += periods;
    pending_.frames += step.frames < 1 ? 1 : step.frames;
    return true;
  }
  if (!first && !take_pending(error)) {
    return false;
  }
  pending_.frame = step.frame.format() == QImage::Format_RGB32
                       ? step.frame
                       : step.frame.convertToFormat(QImage::Format_RGB32);
  pending_.changed = first ? step.frame.rect() : step.changed & step.frame.rect();
  pending_.periods = periods;
  pending_.frames = step.frames < 1 ? 1 : step.frames;
  if (pending_.frame.isNull()) {
    broken_ = true;
    *error = out_of_memory();
    return false;
  }
  return true;
}

bool AnimationEncoder::finish(QByteArray* bytes, QString* error) {
  if (broken_) {
    *error = QCoreApplication::translate("tamrisk::AnimationEncoder",
                                         "符号化に失敗したため、書き出せません。");
    return false;
  }
  if (!finished_) {
    if (pending_.frame.isNull()) {
      *error = QCoreApplication::translate("tamrisk::AnimationEncoder",
                                           "アニメーションにするコマがありません。");
      return false;
    }
    if (!take_pending(error)) {
      return false;
    }
    pending_ = FrameStep{};
    finished_ = true;
  }
  bool ok = false;
  try {
    ok = assemble(bytes, error);
  } catch (const std::bad_alloc&) {
    *error = out_of_memory();
  }
  broken_ = !ok;
  return ok;
}

}  // namespace tamrisk
