// The main window's undo and redo.
#include <QAction>
#include <QApplication>
#include <QKeyEvent>

#include "ui/form1.h"

namespace tamrisk::ui {

namespace {

const QList<QKeySequence> kUndoKeys = {QKeySequence(Qt::CTRL | Qt::Key_Z)};
const QList<QKeySequence> kRedoKeys = {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
                                       QKeySequence(Qt::CTRL | Qt::Key_Y)};

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

// The background dialog has made its one step.
void Form1::background_changed() {
  show_layers();
  show_placement();
  show_frame();
}

}  // namespace tamrisk::ui
