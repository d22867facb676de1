#include "ui/form1.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>
#include <initializer_list>

#include "model/settings_file.h"
#include "platform/program_folder.h"
#include "render/compose.h"
#include "render/picture_readers.h"
#include "ui/drive_selector.h"
#include "ui/folder_list.h"
#include "ui/form2.h"
#include "ui/form3.h"
#include "ui/form4.h"
#include "ui/form5.h"
#include "ui/image_canvas.h"
#include "ui/sequence_box.h"

namespace tamrisk::ui {

namespace {

// The arrow buttons ↑ ↓ ← → in the order of bt_arrow.
constexpr ProjectEditor::Arrow kArrows[4] = {ProjectEditor::Arrow::Up, ProjectEditor::Arrow::Down,
                                             ProjectEditor::Arrow::Left,
                                             ProjectEditor::Arrow::Right};

}  // namespace

Form1::Form1(QWidget* parent) : Form1(program_folder(), default_compiler_path(), parent) {}

Form1::Form1(const QString& program_folder, const QString& compiler, QWidget* parent)
    : QWidget(parent),
      model_(program_folder),
      editor_(model_, editor_picture_readers()),
      compiler_path_(compiler),
      export_(new ExportControl(this)),
      Timer1(new QTimer(this)),
      timer_(Timer1),
      animation_(model_, timer_) {
  setFixedSize(678, 521);
  setAcceptDrops(true);
  // The captions are laid out for a 12-pixel font.
  QFont small = font();
  small.setPixelSize(12);
  setFont(small);
  Timer1->setObjectName(QStringLiteral("Timer1"));
  build_controls();
  export_->attach(output_formats);
  setup_timing_controls();
  connect_controls();
  make_history_actions();
  make_file_actions();
  start_up();
}

Form1::~Form1() {
  qApp->removeEventFilter(this);
  // The controls and the windows opened from here go with this one (a box
  // losing the focus reports the end of its editing): nothing they report on
  // the way is wanted.
  disconnect(qApp, nullptr, this, nullptr);
  for (QObject* child : findChildren<QObject*>()) {
    child->disconnect(this);
  }
}

QString Form1::title() {
  return tr("ミルオ工房簡易アニメータ");
}

Form2* Form1::picker() const {
  return picker_;
}

Form3* Form1::settings_dialog() const {
  return settings_;
}

Form4* Form1::zoom_window() const {
  return zoom_;
}

Form5* Form1::background_dialog() const {
  return background_;
}

void Form1::connect_controls() {
  connect(adjust_x, &QScrollBar::valueChanged, this, &Form1::adjust_x_Change);
  connect(adjust_y, &QScrollBar::valueChanged, this, &Form1::adjust_y_Change);
  connect(sc_bar, &QScrollBar::valueChanged, this, &Form1::sc_bar_Change);
  connect(size_move, &QLineEdit::textChanged, this, &Form1::size_move_Change);
  connect(size_move, &QLineEdit::editingFinished, this, &Form1::size_move_Finished);
  connect(pattern_anime, &QLineEdit::textChanged, this, &Form1::pattern_anime_Change);
  // The pointer follows when the sequence box scrolls its text.
  connect(
      pattern_anime, &SequenceBox::cells_moved, this, [this] { move_pointer(-1); },
      Qt::QueuedConnection);
  connect(basename, &QLineEdit::textChanged, this, &Form1::basename_Change);
  connect(bt_set, &QPushButton::clicked, this, &Form1::bt_set_Click);
  connect(bt_set2, &QPushButton::clicked, this, &Form1::bt_set2_Click);
  connect(bt_reset, &QPushButton::clicked, this, &Form1::bt_reset_Click);
  for (int i = 0; i < 4; ++i) {
    connect(bt_arrow[i], &QPushButton::clicked, this, [this, i] { bt_arrow_Click(i); });
  }
  connect(bt_zoom, &QPushButton::clicked, this, &Form1::bt_zoom_Click);
  connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
  connect(Drive1, &DriveSelector::drive_changed, this, &Form1::Drive1_Change);
  connect(Dir1, &FolderList::folder_changed, this, &Form1::Dir1_Change);
  connect(bt_load, &QPushButton::clicked, this, &Form1::bt_load_Click);
  connect(bt_save, &QPushButton::clicked, this, &Form1::bt_save_Click);
  for (int i = 0; i < kLayerCount; ++i) {
    connect(pic[i], &ImageCanvas::clicked, this, [this, i] { pic_Click(i); });
    connect(pic[i], &ImageCanvas::file_dropped, this,
            [this, i](const QString& path) { pic_FileDropped(i, path); });
  }
  connect(output_png, &QPushButton::clicked, this, &Form1::output_png_Click);
  connect(output_bmp, &QPushButton::clicked, this, &Form1::output_bmp_Click);
  connect(bt_exec, &QPushButton::clicked, this, &Form1::bt_exec_Click);
  connect(anime, &QPushButton::clicked, this, &Form1::anime_Click);
  connect(Timer1, &QTimer::timeout, this, &Form1::Timer1_Timer);
}

void Form1::start_up() {
  model_.adjust_on = false;
  model_.fine_on = false;
  model_.zoom_on = false;
  model_.fine_pos = 0;
  model_.set_sc_bar(0);
  model_.png_output = false;

  // The output folder: the program's drive, then its folder.
  const QString folder = model_.program_folder();
  Drive1->set_home_drive(ProjectModel::drive_of(folder));
  if (!folder.isEmpty()) {
    Drive1->set_drive(folder);
    Dir1->set_folder(folder);
  }

  show_layers();
  show_frame();
  show_frame_count();
  show_output_format();
  move_pointer(0);
  // Left and Right reach fine-adjust mode before the focused control.
  qApp->installEventFilter(this);
}

// --- Placement, pattern advance, sequence ----------------------------------

void Form1::adjust_x_Change(int value) {
  editor_.set_adjust_x(value);
  show_placement();
  adjust_preview();
}

void Form1::adjust_y_Change(int value) {
  editor_.set_adjust_y(value);
  show_placement();
  adjust_preview();
}

void Form1::sc_bar_Change(int value) {
  editor_.set_advance(value);
  show_advance_text();
}

// The value is taken as it is typed; the box is rewritten with it only when
// the typing ends, so that the text under the cursor stays as typed.
void Form1::size_move_Change(const QString& text) {
  if (editor_.type_advance(text)) {
    show_advance();
  }
}

void Form1::size_move_Finished() {
  if (ProjectEditor::typed_advance(size_move->text())) {
    show_advance_text();
  }
}

void Form1::pattern_anime_Change(const QString& text) {
  editor_.set_sequence(text);
  show_frame_count();
}

void Form1::basename_Change(const QString& text) {
  editor_.set_basename(text);
}

// --- Modes -------------------------------------------------------------------

void Form1::bt_set_Click() {
  editor_.enter_adjust();
  show_modes();
  adjust_preview();
}

void Form1::bt_set2_Click() {
  focus_to_sink();
  const bool on = editor_.toggle_fine();
  show_modes();
  if (on) {
    compose_with_values();
  }
}

void Form1::switch_fine_mode_off() {
  editor_.end_fine();
  show_modes();
}

void Form1::bt_reset_Click() {
  // The global offsets only; the fine offsets stay in every mode.
  focus_to_sink();
  editor_.reset_placement();
  show_placement();
  adjust_preview();
}

void Form1::bt_arrow_Click(int index) {
  focus_to_sink();
  switch (editor_.nudge(kArrows[index])) {
    case ProjectEditor::Nudge::Moved:
      compose_with_values();
      break;
    case ProjectEditor::Nudge::Refused:
      QApplication::beep();
      break;
    case ProjectEditor::Nudge::Ignored:
      break;
  }
}

bool Form1::Form_KeyDown(int key) {
  if (key == Qt::Key_Plus || key == Qt::Key_Minus) {
    return change_hold(key == Qt::Key_Plus ? 1 : -1);
  }
  const int step = key == Qt::Key_Left ? -1 : (key == Qt::Key_Right ? 1 : 0);
  if (step == 0 || !editor_.move_fine_cursor(step)) {
    return false;
  }
  show_modes();
  compose_with_values();
  return true;
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
  if (!watched->isWidgetType() || static_cast<QWidget*>(watched)->window() != this) {
    return QWidget::eventFilter(watched, event);
  }
  if (event->type() == QEvent::ShortcutOverride &&
      is_history_key(*static_cast<QKeyEvent*>(event))) {
    // The window's undo and redo, not a text box's own: left unaccepted,
    // the key goes to the window's shortcuts.
    event->ignore();
    return true;
  }
  if (event->type() == QEvent::KeyPress && Form_KeyDown(static_cast<QKeyEvent*>(event)->key())) {
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

// --- Zoom window -------------------------------------------------------------

void Form1::bt_zoom_Click() {
  focus_to_sink();
  if (editor_.toggle_zoom()) {
    bt_zoom->setText(tr("縮小"));
    if (zoom_.isNull()) {
      zoom_ = new Form4(this);
      connect(zoom_, &Form4::closed, this, &Form1::Form4_Unload);
      zoom_->move(frameGeometry().topRight() + QPoint(8, 0));
    }
    zoom_->set_frame(model_.win_main);
    zoom_->show();
    zoom_->raise();
  } else {
    bt_zoom->setText(tr("ズーム"));
    if (!zoom_.isNull()) {
      zoom_->close();
    }
  }
}

void Form1::Form4_Unload() {
  editor_.zoom_closed();
  bt_zoom->setText(tr("ズーム"));
}

// --- Dialogs -----------------------------------------------------------------

void Form1::Command1_Click() {
  if (background_.isNull()) {
    background_ = new Form5(editor_, this);
    connect(background_, &Form5::background_changed, this, &Form1::background_changed);
  }
  background_->show_dialog();
}

void Form1::pic_Click(int layer) {
  if (picker_.isNull()) {
    switch_fine_mode_off();
    picker_ = new Form2(editor_, this);
    connect(picker_, &Form2::layer_loaded, this, &Form1::layer_loaded);
  }
  picker_->open_for_layer(layer);
}

void Form1::layer_loaded(int layer) {
  pic[layer]->set_image(model_.pic[layer]);
  if (layer == kBackground) {
    show_placement();
    show_frame();
  }
}

// --- Output ------------------------------------------------------------------

void Form1::Drive1_Change(const QString& drive) {
  show_drive_root(*Dir1, drive, model_.program_folder());
}

void Form1::Dir1_Change(const QString& folder) {
  model_.set_output_folder(folder);
  if (!Drive1->drive().isEmpty()) {
    model_.output_drive = Drive1->drive();
  }
}

// --- Recurring steps ---------------------------------------------------------

void Form1::focus_to_sink() {
  pic_dummy->setFocus(Qt::OtherFocusReason);
}

void Form1::compose_with_values() {
  compose_frame(model_);
  show_offsets();
  show_frame();
}

void Form1::adjust_preview() {
  if (!model_.adjust_on) {
    return;
  }
  draw_adjust_preview(model_);
  show_frame();
}

void Form1::closeEvent(QCloseEvent* event) {
  if (!may_replace_project([this] { close(); })) {
    event->ignore();
    return;
  }
  Timer1->stop();
  for (QWidget* window : std::initializer_list<QWidget*>{zoom_, picker_, settings_, background_}) {
    if (window != nullptr) {
      window->close();
    }
  }
  QWidget::closeEvent(event);
}

// --- Showing the model -------------------------------------------------------

void Form1::refresh_from_model() {
  show_project();
  show_output_folder();
  show_output_format();
  show_frame();
  move_pointer(-1);
  anime->setText(animation_.caption());
}

// The parts of the project that edits change.
void Form1::show_project() {
  show_layers();
  show_placement();
  show_advance();
  show_advance_text();
  if (pattern_anime->text() != model_.pattern_anime()) {
    pattern_anime->setText(model_.pattern_anime());
  }
  if (basename->text() != model_.basename) {
    basename->setText(model_.basename);
  }
  show_timing();
  show_frame_count();
}

void Form1::show_modes() {
  bt_set2->setText(model_.fine_on ? tr("微調整ＯＦＦ") : tr("微調整ＯＮ"));
  pattern_anime->setReadOnly(model_.fine_on);
  if (model_.fine_on) {
    move_pointer(model_.fine_pos);
    // The sequence box drops its selection when it loses the focus: the
    // focus moves first.
    focus_to_sink();
    select_cell(model_.fine_pos);
  } else {
    move_pointer(0);
    select_cell(-1);
  }
}

void Form1::show_advance() {
  const QSignalBlocker blocker(sc_bar);
  sc_bar->setValue(model_.sc_bar());
}

void Form1::show_advance_text() {
  const QString advance = QString::number(model_.sc_bar());
  if (size_move->text() != advance) {
    size_move->setText(advance);
  }
}

void Form1::show_layers() {
  for (int i = 0; i < kLayerCount; ++i) {
    pic[i]->set_image(model_.pic[i]);
  }
}

void Form1::show_frame() {
  win_main->set_image(model_.win_main);
  if (model_.zoom_on && !zoom_.isNull()) {
    zoom_->set_frame(model_.win_main);
  }
}

// TOTAL and THIS of frame cur_frame; y shows upwards.
void Form1::show_offsets() {
  const ProjectModel::Offset total = model_.cumulative_offset(model_.cur_frame);
  const ProjectModel::Offset own = model_.frame_offset(model_.cur_frame);
  total_adjust_x->setText(QString::number(total.x));
  total_adjust_y->setText(QString::number(-int{total.y}));
  this_adjust_x->setText(QString::number(own.x));
  this_adjust_y->setText(QString::number(-int{own.y}));
  show_timing();
}

void Form1::show_placement() {
  // The model already holds the values within their ranges; the bars only
  // follow, without redrawing anything.
  {
    const QSignalBlocker blocker(adjust_x);
    adjust_x->setRange(model_.adjust_x_range().min, model_.adjust_x_range().max);
    adjust_x->setValue(model_.adjust_x());
  }
  {
    const QSignalBlocker blocker(adjust_y);
    adjust_y->setRange(model_.adjust_y_range().min, model_.adjust_y_range().max);
    adjust_y->setValue(model_.adjust_y());
  }
  offset_x->setText(QString::number(model_.adjust_x()));
  offset_y->setText(QString::number(-model_.adjust_y()));
}

void Form1::show_output_folder() {
  // Selecting the drive moves the folder list and with it the model's
  // output folder, so the wanted folder is read first.
  const QString folder = model_.output_dir;
  const QString drive = model_.output_drive;
  if (folder.isEmpty() || Dir1->folder() == QDir::toNativeSeparators(folder)) {
    return;
  }
  Drive1->set_drive(drive.isEmpty() ? folder : drive);
  if (!Dir1->set_folder(folder)) {
    Dir1->set_folder(model_.program_folder());
  }
}

void Form1::show_output_format() {
  output_png->setVisible(!model_.png_output);
  output_bmp->setVisible(model_.png_output);
  output_formats->setVisible(model_.png_output);
}

void Form1::move_pointer(int cell) {
  // -1: where the pointer stands now (fine_pos in fine-adjust mode, else 0).
  if (cell < 0) {
    cell = model_.fine_on ? model_.fine_pos : 0;
  }
  const int centre = std::clamp(pattern_anime->cell_centre(cell), kPointerSize / 2,
                                pattern_anime->width() - kPointerSize / 2);
  pointer_k->move(pattern_anime->x() + centre - kPointerSize / 2,
                  pattern_anime->y() - kPointerSize);
}

void Form1::select_cell(int cell) {
  // -1: no selection, the caret at the start.
  if (cell < 0) {
    pattern_anime->deselect();
    pattern_anime->setCursorPosition(0);
  } else {
    pattern_anime->setSelection(cell, 1);
  }
}

}  // namespace tamrisk::ui
