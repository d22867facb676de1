// The main window's controls at their places.
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>

#include "ui/caption_button.h"
#include "ui/drive_selector.h"
#include "ui/folder_list.h"
#include "ui/form1.h"
#include "ui/image_canvas.h"
#include "ui/sequence_box.h"

namespace tamrisk::ui {

namespace {

// The arrow buttons ↑ ↓ ← →.
const QRect kArrowGeometry[4] = {
    QRect(120, 387, 33, 33),
    QRect(120, 444, 33, 33),
    QRect(84, 416, 33, 33),
    QRect(152, 416, 33, 33),
};
const char16_t* const kArrowCaption[4] = {u"↑", u"↓", u"←", u"→"};

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

}  // namespace

void Form1::build_controls() {
  auto button = [this](const char* name, const QString& caption, const QRect& geometry) {
    QPushButton* b = new CaptionButton(caption, this);
    b->setObjectName(QLatin1String(name));
    b->setGeometry(geometry);
    return b;
  };
  auto label = [this](const QString& text, const QRect& geometry) {
    auto* l = new QLabel(text, this);
    l->setGeometry(geometry);
    return l;
  };
  // A text box that only shows a value.
  auto display = [this](const char* name, const QRect& geometry) {
    auto* box = new QLineEdit(QStringLiteral("0"), this);
    box->setObjectName(QLatin1String(name));
    box->setGeometry(geometry);
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::NoFocus);
    return box;
  };
  auto bar = [this](const char* name, Qt::Orientation orientation, const QRect& geometry) {
    auto* b = new QScrollBar(orientation, this);
    b->setObjectName(QLatin1String(name));
    b->setGeometry(geometry);
    return b;
  };

  // The canvases first, so that a picture larger than its place lies under
  // the controls rather than over them.
  for (int i = 0; i < kLayerCount; ++i) {
    pic[i] = new ImageCanvas(this);
    pic[i]->setObjectName(QStringLiteral("pic%1").arg(i));
    pic[i]->move(layer_position(i));
    pic[i]->setToolTip(ProjectModel::layer_name(i));
    pic[i]->setCursor(Qt::PointingHandCursor);
    pic[i]->set_framed(true);
  }
  win_main = new ImageCanvas(this);
  win_main->set_framed(true);
  win_main->setObjectName(QStringLiteral("win_main"));
  win_main->move(40, 96);

  pic_dummy = new QWidget(this);
  pic_dummy->setObjectName(QStringLiteral("pic_dummy"));
  pic_dummy->setGeometry(8, 16, 2, 2);
  pic_dummy->setFocusPolicy(Qt::ClickFocus);

  Command1 = button("Command1", QStringLiteral("背景設定"), QRect(8, 8, 25, 65));
  adjust_y = bar("adjust_y", Qt::Vertical, QRect(8, 80, 25, 89));
  bt_set = button("bt_set", QStringLiteral("調整"), QRect(8, 176, 25, 33));
  adjust_x = bar("adjust_x", Qt::Horizontal, QRect(40, 176, 193, 25));
  label(QStringLiteral("x:"), QRect(240, 180, 17, 25));
  offset_x = display("offset_x", QRect(256, 184, 33, 18));
  label(QStringLiteral("y:"), QRect(292, 180, 17, 25));
  offset_y = display("offset_y", QRect(312, 184, 33, 18));
  bt_reset = button("bt_reset", QStringLiteral("リセット"), QRect(344, 176, 49, 33));
  bt_zoom = button("bt_zoom", QStringLiteral("ズーム"), QRect(8, 224, 25, 65));

  label(QStringLiteral("コマ間隔"), QRect(80, 290, 81, 25));
  size_move = new QLineEdit(QStringLiteral("0"), this);
  size_move->setObjectName(QStringLiteral("size_move"));
  size_move->setGeometry(160, 290, 33, 22);
  sc_bar = bar("sc_bar", Qt::Horizontal, QRect(64, 316, 169, 17));

