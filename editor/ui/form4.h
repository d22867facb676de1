#pragma once

#include <QImage>
#include <QSize>
#include <QWidget>

class QScrollArea;

namespace tamrisk::ui {

class ImageCanvas;

// The enlargement of the zoom window for a frame of size `frame`: 4 when the
// enlarged frame and the window's `decoration` (its title bar and borders)
// fit into `room`, otherwise the largest whole factor that fits, at least 1.
int zoom_factor(const QSize& frame, const QSize& room, const QSize& decoration);

// The zoom window "Form4": the frame canvas enlarged by zoom_factor for the
// available area of its screen (4 times where that fits), kept above other
// windows. Each new frame size gives it the size of the enlarged frame, as
// far as the screen has room; the user may resize it, and it scrolls when
// the enlarged frame is larger than the window. Closing it, in any way, is
// reported through closed; it deletes itself then.
class Form4 : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kMaxFactor = 4;
  // Room left for the title bar and borders until the window system tells
  // the real ones.
  static constexpr QSize kDecoration{8, 32};

  explicit Form4(QWidget* parent = nullptr);

  // The frame to show enlarged; a null image keeps the window's size and
  // shows nothing.
  void set_frame(const QImage& frame);
  // The enlarged frame as it shows.
  const QImage& frame() const;
  int factor() const { return factor_; }

 signals:
  void closed();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  QSize decoration() const;
  QRect available() const;
  void fit_to_screen();

  QScrollArea* area_;
  ImageCanvas* view_;
  QSize frame_size_;
  int factor_ = kMaxFactor;
};

}  // namespace tamrisk::ui
