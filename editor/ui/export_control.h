#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <functional>

#include "export/exporter.h"

class QMenu;
class QToolButton;
class QWidget;

namespace tamrisk {
class AnimationTest;
class ProjectModel;
}  // namespace tamrisk

namespace tamrisk::ui {

// The main window's export, "コマ作成": the animation formats chosen on the
// format button (remembered between runs with QSettings), the question
// before an animation is replaced, the progress over the frames and the
// animations, and the report at the end.
class ExportControl : public QObject {
  Q_OBJECT

 public:
  // window: the owner of the dialogs and message boxes.
  explicit ExportControl(QWidget* window);

  // Gives button the menu of formats, ticked as chosen. Ticking a format
  // leaves the menu open, so that several are chosen in one opening.
  void attach(QToolButton* button);

  // PNG mode: the animations an export makes; the compiled MNG alone until
  // the user chooses otherwise.
  const QList<AnimationFormat>& formats() const { return formats_; }
  void set_formats(const QList<AnimationFormat>& formats);

  // Asked with an animation's path before an export replaces it; true
  // replaces it. By default a Yes/No message box.
  using OverwriteQuestion = std::function<bool(const QString& path)>;
  void set_overwrite_question(OverwriteQuestion question) {
    overwrite_question_ = std::move(question);
  }

  // True while an export runs (a second "コマ作成" then does nothing).
  bool busy() const { return busy_; }

  // Exports model with the compiler at compiler_path, showing its progress;
  // frame_shown is called after each frame is written. Reports the outcome
  // in a message box and returns it; while busy, does nothing and returns
  // an outcome of Declined.
  ExportResult run(ProjectModel& model, AnimationTest* animation, const QString& compiler_path,
                   const std::function<void()>& frame_shown);

  // The report's text as the message box shows it (rich text), and its
  // detail: the compiler's own words, when it gave any.
  static QString report_text(const ExportResult& result);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void format_triggered(AnimationFormat format, bool on);
  bool ask_overwrite(const QString& path);
  void report(const ExportResult& result);

  QWidget* window_;
  QToolButton* button_ = nullptr;
  QMenu* menu_ = nullptr;
  QList<AnimationFormat> formats_{AnimationFormat::Mng};
  OverwriteQuestion overwrite_question_;
  bool busy_ = false;
};

}  // namespace tamrisk::ui