  label(QStringLiteral("アニメパターン"), QRect(32, 336, 129, 17));
  pattern_anime = new SequenceBox(this);
  pattern_anime->setObjectName(QStringLiteral("pattern_anime"));
  pattern_anime->setGeometry(40, 360, 225, 25);
  pattern_anime->setMaxLength(kMaxFrames);
  pointer_k = new ImageCanvas(this);
  pointer_k->setObjectName(QStringLiteral("pointer_k"));
  pointer_k->setGeometry(42, 352, kPointerSize, kPointerSize);

  bt_set2 = button("bt_set2", QStringLiteral("微調整ＯＮ"), QRect(8, 392, 70, 81));
  for (int i = 0; i < 4; ++i) {
    bt_arrow[i] = new CaptionButton(QString::fromUtf16(kArrowCaption[i]), this);
    bt_arrow[i]->setObjectName(QStringLiteral("bt_arrow%1").arg(i));
    bt_arrow[i]->setGeometry(kArrowGeometry[i]);
  }
  anime = button("anime", QStringLiteral("アニメテスト"), QRect(192, 392, 73, 81));

  label(QStringLiteral("TOTAL"), QRect(48, 480, 73, 17));
  label(QStringLiteral("THIS"), QRect(192, 480, 57, 17));
  for (const int left : {16, 152}) {
    label(QStringLiteral("x:"), QRect(left, 496, 17, 25));
  }
  for (const int left : {68, 204}) {
    label(QStringLiteral("y:"), QRect(left, 496, 17, 25));
  }
  total_adjust_x = display("total_adjust_x", QRect(32, 500, 33, 18));
  total_adjust_y = display("total_adjust_y", QRect(88, 500, 33, 18));
  this_adjust_x = display("this_adjust_x", QRect(168, 500, 33, 18));
  this_adjust_y = display("this_adjust_y", QRect(224, 500, 33, 18));

  label(QStringLiteral("保存先パス"), QRect(272, 296, 105, 25));
  Drive1 = new DriveSelector(this);
  Drive1->setObjectName(QStringLiteral("Drive1"));
  Drive1->setGeometry(272, 328, 169, 20);
  Dir1 = new FolderList(this);
  Dir1->setObjectName(QStringLiteral("Dir1"));
  Dir1->setGeometry(272, 360, 185, 118);
  basename = new QLineEdit(model_.basename, this);
  basename->setObjectName(QStringLiteral("basename"));
  basename->setGeometry(272, 488, 185, 25);

  for (int i = 0; i < 9; ++i) {
    QLabel* number = label(QString::number(i + 1),
                           QRect(i < 5 ? 416 : 552, 16 + 64 * (i < 5 ? i : i - 5), 49, 49));
    number->setObjectName(QStringLiteral("number%1").arg(i));
    number->setAlignment(Qt::AlignCenter);
    QFont big = number->font();
    big.setPixelSize(24);
    number->setFont(big);
  }

  label(QStringLiteral("出力形式"), QRect(560, 304, 121, 33));
  output_bmp = button("output_bmp", QStringLiteral("ＢＭＰ"), QRect(560, 336, 49, 33));
  output_png = button("output_png", QStringLiteral("MＮＧ"), QRect(616, 336, 49, 33));
  bt_load = button("bt_load", QStringLiteral("LOAD"), QRect(472, 384, 65, 49));
  bt_save = button("bt_save", QStringLiteral("SAVE"), QRect(472, 448, 65, 49));
  bt_exec = button("bt_exec", QStringLiteral("コマ作成"), QRect(552, 384, 121, 113));
  mng_textbox = new QPlainTextEdit(this);
  mng_textbox->setObjectName(QStringLiteral("mng_textbox"));
  mng_textbox->setGeometry(496, 504, 145, 17);
  mng_textbox->setLineWrapMode(QPlainTextEdit::NoWrap);
  mng_textbox->setReadOnly(true);
  mng_textbox->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  mng_textbox->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  // One line shows in the 17 pixels.
  mng_textbox->document()->setDocumentMargin(0);

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

}  // namespace tamrisk::ui
