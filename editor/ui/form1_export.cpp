// The main window's export and animation test.
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QSettings>

#include "ui/form1.h"

namespace tamrisk::ui {

namespace {

// Where the chosen animation formats are remembered between runs.
const QString kFormatsKey = QStringLiteral("export/formats");

// The export's progress over the frames and the compile. The export cannot
// be broken off, so the dialog ignores Escape and its close box.
class ExportProgress : public QProgressDialog {
 public:
  // steps: the frames, then one step for each animation.
  ExportProgress(QWidget* parent, int frames, int animations) : QProgressDialog(parent) {
    setWindowTitle(Form1::title());
    setCancelButton(nullptr);
    setWindowModality(Qt::WindowModal);
    setAutoReset(false);
    setAutoClose(false);
    setMinimumDuration(0);
    setRange(0, frames + animations);
    setLabelText(Form1::tr("コマを作成しています…"));
    setValue(0);
    show();
    QCoreApplication::processEvents();
  }

  void reject() override {}

  void frame_written(int k, int n) {
    setLabelText(Form1::tr("コマを作成しています… %1 / %2").arg(k + 1).arg(n));
    setValue(k + 1);
    QCoreApplication::processEvents();
  }
  void compiling() {
    setLabelText(Form1::tr("MNGファイルを作成しています…"));
    QCoreApplication::processEvents();
  }
  void finishing(const QString& path) {
    setValue(value() + 1);
    setLabelText(Form1::tr("「%1」を作成しています…").arg(QFileInfo(path).fileName()));
    QCoreApplication::processEvents();
  }

 protected:
  void closeEvent(QCloseEvent* event) override { event->ignore(); }
};

}  // namespace

void Form1::make_format_chooser() {
  output_formats = new QToolButton(this);
  output_formats->setObjectName(QStringLiteral("output_formats"));
  output_formats->setText(tr("アニメ"));
  output_formats->setToolTip(tr("「コマ作成」で作るアニメーション"));
  output_formats->setGeometry(612, 307, 62, 25);
  output_formats->setPopupMode(QToolButton::InstantPopup);
  auto* menu = new QMenu(output_formats);
  // Ticking a format leaves the menu open, so that several are chosen in
  // one opening; a click outside it or Escape closes it.
  menu->installEventFilter(this);
  format_menu_ = menu;
  for (const AnimationFormat format : all_animation_formats()) {
    QAction* action = menu->addAction(format_label(format));
    action->setObjectName(format_name(format));
    action->setCheckable(true);
    connect(action, &QAction::triggered, this,
            [this, format](bool on) { output_formats_Triggered(format, on); });
  }
  output_formats->setMenu(menu);
  // The choice of an earlier run, when it still reads as one.
  QList<AnimationFormat> formats{AnimationFormat::Mng};
  QString ignored;
  parse_formats(QSettings().value(kFormatsKey, format_name(AnimationFormat::Mng)).toString(),
                &formats, &ignored);
  set_animation_formats(formats);
}

void Form1::set_animation_formats(const QList<AnimationFormat>& formats) {
  formats_ = formats;
  QStringList names;
  for (QAction* action : output_formats->menu()->actions()) {
    for (const AnimationFormat format : all_animation_formats()) {
      if (action->objectName() == format_name(format)) {
        action->setChecked(formats_.contains(format));
      }
    }
  }
  for (const AnimationFormat format : formats_) {
    names << format_label(format);
  }
  output_formats->setToolTip(tr("「コマ作成」で作るアニメーション: %1")
                                 .arg(names.join(tr("、", "between the names of formats"))));
}

// Both MNG kinds write BASE.mng, so choosing one drops the other; the last
// format chosen cannot be dropped, so that "コマ作成" always makes one.
void Form1::output_formats_Triggered(AnimationFormat format, bool on) {
  const auto is_mng = [](AnimationFormat f) {
    return f == AnimationFormat::Mng || f == AnimationFormat::CompactMng;
  };
  QList<AnimationFormat> chosen;
  for (const AnimationFormat f : all_animation_formats()) {
    const bool keep = formats_.contains(f) && !(on && is_mng(format) && is_mng(f));
    if (f == format ? on : keep) {
      chosen << f;
    }
  }
  if (chosen.isEmpty()) {
    chosen << format;
  }
  set_animation_formats(chosen);
  QSettings().setValue(kFormatsKey, format_list(formats_));
}

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
  QMessageBox box(QMessageBox::Question, title(), tr("%1があります。上書きしますか？").arg(path),
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
  ExportProgress progress(this, model_.frame_count(), png ? static_cast<int>(formats_.size()) : 0);
  ExportOptions options;
  options.compiler = compiler_path_;
  options.formats = formats_;
  options.animation = &animation_;
  options.confirm_overwrite = [this](const QString& path) { return ask_overwrite(path); };
  options.frame_written = [this, &progress](int k, int n) {
    show_frame();
    progress.frame_written(k, n);
  };
  options.compiling = [&progress](const QString&) { progress.compiling(); };
  options.finishing = [&progress](AnimationFormat, const QString& path) {
    progress.finishing(path);
  };
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

namespace {

// The animations written and kept, and what the encoders noted, after the
// message of the export.
QString written_files(const ExportResult& result) {
  QStringList lines;
  const QLocale locale;
  for (const AnimationFile& file : result.animations) {
    lines << Form1::tr("書き出したファイル: %1（%2 バイト）")
                 .arg(QDir::toNativeSeparators(file.path), locale.toString(file.bytes));
  }
  for (const QString& path : result.kept) {
    lines << Form1::tr("残したファイル: %1").arg(QDir::toNativeSeparators(path));
  }
  lines << result.notes;
  return lines.join(QLatin1Char('\n'));
}

}  // namespace

void Form1::report_export(const ExportResult& result) {
  QMessageBox::Icon icon = QMessageBox::Information;
  QString text = result.message;
  switch (result.outcome) {
    case ExportResult::Outcome::Compiled:
      if (text.isEmpty()) {
        text = tr("「%1」を書き出しました。").arg(result.animation);
      }
      break;
    case ExportResult::Outcome::Failed:
      icon = QMessageBox::Critical;
      break;
    case ExportResult::Outcome::Written:
      break;
    case ExportResult::Outcome::Declined:
      return;
  }
  const QString files = written_files(result);
  if (!files.isEmpty()) {
    text = text.trimmed() + QStringLiteral("\n\n") + files;
  }
  const QString caption =
      result.caption.isEmpty() ? (result.ok() ? title() : caption_error()) : result.caption;
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
