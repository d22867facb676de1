#pragma once

#include <QPushButton>

namespace tamrisk::ui {

// A push button for captions laid out for a narrower font: a caption a
// little too wide for one line is drawn a pixel or two smaller; one much too
// wide wraps onto as many lines as the width needs: a Japanese caption
// breaks anywhere, as narrow upright buttons want; a caption in words breaks
// between words, and reads upwards along a narrow upright button where a
// word would not fit across it.
class CaptionButton : public QPushButton {
  Q_OBJECT

 public:
  CaptionButton(const QString& caption, QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace tamrisk::ui
