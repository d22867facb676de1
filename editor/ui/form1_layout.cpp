// The main window's controls at their places.
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSpinBox>
#include <QToolButton>
#include <type_traits>

#include "ui/caption_button.h"
#include "ui/drive_selector.h"
#include "ui/folder_list.h"
#include "ui/form1.h"
#include "ui/image_canvas.h"
#include "ui/sequence_box.h"

namespace tamrisk::ui {

namespace {

// The places pictures show in: a larger picture is scaled down into its
// place, so that no canvas covers its neighbours.
constexpr QSize kWideSlot(350, 70);    // the background, the foreground, the frame
constexpr QSize kPatternSlot(60, 60);  // the nine patterns

// Top-left corners of the layer canvases.
QPoint layer_position(int layer) {
  if (layer == kBackground) {
    return {40, 8};
  }
  if (layer == kForeground) {
    return {40, 216};
  }
  if (layer <= 5) {
    return {472, 8 + 64 * (layer - 1)};
  }
  return {608, 8 + 64 * (layer - 6)};
}

// The red triangle pointing down: rows 2g and 2g + 1 run from x = g to
// x = 7 - g.
QImage pointer_image(QRgb background) {
  QImage image(Form1::kPointerSize, Form1::kPointerSize, QImage::Format_RGB32);
  image.fill(background);
  for (int g = 0; g < Form1::kPointerSize / 2; ++g) {
    for (int row = 2 * g; row <= 2 * g + 1; ++row) {
      for (int x = g; x <= Form1::kPointerSize - 1 - g; ++x) {
        image.setPixel(x, row, qRgb(255, 0, 0));
      }
    }
  }
  return image;
}

void setup_bar(QScrollBar* bar, int min, int max) {
  bar->setRange(min, max);
  bar->setSingleStep(1);
  bar->setPageStep(1);
  // Qt's scroll bars invert their keys for the horizontal ones; Left must
  // step towards the minimum there. Vertical ones already step up to it.
  if (bar->orientation() == Qt::Horizontal) {
    bar->setInvertedControls(false);
  }
  bar->setValue(0);
}

enum class Kind {
  Button,         // a button showing the caption
  Label,          // the caption as a label
  Number,         // a pattern's number in large print beside its canvas
  Display,        // a text box that only shows a value, "0" at first
  Field,          // a text box to type in, the caption at first
  VerticalBar,    // a scroll bar standing up
  HorizontalBar,  // a scroll bar lying down
  Frame,          // the frame canvas
  Sink,           // the small widget that takes the focus when no control should
  Pointer,        // the red pointer above the sequence box
  Sequence,       // the sequence box
  Drive,          // the drive list
  Folder,         // the folder list
  Script,         // the one-line box that shows the script
  Formats,        // the button with the menu of animation formats
  Hold,           // the number box of a frame's hold
};

// Keeps a made control in a member of the window, or in element i of a
// member array. The row's kind makes a control of the member's type.
template <auto member>
void keep(Form1& form, QWidget* control) {
  auto& slot = form.*member;
  slot = static_cast<std::remove_reference_t<decltype(slot)>>(control);
}
template <auto array, int i>
void keep_at(Form1& form, QWidget* control) {
  auto& slot = (form.*array)[i];
  slot = static_cast<std::remove_reference_t<decltype(slot)>>(control);
}

}  // namespace

struct Form1::ControlRow {
  const char* name;  // the object name; nullptr for a plain label
  Kind kind;
  QRect rect;  // where it stands; an empty one only places a canvas that sizes itself
  // The caption: marked for translation where it has words, the same in
  // every language where it is a name, a number or a sign.
  const char* caption;
  void (*keep)(Form1&, QWidget*);  // stores it in its member, where it has one
};

const Form1::ControlRow Form1::kControlRows[] = {
    {"win_main", Kind::Frame, {40, 96, 0, 0}, nullptr, keep<&Form1::win_main>},
    {"pic_dummy", Kind::Sink, {8, 16, 2, 2}, nullptr, keep<&Form1::pic_dummy>},
    {"Command1", Kind::Button, {8, 8, 25, 65}, QT_TR_NOOP("背景設定"), keep<&Form1::Command1>},
    {"adjust_y", Kind::VerticalBar, {8, 80, 25, 89}, nullptr, keep<&Form1::adjust_y>},
    {"bt_set", Kind::Button, {8, 176, 25, 33}, QT_TR_NOOP("調整"), keep<&Form1::bt_set>},
    {"adjust_x", Kind::HorizontalBar, {40, 176, 193, 25}, nullptr, keep<&Form1::adjust_x>},
    {nullptr, Kind::Label, {240, 180, 17, 25}, "x:", nullptr},
    {"offset_x", Kind::Display, {256, 184, 33, 18}, nullptr, keep<&Form1::offset_x>},
    {nullptr, Kind::Label, {292, 180, 17, 25}, "y:", nullptr},
    {"offset_y", Kind::Display, {312, 184, 33, 18}, nullptr, keep<&Form1::offset_y>},
    {"bt_reset", Kind::Button, {344, 176, 49, 33}, QT_TR_NOOP("リセット"), keep<&Form1::bt_reset>},
    {"bt_zoom", Kind::Button, {8, 224, 25, 65}, QT_TR_NOOP("ズーム"), keep<&Form1::bt_zoom>},

    {nullptr, Kind::Label, {80, 290, 81, 25}, QT_TR_NOOP("コマ間隔"), nullptr},
    {"size_move", Kind::Field, {160, 290, 33, 22}, "0", keep<&Form1::size_move>},
    {"sc_bar", Kind::HorizontalBar, {64, 316, 169, 17}, nullptr, keep<&Form1::sc_bar>},
    {nullptr, Kind::Label, {32, 336, 129, 17}, QT_TR_NOOP("アニメパターン"), nullptr},
    {"frames_label", Kind::Label, {168, 336, 97, 17}, nullptr, keep<&Form1::frames_label>},
    {"pattern_anime", Kind::Sequence, {40, 360, 225, 25}, nullptr, keep<&Form1::pattern_anime>},
    {"pointer_k",
     Kind::Pointer,
     {42, 352, kPointerSize, kPointerSize},
     nullptr,
     keep<&Form1::pointer_k>},

    {"bt_set2", Kind::Button, {8, 392, 70, 81}, QT_TR_NOOP("微調整ＯＮ"), keep<&Form1::bt_set2>},
    {"bt_arrow0", Kind::Button, {120, 387, 33, 33}, "↑", keep_at<&Form1::bt_arrow, 0>},
    {"bt_arrow1", Kind::Button, {120, 444, 33, 33}, "↓", keep_at<&Form1::bt_arrow, 1>},
    {"bt_arrow2", Kind::Button, {84, 416, 33, 33}, "←", keep_at<&Form1::bt_arrow, 2>},
    {"bt_arrow3", Kind::Button, {152, 416, 33, 33}, "→", keep_at<&Form1::bt_arrow, 3>},
    {"anime", Kind::Button, {192, 392, 73, 81}, QT_TR_NOOP("アニメテスト"), keep<&Form1::anime>},

    {nullptr, Kind::Label, {48, 480, 73, 17}, "TOTAL", nullptr},
    {nullptr, Kind::Label, {192, 480, 57, 17}, "THIS", nullptr},
    {nullptr, Kind::Label, {16, 496, 17, 25}, "x:", nullptr},
    {nullptr, Kind::Label, {152, 496, 17, 25}, "x:", nullptr},
    {nullptr, Kind::Label, {68, 496, 17, 25}, "y:", nullptr},
    {nullptr, Kind::Label, {204, 496, 17, 25}, "y:", nullptr},
    {"total_adjust_x", Kind::Display, {32, 500, 33, 18}, nullptr, keep<&Form1::total_adjust_x>},
    {"total_adjust_y", Kind::Display, {88, 500, 33, 18}, nullptr, keep<&Form1::total_adjust_y>},
    {"this_adjust_x", Kind::Display, {168, 500, 33, 18}, nullptr, keep<&Form1::this_adjust_x>},
    {"this_adjust_y", Kind::Display, {224, 500, 33, 18}, nullptr, keep<&Form1::this_adjust_y>},
    {"frame_hold", Kind::Hold, {123, 499, 27, 20}, nullptr, keep<&Form1::frame_hold>},

    {nullptr, Kind::Label, {272, 296, 105, 25}, QT_TR_NOOP("保存先パス"), nullptr},
    {"Drive1", Kind::Drive, {272, 328, 169, 20}, nullptr, keep<&Form1::Drive1>},
    {"Dir1", Kind::Folder, {272, 360, 185, 118}, nullptr, keep<&Form1::Dir1>},
    {"basename", Kind::Field, {272, 488, 185, 25}, nullptr, keep<&Form1::basename>},

    {"number0", Kind::Number, {416, 16, 49, 49}, "1", nullptr},
    {"number1", Kind::Number, {416, 80, 49, 49}, "2", nullptr},
    {"number2", Kind::Number, {416, 144, 49, 49}, "3", nullptr},
    {"number3", Kind::Number, {416, 208, 49, 49}, "4", nullptr},
    {"number4", Kind::Number, {416, 272, 49, 49}, "5", nullptr},
    {"number5", Kind::Number, {552, 16, 49, 49}, "6", nullptr},
    {"number6", Kind::Number, {552, 80, 49, 49}, "7", nullptr},
    {"number7", Kind::Number, {552, 144, 49, 49}, "8", nullptr},
    {"number8", Kind::Number, {552, 208, 49, 49}, "9", nullptr},

    {nullptr, Kind::Label, {560, 304, 121, 33}, QT_TR_NOOP("出力形式"), nullptr},
    {"output_bmp",
     Kind::Button,
     {560, 336, 49, 33},
     QT_TR_NOOP("ＢＭＰ"),
     keep<&Form1::output_bmp>},
    {"output_png", Kind::Button, {616, 336, 49, 33}, QT_TR_NOOP("MＮＧ"), keep<&Form1::output_png>},
    {"output_formats", Kind::Formats, {612, 307, 62, 25}, nullptr, keep<&Form1::output_formats>},
    {"bt_timing",
     Kind::Button,
     {472, 336, 65, 25},
     QT_TR_NOOP("タイミング"),
     keep<&Form1::bt_timing>},
    {"total_time", Kind::Label, {462, 362, 86, 17}, nullptr, keep<&Form1::total_time>},
    {"bt_load", Kind::Button, {472, 384, 65, 49}, "LOAD", keep<&Form1::bt_load>},
    {"bt_save", Kind::Button, {472, 448, 65, 49}, "SAVE", keep<&Form1::bt_save>},
    {"bt_exec", Kind::Button, {552, 384, 121, 113}, QT_TR_NOOP("コマ作成"), keep<&Form1::bt_exec>},
    {"mng_textbox", Kind::Script, {496, 504, 145, 17}, nullptr, keep<&Form1::mng_textbox>},
};

void Form1::build_controls() {
  // The canvases first and lowest, so that they never cover a control.
  make_layer_canvases();
  for (const ControlRow& row : kControlRows) {
    QWidget* control = make_control(row);
    if (row.name != nullptr) {
      control->setObjectName(QLatin1String(row.name));
    }
    if (row.rect.isEmpty()) {
      control->move(row.rect.topLeft());
    } else {
      control->setGeometry(row.rect);
    }
    if (row.keep != nullptr) {
      row.keep(*this, control);
    }
  }

  basename->setText(model_.basename);
  frames_label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  setup_bar(adjust_x, model_.adjust_x_range().min, model_.adjust_x_range().max);
  setup_bar(adjust_y, model_.adjust_y_range().min, model_.adjust_y_range().max);
  setup_bar(sc_bar, kScBarMin, kScBarMax);
  pointer_k->set_image(pointer_image(palette().color(QPalette::Window).rgb()));

  for (ImageCanvas* canvas : pic) {
    canvas->lower();
  }
  win_main->lower();
  pic_dummy->lower();
}

void Form1::make_layer_canvases() {
  for (int i = 0; i < kLayerCount; ++i) {
    pic[i] = new ImageCanvas(this);
    pic[i]->setObjectName(QStringLiteral("pic%1").arg(i));
    pic[i]->move(layer_position(i));
    pic[i]->set_slot(i == kBackground || i == kForeground ? kWideSlot : kPatternSlot);
    pic[i]->setToolTip(ProjectModel::layer_name(i));
    pic[i]->setCursor(Qt::PointingHandCursor);
    pic[i]->set_framed(true);
  }
}

QWidget* Form1::make_control(const ControlRow& row) {
  const QString caption = row.caption != nullptr ? tr(row.caption) : QString();
  switch (row.kind) {
    case Kind::Button:
      return new CaptionButton(caption, this);
    case Kind::Label:
      return new QLabel(caption, this);
    case Kind::Number: {
      auto* number = new QLabel(caption, this);
      number->setAlignment(Qt::AlignCenter);
      QFont big = number->font();
      big.setPixelSize(24);
      number->setFont(big);
      return number;
    }
    case Kind::Display: {
      auto* box = new QLineEdit(QStringLiteral("0"), this);
      box->setReadOnly(true);
      box->setFocusPolicy(Qt::NoFocus);
      return box;
    }
    case Kind::Field:
      return new QLineEdit(caption, this);
    case Kind::VerticalBar:
      return new QScrollBar(Qt::Vertical, this);
    case Kind::HorizontalBar:
      return new QScrollBar(Qt::Horizontal, this);
    case Kind::Frame: {
      auto* canvas = new ImageCanvas(this);
      canvas->set_framed(true);
      canvas->set_slot(kWideSlot);
      canvas->setAcceptDrops(false);
      return canvas;
    }
    case Kind::Sink: {
      auto* sink = new QWidget(this);
      sink->setFocusPolicy(Qt::ClickFocus);
      return sink;
    }
    case Kind::Pointer: {
      auto* pointer = new ImageCanvas(this);
      pointer->setAcceptDrops(false);
      return pointer;
    }
    case Kind::Sequence: {
      auto* box = new SequenceBox(this);
      box->setMaxLength(kMaxFrames);
      return box;
    }
    case Kind::Drive:
      return new DriveSelector(this);
    case Kind::Folder:
      return new FolderList(this);
    case Kind::Script: {
      auto* script = new QPlainTextEdit(this);
      script->setLineWrapMode(QPlainTextEdit::NoWrap);
      script->setReadOnly(true);
      script->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
      script->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
      // One line shows in the 17 pixels.
      script->document()->setDocumentMargin(0);
      return script;
    }
    case Kind::Formats:
      return new QToolButton(this);
    case Kind::Hold: {
      auto* hold = new QSpinBox(this);
      hold->setButtonSymbols(QAbstractSpinBox::NoButtons);
      hold->setAlignment(Qt::AlignRight);
      return hold;
    }
  }
  return nullptr;
}

}  // namespace tamrisk::ui
