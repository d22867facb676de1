// The main window's project files: the title, LOAD and SAVE with their keys,
// the question before unsaved edits are replaced, the recent projects and
// the files dropped on the window.
#include <QAction>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QMimeData>
#include <QUrl>
#include <utility>

#include "model/settings_file.h"
#include "ui/form1.h"
#include "ui/form3.h"
#include "ui/image_canvas.h"
#include "ui/recent_projects.h"

namespace tamrisk::ui {

namespace {

// pst_mode of LOAD and SAVE.
constexpr int kLoad = 1;
constexpr int kSave = 2;

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

void Form1::make_file_actions() {
  const auto add = [this](const char* name, const QString& text, const QKeySequence& key,
                          void (Form1::*slot)()) {
    auto* action = new QAction(text, this);
    action->setObjectName(QLatin1String(name));
    action->setShortcut(key);
    connect(action, &QAction::triggered, this, slot);
    addAction(action);
  };
  add("open", tr("開く"), QKeySequence(Qt::CTRL | Qt::Key_O), &Form1::bt_load_Click);
  add("save", tr("保存"), QKeySequence(Qt::CTRL | Qt::Key_S), &Form1::save_project);
  add("save_as", tr("名前を付けて保存"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S),
      &Form1::bt_save_Click);
  // An edit after "Discard" was answered is a new edit to ask about.
  connect(&editor_.history(), &QUndoStack::indexChanged, this,
          [this] { edits_discarded_ = false; });
  show_title();
}

void Form1::show_title() {
  const QString file = editor_.project_file();
  setWindowTitle(file.isEmpty() ? title() + QStringLiteral("[*]")
                                : QFileInfo(file).fileName() + QStringLiteral("[*] — ") + title());
  setWindowModified(!editor_.is_clean());
}

void Form1::bt_load_Click() {
  if (may_replace_project([this] { bt_load_Click(); })) {
    open_settings_dialog(kLoad);
  }
}

void Form1::bt_save_Click() {
  open_settings_dialog(kSave);
}

void Form1::save_project() {
  if (editor_.project_file().isEmpty()) {
    open_settings_dialog(kSave);
  } else {
    save_to(editor_.project_file());
  }
}

bool Form1::save_to(const QString& path) {
  model_.pst_mode = kSave;
  model_.file_path = path;
  return load_save();
}

void Form1::open_settings_dialog(int pst_mode) {
  // A dialog that has closed but is not deleted yet is of no use.
  if (!settings_.isNull() && !settings_->isVisible()) {
    settings_->disconnect(this);
    settings_ = nullptr;
  }
  if (settings_.isNull()) {
    switch_fine_mode_off();
    settings_ = new Form3(
        editor_,
        [this](int mode, const QString& path) {
          return mode == kLoad ? open_settings(path) : save_to(path);
        },
        this);
    connect(settings_, &QDialog::finished, this, [this] {
      after_save_ = nullptr;
      edits_discarded_ = false;
    });
  }
  model_.pst_mode = pst_mode;
  settings_->open_for(pst_mode, model_.program_folder(), editor_.project_file());
}

bool Form1::may_replace_project(const std::function<void()>& then) {
  if (editor_.is_clean() || edits_discarded_) {
    return true;
  }
  QMessageBox box(QMessageBox::Question, title(),
                  tr("編集した内容が保存されていません。保存しますか？"),
                  QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
  box.setDefaultButton(QMessageBox::Save);
  switch (box.exec()) {
    case QMessageBox::Discard:
      edits_discarded_ = true;
      return true;
    case QMessageBox::Save:
      if (!editor_.project_file().isEmpty()) {
        return save_to(editor_.project_file());
      }
      // A name first; what was asked for follows the SAVE.
      open_settings_dialog(kSave);
      after_save_ = then;
      return false;
    default:
      return false;
  }
}

bool Form1::open_settings(const QString& path) {
  if (!QFileInfo(path).isFile()) {
    recent_projects::remove(path);
    QMessageBox::warning(
        this, title(), tr("設定ファイル「%1」がありません。").arg(QDir::toNativeSeparators(path)));
    return false;
  }
  if (!may_replace_project([this, path] { open_settings(path); })) {
    return false;
  }
  // As through the settings dialog, which ends fine-adjust mode on opening.
  switch_fine_mode_off();
  model_.file_path = path;
  model_.pst_mode = kLoad;
  return load_save();
}

bool Form1::load_save() {
  QString error;
  QStringList warnings;
  const bool loading = model_.pst_mode == kLoad;
  const bool ok = editor_.load_save(&error, &warnings);
  if (loading) {
    edits_discarded_ = false;
    refresh_from_model();
    show_first_frame();
  }
  if (ok && editor_.project_file() == model_.file_path) {
    recent_projects::add(model_.file_path);
  }
  show_title();
  if (ok && !loading && after_save_) {
    // After the dialog that asked for the save has closed.
    QMetaObject::invokeMethod(this, std::exchange(after_save_, nullptr), Qt::QueuedConnection);
  }
  if (!ok) {
    QMessageBox::warning(this, title(), error);
  } else if (!warnings.isEmpty()) {
    QMessageBox::warning(this, title(), warnings.join(QLatin1Char('\n')));
  }
  return ok;
}

void Form1::show_first_frame() {
  if (model_.frame_count() == 0 || model_.win_main.isNull()) {
    return;
  }
  model_.cur_frame = 0;
  compose_with_values();
}

void Form1::show_frame_count() {
  frames_label->setText(tr("%1 / %2 コマ").arg(model_.frame_count()).arg(kMaxFrames));
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
