#include "ui/form5.h"

#include <QButtonGroup>
#include <QColorDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>

#include "ui/colour_field.h"

namespace tamrisk::ui {

Form5::Form5(ProjectEditor& editor, QWidget* parent)
    : QDialog(parent),
      editor_(editor),
      model_(editor.model()),
      colour_(model_.bg_colour),
      Option1(new QRadioButton(tr("無地"), this)),
      Label1(new QLabel(tr("よこ"), this)),
      Text1(new QLineEdit(this)),
      Label2(new QLabel(tr("たて"), this)),
      Text2(new QLineEdit(this)),
      color_window(new ColourField(this)),
      Option2(new QRadioButton(tr("指定ファイル"), this)),
      Command1(new QPushButton(tr("Ｏｋ"), this)),
      Command2(new QPushButton(tr("キャンセル"), this)) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(tr("背景の設定"));
  setFixedSize(312, 208);

  Option1->setObjectName(QStringLiteral("Option1"));
  Label1->setObjectName(QStringLiteral("Label1"));
  Text1->setObjectName(QStringLiteral("Text1"));
  Label2->setObjectName(QStringLiteral("Label2"));
  Text2->setObjectName(QStringLiteral("Text2"));
  color_window->setObjectName(QStringLiteral("color_window"));
  Option2->setObjectName(QStringLiteral("Option2"));
  Command1->setObjectName(QStringLiteral("Command1"));
  Command2->setObjectName(QStringLiteral("Command2"));

  Option1->setGeometry(32, 40, 89, 25);
  Label1->setGeometry(136, 24, 41, 25);
  Text1->setGeometry(184, 24, 41, 25);
  Label2->setGeometry(136, 56, 41, 25);
  Text2->setGeometry(184, 56, 41, 25);
  color_window->setGeometry(240, 24, 49, 57);
  Option2->setGeometry(32, 112, 121, 33);
  Command1->setGeometry(64, 168, 73, 33);
  Command2->setGeometry(184, 168, 73, 33);

  auto* group = new QButtonGroup(this);
  group->addButton(Option1);
  group->addButton(Option2);
  for (QPushButton* button : {Command1, Command2}) {
    button->setAutoDefault(false);
  }

  // The background layer's size, in pixels.
  Text1->setText(QString::number(model_.pic[kBackground].width()));
  Text2->setText(QString::number(model_.pic[kBackground].height()));
  color_window->set_colour(QColor(colour_to_qrgb(colour_)));
  // A plain background shows as "無地", so that "Ｏｋ" keeps it plain.
  if (model_.bg_from_file) {
    Option2->setChecked(true);
  } else {
    Option1->setChecked(true);
  }
  enable_plain_controls(!model_.bg_from_file);

  connect(Option1, &QRadioButton::toggled, this, [this](bool checked) {
    if (checked) {
      Option1_Click();
    }
  });
  connect(Option2, &QRadioButton::toggled, this, [this](bool checked) {
    if (checked) {
      Option2_Click();
    }
  });
  connect(color_window, &ColourField::clicked, this, &Form5::color_window_Click);
  connect(Command1, &QPushButton::clicked, this, &Form5::Command1_Click);
  connect(Command2, &QPushButton::clicked, this, &Form5::Command2_Click);
}

void Form5::show_dialog() {
  show();
  raise();
  activateWindow();
}

void Form5::Option1_Click() {
  enable_plain_controls(true);
}

void Form5::Option2_Click() {
  enable_plain_controls(false);
}

void Form5::color_window_Click() {
  // Cancelling the chooser keeps the colour as it was.
  const QColor chosen = QColorDialog::getColor(color_window->colour(), this, tr("色の設定"));
  if (!chosen.isValid()) {
    return;
  }
  colour_ = qrgb_to_colour(chosen.rgb());
  color_window->set_colour(QColor(colour_to_qrgb(colour_)));
}

void Form5::Command1_Click() {
  if (Option1->isChecked()) {
    // A refused size leaves the project as it was and the dialog open.
    QString error;
    if (!editor_.set_plain_background(colour_, Text1->text(), Text2->text(), &error)) {
      QMessageBox::warning(this, windowTitle(), error);
      return;
    }
  } else {
    editor_.set_background_from_file(colour_);
  }
  emit background_changed();
  close();
}

void Form5::Command2_Click() {
  close();
}

void Form5::enable_plain_controls(bool enable) {
  Text1->setEnabled(enable);
  Text2->setEnabled(enable);
  color_window->setEnabled(enable);
}

}  // namespace tamrisk::ui
