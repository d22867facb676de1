// The main window's export and animation test.
#include <QCloseEvent>
#include <QCoreApplication>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>

#include "ui/form1.h"

namespace tamrisk::ui {

namespace {

// The export's progress over the frames and the compile. The export cannot
// be broken off, so the dialog ignores Escape and its close box.
class ExportProgress : public QProgressDialog {
 public:
  ExportProgress(QWidget* parent, int frames, bool compiles) : QProgressDialog(parent) {
    setWindowTitle(Form1::title());
    setCancelButton(nullptr);
    setWindowModality(Qt::WindowModal);
    setAutoReset(false);
    setAutoClose(false);
    setMinimumDuration(0);
    setRange(0, frames + (compiles ? 1 : 0));
    setLabelText(QStringLiteral("コマを作成しています…"));
    setValue(0);
    show();
    QCoreApplication::processEvents();
  }

  void reject() override {}

  void frame_written(int k, int n) {
    setLabelText(QStringLiteral("コマを作成しています… %1 / %2").arg(k + 1).arg(n));
    setValue(k + 1);
    QCoreApplication::processEvents();
  }
  void compiling() {
    setLabelText(QStringLiteral("MNGファイルを作成しています…"));
    QCoreApplication::processEvents();
  }

 protected:
  void closeEvent(QCloseEvent* event) override { event->ignore(); }
};

}  // namespace

void Form1::output_png_Click() {
  model_.png_output = true;
  show_output_format();
}

void Form1::output_bmp_Click() {
  model_.png_output = false;
  show_output_format();
}

bool Form1::ask_overwrite(const QString& path) {
  if (overwrite_question_) {
    return overwrite_question_(path);
  }
  QMessageBox box(QMessageBox::Question, title(),
                  path + QStringLiteral("があります。上書きしますか？"),
                  QMessageBox::Yes | QMessageBox::No, this);
  box.setDefaultButton(QMessageBox::Yes);
  return box.exec() == QMessageBox::Yes;
}

void Form1::bt_exec_Click() {
  if (exporting_) {
    return;
  }
  exporting_ = true;
  // The animation test stops first, whatever the export meets.
  animation_.halt();

  const bool png = model_.png_output;
  ExportProgress progress(this, model_.frame_count(), png);
  ExportOptions options;
  options.compiler = compiler_path_;
  options.animation = &animation_;
  options.confirm_overwrite = [this](const QString& path) { return ask_overwrite(path); };
  options.frame_written = [this, &progress](int k, int n) {
    show_frame();
    progress.frame_written(k, n);
  };
  options.compiling = [&progress](const QString&) { progress.compiling(); };
  options.waiting = [] { QCoreApplication::processEvents(); };
  const ExportResult result = export_frames(model_, options);
  progress.setValue(progress.maximum());
  progress.hide();

  if (png && !result.script_text.isEmpty()) {
    // The box holds plain lines; the script file has CR LF line ends.
    mng_textbox->setPlainText(QString(result.script_text).remove(QLatin1Char('\r')));
  }
  show_frame();
  anime->setText(animation_.caption());
  exporting_ = false;
  report_export(result);
}

void Form1::report_export(const ExportResult& result) {
  QMessageBox::Icon icon = QMessageBox::Information;
  QString text = result.message;
  switch (result.outcome) {
    case ExportResult::Outcome::Compiled:
      if (text.isEmpty()) {
        text = QStringLiteral("「%1」を書き出しました。").arg(result.animation);
      }
      break;
    case ExportResult::Outcome::Failed:
      icon = QMessageBox::Critical;
      break;
    case ExportResult::Outcome::Written:
    case ExportResult::Outcome::Declined:
      return;
  }
  const QString caption = result.caption.isEmpty()
                              ? (result.ok() ? title() : QStringLiteral("エラー"))
                              : result.caption;
  QMessageBox box(icon, caption, text, QMessageBox::Ok, this);
  box.exec();
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
