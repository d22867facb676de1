#pragma once

#include <QImage>
#include <QWidget>

namespace tamrisk::ui {

// The zoom window "Form4": the frame canvas at four times its size, kept
// above other windows. Its client area takes the size of the enlarged
// frame. Closing it, in any way, is reported through closed; it deletes
// itself then.
class Form4 : public QWidget {
  Q_OBJECT

 public:
  explicit Form4(QWidget* parent = nullptr);

  // The enlarged frame to show (see zoom_image); a null image keeps the
  // window's size and shows nothing.
  void set_frame(const QImage& zoomed);
  const QImage& frame() const { return frame_; }

 signals:
  void closed();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  QImage frame_;
};

}  // namespace tamrisk::ui
