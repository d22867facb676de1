#include "ui/export_control.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QProgressDialog>
#include <QSettings>
#include <QToolButton>

#include "export/compiler_run.h"
#include "model/project_model.h"
#include "playback/animation_test.h"
#include "ui/form1.h"

namespace tamrisk::ui {

namespace {

// Where the chosen animation formats are remembered between runs.
const QString kFormatsKey = QStringLiteral("export/formats");

// The export's progress over the frames and the animations. The export
// cannot be broken off, so the dialog ignores Escape and its close box.
class ExportProgress : public QProgressDialog {
 public:
  // steps: the frames, then one step for each animation.
  ExportProgress(QWidget* parent, int frames, int animations) : QProgressDialog(parent) {
    setWindowTitle(Form1::title());
    // Wide enough for the whole title in the title bar, whose font is
    // larger than the dialog's, and for the label's longest line.
    setMinimumWidth(2 * fontMetrics().horizontalAdvance(Form1::title()) + 120);
    setCancelButton(nullptr);
    setWindowModality(Qt::WindowModal);
    setAutoReset(false);
    setAutoClose(false);
    setMinimumDuration(0);
    setRange(0, frames + animations);
    setLabelText(ExportControl::tr("コマを作成しています…"));
    setValue(0);
    show();
    QCoreApplication::processEvents();
  }

  void reject() override {}

  void frame_written(int k, int n) {
    setLabelText(ExportControl::tr("コマを作成しています… %1 / %2").arg(k + 1).arg(n));
    setValue(k + 1);
    QCoreApplication::processEvents();
  }
  void compiling() {
    setLabelText(ExportControl::tr("MNGファイルを作成しています…"));
    QCoreApplication::processEvents();
  }
  void finishing(const QString& path) {
    setValue(value() + 1);
    setLabelText(ExportControl::tr("「%1」を作成しています…").arg(QFileInfo(path).fileName()));
    QCoreApplication::processEvents();
  }

