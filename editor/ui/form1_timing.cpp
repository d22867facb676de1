// The main window's timing: the frame rate and loop count in a small dialog,
// the hold of the frame under the red pointer in fine-adjust mode, and the
// sequence's total time.
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QSpinBox>

#include "ui/form1.h"

namespace tamrisk::ui {

void Form1::setup_timing_controls() {
  bt_timing->setToolTip(tr("アニメーションの速さ、繰り返しの回数と拡大"));
  connect(bt_timing, &QPushButton::clicked, this, &Form1::bt_timing_Click);
  frame_hold->setRange(AnimationTiming::kMinHold, AnimationTiming::kMaxHold);
  frame_hold->setToolTip(
      tr("赤い印のコマを何コマ分の長さ見せるか（微調整中に変えられます。＋と−のキーでも）"));
  connect(frame_hold, &QSpinBox::valueChanged, this, &Form1::frame_hold_Change);
  total_time->setAlignment(Qt::AlignCenter);
}

void Form1::show_timing() {
  const bool editable = model_.fine_on && model_.fine_pos < model_.frame_count();
  {
    const QSignalBlocker blocker(frame_hold);
    frame_hold->setValue(model_.hold(editable ? model_.fine_pos : model_.cur_frame));
  }
  frame_hold->setEnabled(editable);
  const int periods = model_.periods_of(model_.frame_count());
  const double seconds = static_cast<double>(periods) / model_.timing.frame_rate;
  total_time->setText(tr("全体 %1 秒").arg(QLocale().toString(seconds, 'f', 2)));
  total_time->setToolTip(tr("%1 コマ／秒、%2")
                             .arg(model_.timing.frame_rate)
                             .arg(model_.timing.loop_count == 0
                                      ? tr("繰り返し続ける")
                                      : tr("%n 回再生", nullptr, model_.timing.loop_count)));
}

void Form1::frame_hold_Change(int value) {
  if (editor_.set_hold(value)) {
    show_timing();
  }
}

bool Form1::change_hold(int step) {
  if (!model_.fine_on || !editor_.set_hold(model_.hold(model_.fine_pos) + step)) {
    return false;
  }
  show_timing();
  return true;
}

void Form1::bt_timing_Click() {
  focus_to_sink();
  QDialog dialog(this);
  dialog.setWindowTitle(tr("タイミング"));
  auto* rate = new QSpinBox(&dialog);
  rate->setObjectName(QStringLiteral("frame_rate"));
  rate->setRange(AnimationTiming::kMinFrameRate, AnimationTiming::kMaxFrameRate);
  rate->setValue(model_.timing.frame_rate);
  rate->setSuffix(tr(" コマ／秒"));
  auto* loops = new QSpinBox(&dialog);
  loops->setObjectName(QStringLiteral("loop_count"));
  loops->setRange(0, AnimationTiming::kMaxLoopCount);
  loops->setValue(model_.timing.loop_count);
  loops->setSpecialValueText(tr("ずっと"));
  loops->setSuffix(tr(" 回"));
  auto* scale = new QSpinBox(&dialog);
  scale->setObjectName(QStringLiteral("export_scale"));
  scale->setRange(1, ProjectModel::kMaxExportScale);
  scale->setValue(model_.export_scale);
  scale->setPrefix(QStringLiteral("× "));
  scale->setToolTip(
      tr("アニメーションでは1ピクセルをこの数の四角で見せます（コマのファイルはそのまま）"));
  auto* form = new QFormLayout(&dialog);
  form->addRow(tr("速さ"), rate);
  form->addRow(tr("再生する回数"), loops);
  form->addRow(tr("拡大"), scale);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  form->addRow(buttons);
  if (timing_dialog_shown_) {
    timing_dialog_shown_(dialog);
  }
  if (dialog.exec() == QDialog::Accepted) {
    editor_.set_timing({rate->value(), loops->value()}, scale->value());
    show_timing();
  }
  // The keys go on working in this window.
  activateWindow();
  focus_to_sink();
}

}  // namespace tamrisk::ui
