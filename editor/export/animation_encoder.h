#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

namespace tamrisk {

// Frames a second of every animation the export writes.
inline constexpr int kAnimationFramesPerSecond = 10;

// One animation format: fed every composed frame in order, then finished
// into one file. Each format keeps only what it needs of earlier frames.
class AnimationEncoder {
 public:
  AnimationEncoder() = default;
  AnimationEncoder(const AnimationEncoder&) = delete;
  AnimationEncoder& operator=(const AnimationEncoder&) = delete;
  virtual ~AnimationEncoder() = default;

  // Takes the next whole frame: Format_RGB32, of the size the encoder was
  // made for. false with a message when it cannot be encoded.
  virtual bool add(const QImage& frame, QString* error) = 0;
  // Writes the animation of every frame added to path atomically: on
  // failure an older file of that name stays as it was. false with a
  // message.
  virtual bool finish(const QString& path, QString* error) = 0;
  // What the user should know about the result (frames whose colours were
  // reduced, say); empty when nothing.
  virtual QStringList notes() const { return {}; }
};

}  // namespace tamrisk
