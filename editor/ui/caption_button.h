#pragma once

#include <QPushButton>

namespace tamrisk::ui {

// A push button for captions laid out for a narrower font: a caption a
// little too wide for one line is drawn a pixel or two smaller; one much too
// wide wraps onto as many lines as the width needs, breaking anywhere, as
// narrow upright buttons with Japanese captions want.
class CaptionButton : public QPushButton {
  Q_OBJECT

 public:
  CaptionButton(const QString& caption, QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace tamrisk::ui
