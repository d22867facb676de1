// The main window's undo and redo, the question on closing with unsaved
// edits, and the files dropped on the window.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMimeData>
#include <QUrl>

#include "model/settings_file.h"
#include "ui/form1.h"

namespace tamrisk::ui {

namespace {

const QList<QKeySequence> kUndoKeys = {QKeySequence(Qt::CTRL | Qt::Key_Z)};
const QList<QKeySequence> kRedoKeys = {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
                                       QKeySequence(Qt::CTRL | Qt::Key_Y)};

bool is_settings_path(const QString& path) {
  return path.endsWith(QLatin1String(".pst"), Qt::CaseInsensitive);
}

// The first local settings file among dropped files; empty when none.
QString dropped_settings_file(const QMimeData* mime) {
  if (mime == nullptr) {
    return {};
  }
  for (const QUrl& url : mime->urls()) {
    if (url.isLocalFile() && is_settings_path(url.toLocalFile())) {
      return QDir::toNativeSeparators(url.toLocalFile());
    }
  }
  return {};
}

}  // namespace

void Form1::make_history_actions() {
  auto* undo = new QAction(tr("元に戻す"), this);
  undo->setObjectName(QStringLiteral("undo"));
  undo->setShortcuts(kUndoKeys);
  connect(undo, &QAction::triggered, this, [this] { editor_.undo(); });
  addAction(undo);
  auto* redo = new QAction(tr("やり直し"), this);
  redo->setObjectName(QStringLiteral("redo"));
  redo->setShortcuts(kRedoKeys);
  connect(redo, &QAction::triggered, this, [this] { editor_.redo(); });
  addAction(redo);

  editor_.set_restored([this](bool fine_ended) { show_restored(fine_ended); });
  connect(&editor_.history(), &QUndoStack::cleanChanged, this,
          [this](bool clean) { setWindowModified(!clean); });
  // Typing in a box merges into one step until the focus moves on.
  connect(qApp, &QApplication::focusChanged, this, [this] { editor_.seal(); });
}

bool Form1::is_history_key(const QKeyEvent& event) {
  const QKeySequence pressed(event.keyCombination());
  return kUndoKeys.contains(pressed) || kRedoKeys.contains(pressed);
}

void Form1::show_restored(bool fine_ended) {
  show_project();
  if (fine_ended || model_.fine_on) {
    show_modes();
  }
  if (model_.fine_on) {
    compose_with_values();
  } else if (model_.adjust_on) {
    adjust_preview();
  } else {
    show_frame();
  }
}

bool Form1::ask_to_close() {
  QMessageBox box(QMessageBox::Question, title(),
                  tr("編集した内容が保存されていません。保存しますか？"),
                  QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
  box.setDefaultButton(QMessageBox::Save);
  const int answer = box.exec();
  if (answer == QMessageBox::Discard) {
    return true;
  }
  if (answer == QMessageBox::Save) {
    open_settings_dialog(2);
    close_after_save_ = true;
  }
  return false;
}

// The background dialog changes the model as the user chooses; each change
// is recorded, and the records of one opening merge into one step.
void Form1::background_changed() {
  editor_.record(tr("背景の設定"));
  show_layers();
  show_placement();
  show_frame();
}

void Form1::background_closed() {
  // Whatever closing the dialog left behind belongs to the same step.
  editor_.record(tr("背景の設定"));
  editor_.seal();
  show_layers();
  show_placement();
  show_frame();
}

void Form1::pic_FileDropped(int layer, const QString& path) {
  if (is_settings_path(path)) {
    open_settings(path);
    return;
  }
  QString error;
  const bool ok = editor_.load_picture(layer, path, is_png_name(path), &error);
  layer_loaded(layer);
  if (!ok) {
    QMessageBox::warning(this, title(), error);
  }
}

void Form1::dragEnterEvent(QDragEnterEvent* event) {
  if (!dropped_settings_file(event->mimeData()).isEmpty()) {
    event->acceptProposedAction();
  }
}

void Form1::dropEvent(QDropEvent* event) {
  const QString path = dropped_settings_file(event->mimeData());
  if (path.isEmpty()) {
    return;
  }
  event->acceptProposedAction();
  open_settings(path);
}

}  // namespace tamrisk::ui