 protected:
  void closeEvent(QCloseEvent* event) override { event->ignore(); }
};

bool is_mng(AnimationFormat format) {
  return format == AnimationFormat::Mng || format == AnimationFormat::CompactMng;
}

// Plain lines as rich text, one line each.
QString as_lines(const QStringList& lines) {
  QStringList escaped;
  for (const QString& line : lines) {
    escaped << line.toHtmlEscaped();
  }
  return escaped.join(QStringLiteral("<br>"));
}

// The animations written and kept, and what the encoders noted, one line
// each. The lines of files are never broken: a long path widens the box
// rather than splitting a size from its unit.
QString written_files(const ExportResult& result) {
  QStringList files;
  const QLocale locale;
  for (const AnimationFile& file : result.animations) {
    files << ExportControl::tr("書き出したファイル: %1（%2 バイト）")
                 .arg(QDir::toNativeSeparators(file.path), locale.toString(file.bytes));
  }
  for (const QString& path : result.kept) {
    files << ExportControl::tr("残したファイル: %1").arg(QDir::toNativeSeparators(path));
  }
  QString text;
  if (!files.isEmpty()) {
    text +=
        QStringLiteral("<p style=\"white-space:pre\">") + as_lines(files) + QStringLiteral("</p>");
  }
  if (!result.notes.isEmpty()) {
    text += QStringLiteral("<p>") + as_lines(result.notes) + QStringLiteral("</p>");
  }
  return text;
}

}  // namespace

ExportControl::ExportControl(QWidget* window) : QObject(window), window_(window) {
  // The choice of an earlier run, when it still reads as one.
  QList<AnimationFormat> formats{AnimationFormat::Mng};
  QString ignored;
  parse_formats(QSettings().value(kFormatsKey, format_name(AnimationFormat::Mng)).toString(),
                &formats, &ignored);
  formats_ = formats;
}

void ExportControl::attach(QToolButton* button) {
  button_ = button;
  button->setText(tr("アニメ"));
  button->setPopupMode(QToolButton::InstantPopup);
  // The caption alone, the menu arrow drawn small in the corner, so that
  // the caption keeps the whole width in every language.
  button->setStyleSheet(QStringLiteral("QToolButton::menu-indicator { width: 0px; }"));
  menu_ = new QMenu(button);
  // Ticking a format leaves the menu open; a click outside it or Escape
  // closes it.
  menu_->installEventFilter(this);
  for (const AnimationFormat format : all_animation_formats()) {
    QAction* action = menu_->addAction(format_label(format));
    action->setObjectName(format_name(format));
    action->setCheckable(true);
    connect(action, &QAction::triggered, this,
            [this, format](bool on) { format_triggered(format, on); });
  }
  button->setMenu(menu_);
  set_formats(formats_);
}

void ExportControl::set_formats(const QList<AnimationFormat>& formats) {
  formats_ = formats;
  if (button_ == nullptr) {
    return;
  }
  QStringList names;
  for (QAction* action : menu_->actions()) {
    for (const AnimationFormat format : all_animation_formats()) {
      if (action->objectName() == format_name(format)) {
        action->setChecked(formats_.contains(format));
      }
    }
  }
  for (const AnimationFormat format : formats_) {
    names << format_label(format);
  }
  button_->setToolTip(tr("「コマ作成」で作るアニメーション: %1")
                          .arg(names.join(tr("、", "between the names of formats"))));
}

// Both MNG kinds write BASE.mng, so choosing one drops the other; the last
// format chosen cannot be dropped, so that "コマ作成" always makes one.
void ExportControl::format_triggered(AnimationFormat format, bool on) {
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
  set_formats(chosen);
  QSettings().setValue(kFormatsKey, format_list(formats_));
}

bool ExportControl::eventFilter(QObject* watched, QEvent* event) {
  if (watched == menu_ && menu_ != nullptr &&
      (event->type() == QEvent::MouseButtonRelease ||
       (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space))) {
    QAction* action = event->type() == QEvent::MouseButtonRelease
                          ? menu_->actionAt(static_cast<QMouseEvent*>(event)->position().toPoint())
                          : menu_->activeAction();
    if (action != nullptr && action->isCheckable() && action->isEnabled()) {
      action->trigger();
      return true;
    }
  }
  return QObject::eventFilter(watched, event);
}

bool ExportControl::ask_overwrite(const QString& path) {
  if (overwrite_question_) {
    return overwrite_question_(path);
  }
  QMessageBox box(QMessageBox::Question, Form1::title(),
                  tr("%1があります。上書きしますか？").arg(path),
                  QMessageBox::Yes | QMessageBox::No, window_);
  box.setDefaultButton(QMessageBox::Yes);
  return box.exec() == QMessageBox::Yes;
}

ExportResult ExportControl::run(ProjectModel& model, AnimationTest* animation,
                                const QString& compiler_path,
                                const std::function<void()>& frame_shown) {
  if (busy_) {
    ExportResult ignored;
    ignored.outcome = ExportResult::Outcome::Declined;
    return ignored;
  }
  busy_ = true;
  const bool png = model.png_output;
  ExportProgress progress(window_, model.frame_count(),
                          png ? static_cast<int>(formats_.size()) : 0);
  ExportOptions options;
  options.compiler = compiler_path;
  options.formats = formats_;
  options.animation = animation;
  options.confirm_overwrite = [this](const QString& path) { return ask_overwrite(path); };
  options.frame_written = [&frame_shown, &progress](int k, int n) {
    if (frame_shown) {
      frame_shown();
    }
    progress.frame_written(k, n);
  };
  options.compiling = [&progress](const QString&) { progress.compiling(); };
  options.finishing = [&progress](AnimationFormat, const QString& path) {
    progress.finishing(path);
  };
  options.waiting = [] { QCoreApplication::processEvents(); };
  const ExportResult result = export_frames(model, options);
  progress.setValue(progress.maximum());
  progress.hide();
  busy_ = false;
  report(result);
  return result;
}

QString ExportControl::report_text(const ExportResult& result) {
  QString text = result.message;
  if (!result.compiler_said.isEmpty()) {
    // Our sentence for the compiler's words; they stay the detail.
    text.replace(
        result.compiler_said,
        compiler_outcome(result.compiler_said, result.outcome == ExportResult::Outcome::Compiled,
                         result.animation));
  }
  if (result.outcome == ExportResult::Outcome::Compiled && text.isEmpty()) {
    text = compiler_outcome(QString(), true, result.animation);
  }
  return QStringLiteral("<p>") + as_lines(text.trimmed().split(QLatin1Char('\n'))) +
         QStringLiteral("</p>") + written_files(result);
}

void ExportControl::report(const ExportResult& result) {
  QMessageBox::Icon icon = QMessageBox::Information;
  switch (result.outcome) {
    case ExportResult::Outcome::Failed:
      icon = QMessageBox::Critical;
      break;
    case ExportResult::Outcome::Compiled:
    case ExportResult::Outcome::Written:
      break;
    case ExportResult::Outcome::Declined:
      return;
  }
  const QString caption =
      result.caption.isEmpty() ? (result.ok() ? Form1::title() : caption_error()) : result.caption;
  QMessageBox box(icon, caption, report_text(result), QMessageBox::Ok, window_);
  box.setObjectName(QStringLiteral("export_report"));
  box.setTextFormat(Qt::RichText);
  if (!result.compiler_said.isEmpty()) {
    box.setDetailedText(tr("MNGコンパイラの報告:\n%1").arg(result.compiler_said));
  }
  box.exec();
}

}  // namespace tamrisk::ui
