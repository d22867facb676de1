// The main window's export and animation test.
#include <QPlainTextEdit>
#include <QPushButton>

#include "ui/export_control.h"
#include "ui/form1.h"

namespace tamrisk::ui {

const QList<AnimationFormat>& Form1::animation_formats() const {
  return export_->formats();
}

void Form1::set_animation_formats(const QList<AnimationFormat>& formats) {
  export_->set_formats(formats);
}

void Form1::set_overwrite_question(OverwriteQuestion question) {
  export_->set_overwrite_question(std::move(question));
}

void Form1::output_png_Click() {
  model_.png_output = true;
  show_output_format();
}

void Form1::output_bmp_Click() {
  model_.png_output = false;
  show_output_format();
}

void Form1::bt_exec_Click() {
  if (export_->busy()) {
    return;
  }
  // The animation test stops first, whatever the export meets.
  animation_.halt();
  const ExportResult result =
      export_->run(model_, &animation_, compiler_path_, [this] { show_frame(); });
  if (model_.png_output && !result.script_text.isEmpty()) {
    // The box holds plain lines; the script file has CR LF line ends.
    mng_textbox->setPlainText(QString(result.script_text).remove(QLatin1Char('\r')));
  }
  show_frame();
  anime->setText(animation_.caption());
}

void Form1::anime_Click() {
  focus_to_sink();
  animation_.anime_Click();
  anime->setText(animation_.caption());
}

void Form1::Timer1_Timer() {
  animation_.Timer1_Timer();
  show_frame();
  anime->setText(animation_.caption());
}

}  // namespace tamrisk::ui
