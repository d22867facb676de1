#include <QBuffer>
#include <QComboBox>
#include <QDialog>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSettings>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTranslator>
#include <QUrl>
#include <QWindow>

#include "model/project_state.h"
#include "render/compose.h"
#include "ui/folder_list.h"
#include "ui/form2.h"
#include "ui/form3.h"
#include "ui/form5.h"
#include "ui/recent_projects.h"
#include "ui/sequence_box.h"
#include "ui/translators.h"
#include "window_test_support.h"

using tamrisk::ProjectModel;
using tamrisk::ProjectState;
using tamrisk::test::BoxAnswerer;
using tamrisk::test::SpokenLanguage;
using tamrisk::test::Window;

namespace {

// Frame k as the model would compose it now.
QImage composed(const ProjectModel& model, int k) {
  ProjectModel copy = model;
  copy.cur_frame = static_cast<std::int16_t>(k);
  tamrisk::compose_frame(copy);
  return copy.win_main;
}

// The first control that does not show the model, empty when all do.
QString unshown(const Window& w) {
  const ProjectModel& m = w.model();
  const std::pair<const char*, QString> texts[] = {
      {"offset_x", QString::number(m.adjust_x())},
      {"offset_y", QString::number(-m.adjust_y())},
      {"size_move", QString::number(m.sc_bar())},
      {"pattern_anime", m.pattern_anime()},
      {"basename", m.basename},
      {"this_adjust_x", m.fine_on ? QString::number(m.frame_offset(m.cur_frame).x)
                                  : w.text(QStringLiteral("this_adjust_x"))},
  };
  for (const auto& [name, text] : texts) {
    if (w.text(QString::fromLatin1(name)) != text) {
      return QString::fromLatin1(name);
    }
  }
  for (int i = 0; i < tamrisk::kLayerCount; ++i) {
    if (w.canvas(QStringLiteral("pic%1").arg(i))->image() != m.pic[static_cast<size_t>(i)]) {
      return QStringLiteral("pic%1").arg(i);
    }
  }
  return w.bar(QStringLiteral("sc_bar"))->value() == m.sc_bar() ? QString()
                                                                : QStringLiteral("sc_bar");
}

// Presses a key combination where the keyboard focus is.
void press(const Window& w, Qt::Key key, Qt::KeyboardModifiers modifiers) {
  QWidget* focus = QApplication::focusWidget();
  QTest::keyClick(focus != nullptr ? focus : w.form.get(), key, modifiers);
}

}  // namespace

class Form1Test : public QObject {
  Q_OBJECT

  QTemporaryDir dir_;
  QString prog_;
  QString project_;

  QString native(const QString& name) const {
    return QDir::toNativeSeparators(QDir(prog_).filePath(name));
  }

  // A window with the small test project loaded (sequence `sequence`).
  std::unique_ptr<Window> loaded(const QString& sequence) {
    project_ = tamrisk::test::write_project(prog_, sequence, prog_);
    auto w = std::make_unique<Window>(prog_);
    if (project_.isEmpty() || !w->form->open_settings(project_)) {
      return nullptr;
    }
    return w;
  }

  // Turns fine-adjust mode on and moves the cursor `steps` frames right.
  static void fine_mode_at(const Window& w, int steps) {
    w.click(QStringLiteral("bt_set2"));
    for (int i = 0; i < steps; ++i) {
      QTest::keyClick(w.form.get(), Qt::Key_Right);
    }
  }

  // Drags a file onto the window and drops it; whether the drag was taken.
  static bool drop(QWidget* target, const QString& file) {
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(file)});
    QDragEnterEvent enter(QPoint(600, 500), Qt::CopyAction, &mime, Qt::LeftButton, {});
    QCoreApplication::sendEvent(target, &enter);
    QDropEvent event(QPointF(600, 500), Qt::CopyAction, &mime, Qt::LeftButton, {});
    QCoreApplication::sendEvent(target, &event);
    return enter.isAccepted();
  }

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    QVERIFY(QDir(dir_.path()).mkpath(QStringLiteral("prog/out")));
    prog_ = QDir(dir_.path()).filePath(QStringLiteral("prog"));
    QVERIFY(tamrisk::test::write_picture(native(QStringLiteral("wide.bmp")), 60, 30, 0x50607));
    ProjectModel other(prog_);
    other.set_pattern_anime(QStringLiteral("999"));
    QVERIFY(tamrisk::save_settings(other, native(QStringLiteral("other.pst")), nullptr));
  }

  void controlsStandWhereTheLayoutPutsThem_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("text");
    QTest::newRow("Command1") << "Command1" << QRect(8, 8, 25, 65) << "背景設定";
    QTest::newRow("adjust_y") << "adjust_y" << QRect(8, 80, 25, 89) << QString();
    QTest::newRow("bt_set") << "bt_set" << QRect(8, 176, 25, 33) << "調整";
    QTest::newRow("adjust_x") << "adjust_x" << QRect(40, 176, 193, 25) << QString();
    QTest::newRow("offset_x") << "offset_x" << QRect(256, 184, 33, 18) << "0";
    QTest::newRow("offset_y") << "offset_y" << QRect(312, 184, 33, 18) << "0";
    QTest::newRow("bt_reset") << "bt_reset" << QRect(344, 176, 49, 33) << "リセット";
    QTest::newRow("bt_zoom") << "bt_zoom" << QRect(8, 224, 25, 65) << "ズーム";
    QTest::newRow("size_move") << "size_move" << QRect(160, 290, 33, 22) << "0";
    QTest::newRow("sc_bar") << "sc_bar" << QRect(64, 316, 169, 17) << QString();
    QTest::newRow("pattern_anime") << "pattern_anime" << QRect(40, 360, 225, 25) << "";
    QTest::newRow("bt_set2") << "bt_set2" << QRect(8, 392, 70, 81) << "微調整ＯＮ";
    QTest::newRow("up") << "bt_arrow0" << QRect(120, 387, 33, 33) << "↑";
    QTest::newRow("down") << "bt_arrow1" << QRect(120, 444, 33, 33) << "↓";
    QTest::newRow("left") << "bt_arrow2" << QRect(84, 416, 33, 33) << "←";
    QTest::newRow("right") << "bt_arrow3" << QRect(152, 416, 33, 33) << "→";
    QTest::newRow("anime") << "anime" << QRect(192, 392, 73, 81) << "アニメテスト";
    QTest::newRow("total_adjust_x") << "total_adjust_x" << QRect(32, 500, 33, 18) << "0";
    QTest::newRow("total_adjust_y") << "total_adjust_y" << QRect(88, 500, 33, 18) << "0";
    QTest::newRow("this_adjust_x") << "this_adjust_x" << QRect(168, 500, 33, 18) << "0";
    QTest::newRow("this_adjust_y") << "this_adjust_y" << QRect(224, 500, 33, 18) << "0";
    QTest::newRow("Drive1") << "Drive1" << QRect(272, 328, 169, 20) << QString();
    QTest::newRow("Dir1") << "Dir1" << QRect(272, 360, 185, 118) << QString();
    QTest::newRow("basename") << "basename" << QRect(272, 488, 185, 25) << "sample";
    QTest::newRow("number 5") << "number4" << QRect(416, 272, 49, 49) << "5";
    QTest::newRow("number 6") << "number5" << QRect(552, 16, 49, 49) << "6";
    QTest::newRow("output_bmp") << "output_bmp" << QRect(560, 336, 49, 33) << "ＢＭＰ";
    QTest::newRow("output_png") << "output_png" << QRect(616, 336, 49, 33) << "MＮＧ";
    QTest::newRow("bt_load") << "bt_load" << QRect(472, 384, 65, 49) << "LOAD";
    QTest::newRow("bt_save") << "bt_save" << QRect(472, 448, 65, 49) << "SAVE";
    QTest::newRow("bt_exec") << "bt_exec" << QRect(552, 384, 121, 113) << "コマ作成";
    QTest::newRow("mng_textbox") << "mng_textbox" << QRect(496, 504, 145, 17) << "";
  }
  void controlsStandWhereTheLayoutPutsThem() {
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(QString, text);
    Window w(prog_);
    QCOMPARE(w.form->windowHandle()->title(), QStringLiteral("ミルオ工房簡易アニメータ"));
    QCOMPARE(w.form->size(), QSize(678, 521));
    QWidget* control = w.get(name);
    QVERIFY(control != nullptr);
    QCOMPARE(control->geometry(), geometry);
    QVERIFY(control->isVisibleTo(w.form.get()) || name == "output_bmp");
    if (auto* button = qobject_cast<QAbstractButton*>(control)) {
      QCOMPARE(button->text(), text);
    } else if (auto* box = qobject_cast<QLineEdit*>(control)) {
      QCOMPARE(box->text(), text);
    } else if (auto* label = qobject_cast<QLabel*>(control)) {
      QCOMPARE(label->text(), text);
    } else if (auto* script = qobject_cast<QPlainTextEdit*>(control)) {
      QCOMPARE(script->toPlainText(), text);
    }
  }

  // The window's texts, those of the window and those the core gives it
  // (the layer names, the animation test's caption), in the locale's
  // language; the texts as written where it is Japanese, C or POSIX.
  void speaksTheLanguageOfTheLocale_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QStringList>("texts");  // title, bt_exec, pic0's tip, anime
    const QStringList japanese{"ミルオ工房簡易アニメータ", "コマ作成", "背景", "アニメテスト"};
    const QStringList english{"Miruo Kobo Simple Animator", "Make frames", "Background",
                              "Test animation"};
    QTest::newRow("Japanese") << "ja_JP" << japanese;
    QTest::newRow("C") << "C" << japanese;
    QTest::newRow("POSIX") << "POSIX" << japanese;
    QTest::newRow("US English") << "en_US" << english;
    QTest::newRow("British English") << "en_GB" << english;
    QTest::newRow("German, not translated") << "de_DE" << english;
  }
  void speaksTheLanguageOfTheLocale() {
    QFETCH(QString, locale);
    QFETCH(QStringList, texts);
    const SpokenLanguage language(locale);
    QVERIFY(language.installed);
    Window w(prog_);
    QCOMPARE(w.form->windowHandle()->title(), texts[0]);
    QCOMPARE(w.button(QStringLiteral("bt_exec"))->text(), texts[1]);
    QCOMPARE(w.canvas(QStringLiteral("pic0"))->toolTip(), texts[2]);
    QCOMPARE(w.button(QStringLiteral("anime"))->text(), texts[3]);
  }

  // No named control covers another by more than a pixel's edge, in either
  // output mode: the pictures the canvases show are small here, and the
  // focus sink hides under its button on purpose.
  void noControlCoversAnother() {
    auto w = loaded(QStringLiteral("12"));
    QVERIFY(w);
    for (const char* mode : {"output_png", "output_bmp"}) {
      w->click(QLatin1String(mode));
      QList<QWidget*> shown;
      for (QWidget* child : w->form->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child->isVisible() && !child->objectName().isEmpty() &&
            child->objectName() != QStringLiteral("pic_dummy")) {
          shown << child;
        }
      }
      for (qsizetype i = 0; i < shown.size(); ++i) {
        for (qsizetype j = i + 1; j < shown.size(); ++j) {
          const QRect both = shown[i]->geometry() & shown[j]->geometry();
          QVERIFY2(both.width() <= 1 || both.height() <= 1,
                   qPrintable(shown[i]->objectName() + QStringLiteral(" covers ") +
                              shown[j]->objectName()));
        }
      }
    }
  }

  void layerCanvasesShowTheirPicturesAtTheirPlaces_data() {
    QTest::addColumn<int>("layer");
    QTest::addColumn<QPoint>("corner");
    QTest::addColumn<QSize>("picture");
    QTest::newRow("background") << 0 << QPoint(40, 8) << QSize(40, 20);
    QTest::newRow("pattern 1") << 1 << QPoint(472, 8) << QSize(8, 8);
    QTest::newRow("pattern 9") << 9 << QPoint(608, 200) << QSize(60, 60);
    QTest::newRow("foreground") << 10 << QPoint(40, 216) << QSize(350, 70);
  }
  void layerCanvasesShowTheirPicturesAtTheirPlaces() {
    QFETCH(int, layer);
    QFETCH(QPoint, corner);
    QFETCH(QSize, picture);
    auto w = loaded(QStringLiteral("12"));
    QVERIFY(w);
    auto* canvas = w->canvas(QStringLiteral("pic%1").arg(layer));
    QCOMPARE(canvas->pos(), corner);
    QCOMPARE(canvas->image(), w->model().pic[static_cast<size_t>(layer)]);
    QCOMPARE(canvas->image().size(), picture);
    QCOMPARE(canvas->size(), picture + QSize(2, 2));  // at full size in its border
    QCOMPARE(w->canvas(QStringLiteral("win_main"))->image().size(), QSize(40, 20));
  }

  // A 320 x 240 project: pictures show scaled into their slots, the frame
  // canvas shows the frame scaled in its slot, clicks act as before.
  void largePicturesShowScaledInTheirSlots_data() {
    QTest::addColumn<QString>("mode");
    QTest::addColumn<int>("block_x");  // the middle of pattern 1's block, scaled
    QTest::newRow("fine-adjust") << "bt_set2" << 23;
    QTest::newRow("adjust preview") << "bt_set" << 58;
  }
  void largePicturesShowScaledInTheirSlots() {
    QFETCH(QString, mode);
    QFETCH(int, block_x);
    const QRgb grey = qRgb(128, 128, 128);
    const QRgb red = qRgb(255, 0, 0);
    const QImage pictures[] = {tamrisk::test::block_picture(320, 240, grey, grey),
                               tamrisk::test::block_picture(160, 120, qRgb(255, 0, 255), red)};
    ProjectModel project(prog_);
    for (size_t i = 0; i < 2; ++i) {
      project.layer_path[i] = QDir(prog_).filePath(QStringLiteral("large%1.png").arg(i));
      QVERIFY(pictures[i].save(project.layer_path[i], "PNG"));
    }
    project.set_pattern_anime(QStringLiteral("1"));
    QVERIFY(tamrisk::save_settings(project, native("large.pst"), nullptr));
    Window w(prog_);
    QVERIFY(w.form->open_settings(native("large.pst")));
    // 160 x 120 into 60 x 60 is 60 x 45; 320 x 240 into 350 x 70 is 93 x 70.
    QCOMPARE(w.canvas(QStringLiteral("pic1"))->geometry(), QRect(472, 8, 62, 47));
    QCOMPARE(w.canvas(QStringLiteral("win_main"))->geometry(), QRect(40, 96, 95, 72));
    w.click(mode);
    w.bar(QStringLiteral("adjust_x"))->setValue(mode == "bt_set" ? 120 : 0);
    const QImage shown =
        w.form->grab({41, 97, 93, 70}).toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(shown,
             w.model().win_main.scaled(93, 70, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    QCOMPARE(shown.pixel(block_x, 17), red);
    QCOMPARE(shown.pixel(81 - block_x, 17), grey);
    QTest::mouseClick(w.canvas(QStringLiteral("pic0")), Qt::LeftButton, {}, QPoint(93, 70));
    QVERIFY(w.form->picker() != nullptr);
  }

  void aLocalFileDroppedOnALayerCanvasIsReported_data() {
    QTest::addColumn<QList<QUrl>>("urls");
    QTest::addColumn<bool>("taken");  // the last url is the file reported
    const QUrl web(QStringLiteral("https://example.com/a.png"));
    QTest::newRow("file after a web address")
        << QList<QUrl>{web, QUrl::fromLocalFile(native("a.png"))} << true;
    QTest::newRow("web address") << QList<QUrl>{web} << false;
    QTest::newRow("folder") << QList<QUrl>{QUrl::fromLocalFile(prog_)} << false;
  }
  void aLocalFileDroppedOnALayerCanvasIsReported() {
    QFETCH(QList<QUrl>, urls);
    QFETCH(bool, taken);
    Window w(prog_);
    // The window then tries the file as a picture and says it cannot read it.
    BoxAnswerer answerer;
    QMimeData mime;
    mime.setUrls(urls);
    auto* canvas = w.canvas(QStringLiteral("pic4"));
    QSignalSpy dropped(canvas, &tamrisk::ui::ImageCanvas::file_dropped);
    QDragEnterEvent enter({2, 2}, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(canvas, &enter);
    QDropEvent drop({2, 2}, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(canvas, &drop);
    QCOMPARE(enter.isAccepted(), taken);
    QCOMPARE(dropped.count() == 1 && dropped[0][0] == urls.last().toLocalFile(), taken);
    QVERIFY(!w.canvas(QStringLiteral("win_main"))->acceptDrops());
  }

  void thePointerIsARedTriangleOverTheFirstCell() {
    Window w(prog_);
    auto* pointer = w.canvas(QStringLiteral("pointer_k"));
    auto* box = w.line(QStringLiteral("pattern_anime"));
    QCOMPARE(pointer->size(), QSize(8, 8));
    QCOMPARE(pointer->y(), box->y() - 8);
    QVERIFY(pointer->x() >= box->x() && pointer->x() <= box->x() + 8);
    const QImage shape = pointer->image();
    for (int row = 0; row < 8; ++row) {
      const int g = row / 2;
      for (int x = 0; x < 8; ++x) {
        const bool red = x >= g && x <= 7 - g;
        QCOMPARE(shape.pixel(x, row) == qRgb(255, 0, 0), red);
      }
    }
  }

  void outputButtonsShowTheFormatThatPressingSelects() {
    Window w(prog_);
    auto* png = w.button(QStringLiteral("output_png"));
    auto* bmp = w.button(QStringLiteral("output_bmp"));
    QVERIFY(!w.model().png_output);
    QVERIFY(png->isVisible() && !bmp->isVisible());
    w.click(QStringLiteral("output_png"));
    QVERIFY(w.model().png_output);
    QVERIFY(!png->isVisible() && bmp->isVisible());
    w.click(QStringLiteral("output_bmp"));
    QVERIFY(!w.model().png_output);
    QVERIFY(png->isVisible() && !bmp->isVisible());
  }

  void barsStartWithTheirRanges_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("min");
    QTest::addColumn<int>("max");
    QTest::newRow("adjust_x") << "adjust_x" << -60 << 100;
    QTest::newRow("adjust_y") << "adjust_y" << -100 << 100;
    QTest::newRow("sc_bar") << "sc_bar" << -15 << 15;
  }
  void barsStartWithTheirRanges() {
    QFETCH(QString, name);
    QFETCH(int, min);
    QFETCH(int, max);
    Window w(prog_);
    QScrollBar* bar = w.bar(name);
    QCOMPARE(bar->minimum(), min);
    QCOMPARE(bar->maximum(), max);
    QCOMPARE(bar->value(), 0);
    QCOMPARE(bar->singleStep(), 1);
    QCOMPARE(bar->pageStep(), 1);
  }

  void barsShowTheirValues_data() {
    QTest::addColumn<QString>("bar");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("display");
    QTest::addColumn<QString>("shown");
    QTest::newRow("adjust_y down 7 reads -7") << "adjust_y" << 7 << "offset_y"
                                              << "-7";
    QTest::newRow("adjust_x left edge") << "adjust_x" << -60 << "offset_x"
                                        << "-60";
    QTest::newRow("sc_bar to 12") << "sc_bar" << 12 << "size_move"
                                  << "12";
  }
  void barsShowTheirValues() {
    QFETCH(QString, bar);
    QFETCH(int, value);
    QFETCH(QString, display);
    QFETCH(QString, shown);
    Window w(prog_);
    w.bar(bar)->setValue(value);
    QCOMPARE(w.text(display), shown);
    QCOMPARE(w.bar(bar)->value(), value);  // the display's text does not move it back
    const ProjectModel& m = w.model();
    QCOMPARE(bar == "adjust_x"   ? m.adjust_x()
             : bar == "adjust_y" ? m.adjust_y()
                                 : m.sc_bar(),
             value);
  }

  void arrowKeysOnABarStepByOne() {
    Window w(prog_);
    QTest::keyClick(w.bar(QStringLiteral("adjust_y")), Qt::Key_Down);
    QTest::keyClick(w.bar(QStringLiteral("adjust_y")), Qt::Key_Down);
    QCOMPARE(w.model().adjust_y(), 2);  // down is positive
    QCOMPARE(w.text(QStringLiteral("offset_y")), QStringLiteral("-2"));
    QTest::keyClick(w.bar(QStringLiteral("adjust_x")), Qt::Key_Left);
    QCOMPARE(w.model().adjust_x(), -1);
  }

  void typedAdvanceTakesTheLeadingNumberWithinTen_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("sc_bar");  // starting from 3
    QTest::addColumn<QString>("shown");
    QTest::newRow("12 is ignored") << "12" << 3 << "12";
    QTest::newRow("10") << "10" << 10 << "10";
    QTest::newRow("-10") << "-10" << -10 << "-10";
    QTest::newRow("11 is ignored") << "11" << 3 << "11";
    QTest::newRow("leading number") << "7px" << 7 << "7";
    QTest::newRow("2.5 halves to even") << "2.5" << 2 << "2";
    QTest::newRow("3.5 halves to even") << "3.5" << 4 << "4";
    QTest::newRow("10.5 rounds to 10") << "10.5" << 10 << "10";
    QTest::newRow("-10.6 is ignored") << "-10.6" << 3 << "-10.6";
    QTest::newRow("no number is 0") << "abc" << 0 << "0";
    QTest::newRow("empty is 0") << "" << 0 << "0";
    QTest::newRow("full-width digits") << "５" << 5 << "5";
    QTest::newRow("blanks before") << "  -4" << -4 << "-4";
    // Typed key by key over the selected "3": "-" alone asks for nothing.
    QTest::newRow("-5 typed over the box") << "-5" << -5 << "-5";
    QTest::newRow("a lone sign changes nothing") << "+" << 3 << "+";
  }
  void typedAdvanceTakesTheLeadingNumberWithinTen() {
    QFETCH(QString, typed);
    QFETCH(int, sc_bar);
    QFETCH(QString, shown);
    Window w(prog_);
    w.bar(QStringLiteral("sc_bar"))->setValue(3);
    QLineEdit* box = w.line(QStringLiteral("size_move"));
    box->setFocus();
    box->selectAll();
    if (QString(QTest::currentDataTag()).contains(QStringLiteral("typed"))) {
      QTest::keyClicks(box, typed);
    } else {
      box->insert(typed);  // in one change, as pasted
    }
    QCOMPARE(w.model().sc_bar(), sc_bar);
    QCOMPARE(w.bar(QStringLiteral("sc_bar"))->value(), sc_bar);
    QCOMPARE(box->text(), typed);  // as typed while typing
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(box->text(), shown);
    QCOMPARE(w.model().sc_bar(), sc_bar);
  }

  void theSequenceTakesAtMost91Frames() {
    Window w(prog_);
    w.type_sequence(QString(100, QLatin1Char('1')));
    QCOMPARE(w.text(QStringLiteral("pattern_anime")).size(), 91);
    QCOMPARE(w.model().frame_count(), 91);
  }

  void fineModeMovesTheCursorRoundTheSequence() {
    auto w = loaded(QStringLiteral("1212"));
    QVERIFY(w);
    ProjectModel& m = w->model();
    auto* box = w->line(QStringLiteral("pattern_anime"));
    auto* pointer = w->canvas(QStringLiteral("pointer_k"));
    const int cell0 = pointer->x();
    w->click(QStringLiteral("bt_set2"));
    QVERIFY(m.fine_on);
    QCOMPARE(w->button(QStringLiteral("bt_set2"))->text(), QStringLiteral("微調整ＯＦＦ"));
    QVERIFY(box->isReadOnly());
    QCOMPARE(box->selectionStart(), 0);
    QCOMPARE(box->selectedText(), QStringLiteral("1"));
    QCOMPARE(pointer->x(), cell0);
    QCOMPARE(w->canvas(QStringLiteral("win_main"))->image(), composed(m, 0));

    // Left from frame 0 wraps to the last frame, whichever control has the focus.
    QTest::keyClick(w->line(QStringLiteral("basename")), Qt::Key_Left);
    QCOMPARE(m.fine_pos, 3);
    QCOMPARE(m.cur_frame, 3);
    QCOMPARE(box->selectionStart(), 3);
    QCOMPARE(box->selectedText(), QStringLiteral("2"));
    QCOMPARE(w->text(QStringLiteral("basename")), QStringLiteral("sample"));
    QCOMPARE(w->canvas(QStringLiteral("win_main"))->image(), composed(m, 3));
    // One cell is one digit wide.
    const int digit = QFontMetrics(box->font()).horizontalAdvance(QLatin1Char('0'));
    QVERIFY(qAbs(pointer->x() - (cell0 + 3 * digit)) <= 1);
    QCOMPARE(pointer->y(), box->y() - 8);

    QTest::keyClick(w->form.get(), Qt::Key_Right, Qt::ShiftModifier);
    QCOMPARE(m.fine_pos, 0);
    QCOMPARE(m.cur_frame, 0);
    QCOMPARE(pointer->x(), cell0);
    QCOMPARE(w->canvas(QStringLiteral("win_main"))->image(), composed(m, 0));
  }

  void fineModeTurnsOffAndStartsAgainAtFrameZero() {
    auto w = loaded(QStringLiteral("1212"));
    QVERIFY(w);
    ProjectModel& m = w->model();
    auto* box = w->line(QStringLiteral("pattern_anime"));
    const int cell0 = w->canvas(QStringLiteral("pointer_k"))->x();
    fine_mode_at(*w, 2);
    w->click(QStringLiteral("bt_set2"));
    QVERIFY(!m.fine_on);
    QCOMPARE(w->button(QStringLiteral("bt_set2"))->text(), QStringLiteral("微調整ＯＮ"));
    QVERIFY(!box->isReadOnly());
    QVERIFY(!box->hasSelectedText());
    QCOMPARE(box->cursorPosition(), 0);
    QCOMPARE(w->canvas(QStringLiteral("pointer_k"))->x(), cell0);
    QCOMPARE(m.fine_pos, 2);  // kept while off
    // Outside fine-adjust mode Left and Right belong to the focused control.
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Right);
    QCOMPARE(box->cursorPosition(), 1);
    QCOMPARE(m.fine_pos, 2);

    w->click(QStringLiteral("bt_set2"));
    QCOMPARE(m.fine_pos, 0);
    QCOMPARE(m.cur_frame, 0);
    QCOMPARE(box->selectionStart(), 0);
    QCOMPARE(w->canvas(QStringLiteral("pointer_k"))->x(), cell0);
    w->click(QStringLiteral("bt_arrow3"));
    QCOMPARE(m.frame_dx[0], 1);
    QCOMPARE(m.frame_dx[2], 0);
  }

  void fineModeKeepsTheFrameInViewInALongSequence() {
    auto w = loaded(QString(60, QLatin1Char('1')));  // wider than the box, its end in view
    QVERIFY(w);
    auto* box = w->get<tamrisk::ui::SequenceBox>(QStringLiteral("pattern_anime"));
    const int digit = QFontMetrics(box->font()).horizontalAdvance(QLatin1Char('0'));
    const auto in_view = [&] {  // the cell inside the box, the pointer over it
      const int centre = box->cell_centre(w->model().fine_pos);
      return centre >= digit / 2 && centre + digit / 2 <= box->width() &&
             qAbs(w->canvas(QStringLiteral("pointer_k"))->x() + 4 - box->x() - centre) <= 1;
    };
    w->click(QStringLiteral("bt_set2"));
    // Frame 0, round to the last frame, back to frame 0, leftwards to frame 19.
    for (const int lefts : {0, 1, -1, 41}) {
      for (int i = 0; i < std::abs(lefts); ++i) {
        QTest::keyClick(w->form.get(), lefts > 0 ? Qt::Key_Left : Qt::Key_Right);
      }
      QTRY_VERIFY(in_view());
    }
    QCOMPARE(w->model().fine_pos, 19);
  }

  void fineModeNeedsASequence() {
    Window w(prog_);
    w.click(QStringLiteral("bt_set2"));
    QVERIFY(!w.model().fine_on);
    QCOMPARE(w.button(QStringLiteral("bt_set2"))->text(), QStringLiteral("微調整ＯＮ"));
    QVERIFY(!w.line(QStringLiteral("pattern_anime"))->isReadOnly());
    QTest::keyClick(w.form.get(), Qt::Key_Left);
    QCOMPARE(w.model().fine_pos, 0);
    w.click(QStringLiteral("bt_arrow3"));  // arrows act in fine-adjust mode only
    QCOMPARE(w.model().frame_dx[0], 0);
  }

  void arrowsMoveTheCursorFrameAndTheFramesAfterIt() {
    auto w = loaded(QStringLiteral("1111"));
    QVERIFY(w);
    ProjectModel& m = w->model();
    const QImage before1 = composed(m, 1);
    const QImage before3 = composed(m, 3);
    fine_mode_at(*w, 2);
    for (int i = 0; i < 3; ++i) {
      w->click(QStringLiteral("bt_arrow3"));
    }
    QCOMPARE(m.frame_dx[2], 3);
    QCOMPARE(m.frame_dx[1], 0);
    QCOMPARE(m.frame_dx[3], 0);
    QCOMPARE(w->text(QStringLiteral("this_adjust_x")), QStringLiteral("3"));
    QCOMPARE(w->text(QStringLiteral("total_adjust_x")), QStringLiteral("3"));
    QCOMPARE(w->canvas(QStringLiteral("win_main"))->image(), composed(m, 2));
    QCOMPARE(composed(m, 1), before1);
    // Frame 3 is the same picture three pixels further right.
    ProjectModel shifted = m;
    shifted.frame_dx.fill(0);
    shifted.set_adjust_x(m.adjust_x() + 3);
    QCOMPARE(composed(m, 3), composed(shifted, 3));
    QVERIFY(composed(m, 3) != before3);

    w->click(QStringLiteral("bt_arrow0"));  // up
    QCOMPARE(m.frame_dy[2], -1);
    QCOMPARE(w->text(QStringLiteral("this_adjust_y")), QStringLiteral("1"));
    w->click(QStringLiteral("bt_arrow1"));
    w->click(QStringLiteral("bt_arrow1"));  // down twice
    QCOMPARE(m.frame_dy[2], 1);
    QCOMPARE(w->text(QStringLiteral("total_adjust_y")), QStringLiteral("-1"));
    w->click(QStringLiteral("bt_arrow2"));  // left
    QCOMPARE(m.frame_dx[2], 2);
  }

  void arrowsStopAtTheSixteenBitEdge() {
    auto w = loaded(QStringLiteral("12"));
    QVERIFY(w);
    w->model().frame_dx[0] = 32767;
    w->model().frame_dy[0] = -32768;
    w->click(QStringLiteral("bt_set2"));
    w->click(QStringLiteral("bt_arrow3"));
    w->click(QStringLiteral("bt_arrow0"));
    QCOMPARE(w->model().frame_dx[0], 32767);
    QCOMPARE(w->model().frame_dy[0], -32768);
    w->click(QStringLiteral("bt_arrow2"));
    QCOMPARE(w->model().frame_dx[0], 32766);
  }

  void resetClearsTheGlobalOffsetsInEveryMode_data() {
    QTest::addColumn<QString>("mode");  // the button that enters it, or none
    QTest::newRow("normal") << QString();
    QTest::newRow("adjust") << "bt_set";
    QTest::newRow("fine") << "bt_set2";
  }
  void resetClearsTheGlobalOffsetsInEveryMode() {
    QFETCH(QString, mode);
    auto w = loaded(QStringLiteral("123"));
    QVERIFY(w);
    ProjectModel& m = w->model();
    m.frame_dx[0] = 4;
    m.frame_dy[1] = -2;
    w->bar(QStringLiteral("adjust_x"))->setValue(12);
    w->bar(QStringLiteral("adjust_y"))->setValue(-5);
    if (!mode.isEmpty()) {
      w->click(mode);
    }
    w->click(QStringLiteral("bt_reset"));
    QCOMPARE(m.adjust_x(), 0);
    QCOMPARE(m.adjust_y(), 0);
    QCOMPARE(w->text(QStringLiteral("offset_x")), QStringLiteral("0"));
    QCOMPARE(w->text(QStringLiteral("offset_y")), QStringLiteral("0"));
    QCOMPARE(m.frame_dx[0], 4);
    QCOMPARE(m.frame_dy[1], -2);
    QCOMPARE(m.adjust_on, mode == "bt_set");
    QCOMPARE(m.fine_on, mode == "bt_set2");
  }

  void adjustModePreviewsPatternOneOnTheBackground() {
    auto w = loaded(QStringLiteral("2"));
    QVERIFY(w);
    ProjectModel& m = w->model();
    fine_mode_at(*w, 0);
    w->click(QStringLiteral("bt_set"));
    QVERIFY(m.adjust_on);
    QVERIFY(!m.fine_on);
    QCOMPARE(w->button(QStringLiteral("bt_set2"))->text(), QStringLiteral("微調整ＯＮ"));
    QVERIFY(!w->line(QStringLiteral("pattern_anime"))->isReadOnly());
    w->bar(QStringLiteral("adjust_x"))->setValue(10);
    w->bar(QStringLiteral("adjust_y"))->setValue(4);
    ProjectModel expected = m;
    tamrisk::draw_adjust_preview(expected);
    QCOMPARE(w->canvas(QStringLiteral("win_main"))->image(), expected.win_main);
    // Pattern 1's block (red) shows, not the sequence's pattern 2.
    QCOMPARE(QColor(expected.win_main.pixel(10 + 4, 4 + 4)), QColor(200, 0, 0));
  }

  void openingThePickerEndsFineMode() {
    auto w = loaded(QStringLiteral("12"));
    QVERIFY(w);
    w->click(QStringLiteral("bt_set2"));
    QTest::mouseClick(w->canvas(QStringLiteral("pic3")), Qt::LeftButton, {}, QPoint(2, 2));
    QVERIFY(w->form->picker() != nullptr);
    QVERIFY(w->form->picker()->isVisible());
    QCOMPARE(w->form->picker()->current_layer(), 3);
    QCOMPARE(w->form->picker()->findChild<QLabel*>(QStringLiteral("Label2"))->text(),
             QStringLiteral("パターン３"));
    QVERIFY(!w->model().fine_on);
    QCOMPARE(w->button(QStringLiteral("bt_set2"))->text(), QStringLiteral("微調整ＯＮ"));

    // A click on another layer brings the same picker forward: no new creation.
    QPointer<tamrisk::ui::Form2> first = w->form->picker();
    w->click(QStringLiteral("bt_set2"));
    QTest::mouseClick(w->canvas(QStringLiteral("pic10")), Qt::LeftButton, {}, QPoint(2, 2));
    QCOMPARE(w->form->picker(), first.data());
    QCOMPARE(first->current_layer(), 10);
    QVERIFY(w->model().fine_on);
  }

  void openingTheSettingsDialogEndsFineMode_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("pst_mode");
    QTest::newRow("LOAD") << "bt_load" << 1;
    QTest::newRow("SAVE") << "bt_save" << 2;
  }
  void openingTheSettingsDialogEndsFineMode() {
    QFETCH(QString, button);
    QFETCH(int, pst_mode);
    auto w = loaded(QStringLiteral("12"));
    QVERIFY(w);
    w->click(QStringLiteral("bt_set2"));
    w->click(button);
    QVERIFY(w->form->settings_dialog() != nullptr);
    QVERIFY(w->form->settings_dialog()->isVisible());
    QCOMPARE(w->model().pst_mode, pst_mode);
    QVERIFY(!w->model().fine_on);
    QVERIFY(!w->line(QStringLiteral("pattern_anime"))->isReadOnly());
  }

  void saveThenLoadThroughTheDialogRestoresTheWindow() {
    auto w = loaded(QStringLiteral("1232"));
    QVERIFY(w);
    w->bar(QStringLiteral("adjust_y"))->setValue(-6);
    w->bar(QStringLiteral("sc_bar"))->setValue(-4);
    w->line(QStringLiteral("basename"))->setText(QStringLiteral("walk"));
    fine_mode_at(*w, 1);
    w->click(QStringLiteral("bt_arrow3"));
    w->click(QStringLiteral("bt_save"));
    auto* name = w->form->settings_dialog()->findChild<QLineEdit*>(QStringLiteral("file_name"));
    QCOMPARE(name->text(), QStringLiteral("project.pst"));  // the project's own file
    name->clear();
    QTest::keyClicks(name, QStringLiteral("saved"));
    QTest::keyClick(name, Qt::Key_Return);
    QTRY_VERIFY(w->form->settings_dialog() == nullptr);
    QVERIFY(QFileInfo::exists(native(QStringLiteral("saved.pst"))));

    Window fresh(prog_);
    fresh.click(QStringLiteral("bt_load"));
    name = fresh.form->settings_dialog()->findChild<QLineEdit*>(QStringLiteral("file_name"));
    QTest::keyClicks(name, QStringLiteral("saved"));
    QTest::keyClick(name, Qt::Key_Return);
    QTRY_VERIFY(fresh.form->settings_dialog() == nullptr);
    QCOMPARE(fresh.text(QStringLiteral("pattern_anime")), QStringLiteral("1232"));
    QCOMPARE(fresh.text(QStringLiteral("offset_y")), QStringLiteral("6"));
    QCOMPARE(fresh.bar(QStringLiteral("adjust_y"))->value(), -6);
    QCOMPARE(fresh.bar(QStringLiteral("adjust_y"))->minimum(), -20);  // the background's height
    QCOMPARE(fresh.bar(QStringLiteral("adjust_x"))->maximum(), 40);
    QCOMPARE(fresh.bar(QStringLiteral("sc_bar"))->value(), -4);
    QCOMPARE(fresh.text(QStringLiteral("size_move")), QStringLiteral("-4"));
    QCOMPARE(fresh.text(QStringLiteral("basename")), QStringLiteral("walk"));
    QCOMPARE(fresh.model().frame_dx[1], 1);
    QCOMPARE(fresh.canvas(QStringLiteral("pic2"))->image().size(), QSize(8, 8));
    QCOMPARE(fresh.canvas(QStringLiteral("win_main"))->image().size(), QSize(40, 20));
    QCOMPARE(fresh.get<tamrisk::ui::FolderList>(QStringLiteral("Dir1"))->folder(),
             QDir::toNativeSeparators(prog_));
    // The first frame composed and shown, the frames counted.
    QCOMPARE(fresh.canvas(QStringLiteral("win_main"))->image(), composed(fresh.model(), 0));
    QCOMPARE(fresh.get<QLabel>(QStringLiteral("frames_label"))->text(),
             QStringLiteral("4 / 91 コマ"));
  }

  void aFileThatIsNoSettingsFileIsReported() {
    auto w = loaded(QStringLiteral("12"));
    QVERIFY(w);
    const QString bad = native(QStringLiteral("bad.pst"));
    QFile file(bad);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("\"only one line\"\r\n");
    file.close();
    BoxAnswerer answerer;
    QVERIFY(!w->form->open_settings(bad));
    QCOMPARE(answerer.boxes.size(), 1);
    QCOMPARE(answerer.boxes[0].title, QStringLiteral("ミルオ工房簡易アニメータ"));
    QCOMPARE(w->text(QStringLiteral("pattern_anime")), QStringLiteral("12"));
    QCOMPARE(w->model().pattern_anime(), QStringLiteral("12"));

    QVERIFY(!w->form->open_settings(native(QStringLiteral("missing.pst"))));
    QCOMPARE(answerer.boxes.size(), 2);
    QVERIFY(answerer.boxes[1].text.contains(QStringLiteral("missing.pst")));
  }

  void theOutputFolderIsTheFolderList() {
    Window w(prog_);
    auto* folders = w.get<tamrisk::ui::FolderList>(QStringLiteral("Dir1"));
    QCOMPARE(w.model().output_dir, QDir::toNativeSeparators(prog_));
    QVERIFY(folders->set_folder(native(QStringLiteral("out"))));
    QCOMPARE(w.model().output_dir, native(QStringLiteral("out")));
    QTest::keyClicks(w.line(QStringLiteral("basename")), QStringLiteral("2"));
    QCOMPARE(w.model().basename, QStringLiteral("sample2"));
  }

  void everyEditIsUndoneAndRedoneByTheKeys_data() {
    QTest::addColumn<int>("steps");  // the undo steps the edit makes
    for (const char* row :
         {"adjust_x dragged", "size_move typed", "sequence typed", "reset", "picker",
          "picture dropped", "background dialog", "timing dialog", "hold typed", "hold keys"}) {
      QTest::newRow(row) << 1;
    }
    QTest::newRow("arrows") << 2;
  }
  void everyEditIsUndoneAndRedoneByTheKeys() {
    QFETCH(int, steps);
    const QString row = QString::fromLatin1(QTest::currentDataTag());
    BoxAnswerer answerer;
    auto w = loaded(QStringLiteral("1232"));
    QVERIFY(w);
    ProjectModel& m = w->model();
    w->bar(QStringLiteral("adjust_x"))->setValue(3);
    if (row == "arrows" || row.startsWith(QLatin1String("hold"))) {
      fine_mode_at(*w, 1);
    }
    w->form->editor().seal();  // the edit below is a step of its own
    const int count = w->form->editor().history().count();
    const ProjectState before = ProjectState::capture(m);
    if (row == "adjust_x dragged") {
      for (int x = 4; x <= 20; ++x) {
        w->bar(QStringLiteral("adjust_x"))->setValue(x);
      }
    } else if (row == "size_move typed") {
      w->line(QStringLiteral("size_move"))->selectAll();
      QTest::keyClicks(w->line(QStringLiteral("size_move")), QStringLiteral("-5"));
    } else if (row == "sequence typed") {
      w->line(QStringLiteral("pattern_anime"))->setFocus();
      w->type_sequence(QStringLiteral("311"));
    } else if (row == "arrows") {
      w->click(QStringLiteral("bt_arrow3"));
      w->click(QStringLiteral("bt_arrow0"));
    } else if (row == "reset") {
      w->click(QStringLiteral("bt_reset"));
    } else if (row == "picker") {
      QTest::mouseClick(w->canvas(QStringLiteral("pic2")), Qt::LeftButton, {}, QPoint(2, 2));
      QVERIFY(tamrisk::test::click_file(w->form->picker()->findChild<tamrisk::ui::FileList*>(),
                                        QStringLiteral("p3.bmp")));
      QCOMPARE(m.pic[2], m.pic[3]);
    } else if (row == "picture dropped") {
      emit w->canvas(QStringLiteral("pic0"))->file_dropped(native(QStringLiteral("wide.bmp")));
      QCOMPARE(w->canvas(QStringLiteral("win_main"))->image().size(), QSize(60, 30));
      QCOMPARE(m.adjust_x_range().max, 60);
    } else if (row == "background dialog") {
      w->click(QStringLiteral("Command1"));
      const auto* dialog = w->form->background_dialog();
      QTest::mouseClick(dialog->findChild<QRadioButton*>(QStringLiteral("Option1")),
                        Qt::LeftButton);
      dialog->findChild<QLineEdit*>(QStringLiteral("Text1"))->setText(QStringLiteral("30"));
      QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("Command1")),
                        Qt::LeftButton);
      QCOMPARE(m.pic[0].width(), 30);
    } else if (row == "timing dialog") {
      w->form->set_timing_dialog_hook([](QDialog& dialog) {
        dialog.findChild<QSpinBox*>(QStringLiteral("frame_rate"))->setValue(12);
        dialog.findChild<QSpinBox*>(QStringLiteral("loop_count"))->setValue(3);
        QTimer::singleShot(0, &dialog, &QDialog::accept);
      });
      w->click(QStringLiteral("bt_timing"));
      // The offscreen platform gives the window back no activation of its own.
      w->form->activateWindow();
      QVERIFY(QTest::qWaitForWindowActive(w->form.get()));
      QCOMPARE(m.timing, (tamrisk::AnimationTiming{12, 3}));
      QVERIFY(w->form->findChild<QLabel*>(QStringLiteral("total_time"))->text().contains("0.33"));
    } else if (row == "hold typed") {
      auto* hold = w->form->findChild<QSpinBox*>(QStringLiteral("frame_hold"));
      QVERIFY(hold->isEnabled());
      hold->selectAll();
      QTest::keyClicks(hold, QStringLiteral("4"));
      QCOMPARE(m.hold(1), 4);
    } else if (row == "hold keys") {
      press(*w, Qt::Key_Plus, Qt::NoModifier);
      press(*w, Qt::Key_Plus, Qt::NoModifier);
      QCOMPARE(m.hold(1), 3);
      QCOMPARE(w->form->findChild<QSpinBox*>(QStringLiteral("frame_hold"))->value(), 3);
    }
    const ProjectState after = ProjectState::capture(m);
    QVERIFY(ProjectState::differences(before, after) != 0);
    QCOMPARE(w->form->editor().history().count(), count + steps);
    QCOMPARE(unshown(*w), QString());
    QVERIFY(w->form->isWindowModified());

    for (int i = 0; i < steps; ++i) {
      press(*w, Qt::Key_Z, Qt::ControlModifier);
    }
    QCOMPARE(ProjectState::differences(ProjectState::capture(m), before), 0u);
    QCOMPARE(unshown(*w), QString());
    for (int i = 0; i < steps; ++i) {
      press(*w, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    }
    press(*w, Qt::Key_Z, Qt::ControlModifier);
    press(*w, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(ProjectState::differences(ProjectState::capture(m), after), 0u);
    QCOMPARE(unshown(*w), QString());
    QCOMPARE(answerer.boxes.size(), 0);
  }

  // The title names the project's file and marks edits since; Ctrl+S saves
  // there without a dialog, Ctrl+Shift+S and Ctrl+O open the dialog.
  void theTitleAndTheKeysFollowTheProjectsFile() {
    const QString title = tamrisk::ui::Form1::title();
    Window fresh(prog_);
    QCOMPARE(fresh.form->windowHandle()->title(), title);
    press(fresh, Qt::Key_O, Qt::ControlModifier);
    QVERIFY(fresh.form->settings_dialog() != nullptr);
    QCOMPARE(fresh.model().pst_mode, 1);
    fresh.form->settings_dialog()->close();
    QTRY_VERIFY(fresh.form->settings_dialog() == nullptr);
    fresh.form->activateWindow();
    QTRY_VERIFY(fresh.form->isActiveWindow());
    press(fresh, Qt::Key_S, Qt::ControlModifier);  // no file yet: the dialog
    QVERIFY(fresh.form->settings_dialog() != nullptr);
    QCOMPARE(fresh.model().pst_mode, 2);

    auto w = loaded(QStringLiteral("12"));
    QVERIFY(w);
    QWindow* window = w->form->windowHandle();
    QCOMPARE(window->title(), "project.pst — " + title);
    w->bar(QStringLiteral("sc_bar"))->setValue(2);
    QCOMPARE(window->title(), "project.pst* — " + title);
    // The keys undo the project's steps even where a text box has its own.
    w->line(QStringLiteral("basename"))->setFocus();
    press(*w, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(w->model().sc_bar(), 0);
    QCOMPARE(window->title(), "project.pst — " + title);

    w->type_sequence(QStringLiteral("321"));
    press(*w, Qt::Key_S, Qt::ControlModifier);
    QVERIFY(w->form->settings_dialog() == nullptr);
    QCOMPARE(window->title(), "project.pst — " + title);
    ProjectModel saved(prog_);
    QVERIFY(tamrisk::load_settings(saved, project_, nullptr));
    QCOMPARE(saved.pattern_anime(), QStringLiteral("321"));

    press(*w, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    auto* dialog = w->form->settings_dialog();
    QVERIFY(dialog != nullptr);
    QCOMPARE(w->model().pst_mode, 2);
    auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("file_name"));
    QCOMPARE(name->text(), QStringLiteral("project.pst"));
    name->setText(native(QStringLiteral("out/renamed")));  // an absolute path as itself
    QTest::keyClick(name, Qt::Key_Return);
    QTRY_VERIFY(w->form->settings_dialog() == nullptr);
    QVERIFY(QFileInfo::exists(native(QStringLiteral("out/renamed.pst"))));
    QCOMPARE(window->title(), "renamed.pst — " + title);
    QCOMPARE(w->form->editor().project_file(), native(QStringLiteral("out/renamed.pst")));
  }

  // Opened as `Tamrisk FILE.pst` opens it: undo stops at that project.
  void theHistoryStartsAtTheOpenedProject() {
    auto w = loaded(QStringLiteral("123"));
    QVERIFY(w);
    const ProjectState opened = ProjectState::capture(w->model());
    QCOMPARE(w->form->editor().history().count(), 0);
    w->bar(QStringLiteral("adjust_x"))->setValue(7);
    for (int i = 0; i < 4; ++i) {
      press(*w, Qt::Key_Z, Qt::ControlModifier);
    }
    QCOMPARE(ProjectState::differences(ProjectState::capture(w->model()), opened), 0u);
    QCOMPARE(w->text(QStringLiteral("pattern_anime")), QStringLiteral("123"));
    QVERIFY(!w->form->isWindowModified());
  }

  // A picture that cannot be read is reported and changes nothing: not the
  // layer's path, not its picture, not the frame, no undo step.
  void anUnreadablePictureChangesNothing_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("layer");
    QByteArray png;
    QBuffer buffer(&png);
    QVERIFY(buffer.open(QIODevice::WriteOnly));
    QVERIFY(tamrisk::test::block_picture(30, 30, 0, qRgb(1, 2, 3)).save(&buffer, "PNG"));
    QTest::newRow("text named .png, background") << QByteArray("not a picture\n") << 0;
    QTest::newRow("truncated PNG, pattern") << png.left(png.size() / 2) << 2;
  }
  void anUnreadablePictureChangesNothing() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, layer);
    auto w = loaded(QStringLiteral("12"));
    QVERIFY(w);
    const QString bad = native(QStringLiteral("x.png"));
    QFile file(bad);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    file.close();
    ProjectModel& m = w->model();
    const ProjectModel before = m;
    BoxAnswerer answerer;
    emit w->canvas(QStringLiteral("pic%1").arg(layer))->file_dropped(bad);
    QCOMPARE(answerer.boxes.size(), 1);
    QVERIFY(answerer.boxes[0].text.contains(bad));
    QCOMPARE(m.layer_path[static_cast<size_t>(layer)],
             before.layer_path[static_cast<size_t>(layer)]);
    QCOMPARE(ProjectState::differences(ProjectState::capture(m), ProjectState::capture(before)),
             0u);
    QCOMPARE(m.win_main, before.win_main);
    QCOMPARE(w->form->editor().history().count(), 0);
    QVERIFY(!w->form->isWindowModified());
  }

  // LOAD, a dropped .pst and opening another project ask first when there
  // are unsaved edits: Cancel keeps them, Discard loads, Save saves to the
  // project's file (or through the SAVE dialog while it has none) and loads.
  void replacingTheProjectAsksAboutUnsavedEdits_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("answer");
    for (const char* how : {"LOAD", "dropped", "dropped on a canvas", "opened"}) {
      for (const auto answer : {QMessageBox::Cancel, QMessageBox::Discard, QMessageBox::Save}) {
        QTest::addRow("%s, %s", how,
                      answer == QMessageBox::Cancel    ? "cancel"
                      : answer == QMessageBox::Discard ? "discard"
                                                       : "save")
            << QString::fromLatin1(how) << int(answer);
      }
    }
    QTest::newRow("dropped, no file yet, save") << "no file" << int(QMessageBox::Save);
  }
  void replacingTheProjectAsksAboutUnsavedEdits() {
    QFETCH(QString, how);
    QFETCH(int, answer);
    auto w = how == "no file" ? std::make_unique<Window>(prog_) : loaded(QStringLiteral("12"));
    QVERIFY(w);
    w->type_sequence(QStringLiteral("3"));
    BoxAnswerer answerer(static_cast<QMessageBox::StandardButton>(answer));
    const QString other = native(QStringLiteral("other.pst"));
    if (how == "LOAD") {
      w->click(QStringLiteral("bt_load"));
      if (answer != QMessageBox::Cancel) {
        auto* name = w->form->settings_dialog()->findChild<QLineEdit*>(QStringLiteral("file_name"));
        name->setText(QStringLiteral("other.pst"));
        QTest::keyClick(name, Qt::Key_Return);
      }
    } else if (how == "dropped" || how == "no file") {
      QVERIFY(drop(w->form.get(), other));
    } else if (how == "dropped on a canvas") {
      emit w->canvas(QStringLiteral("pic5"))->file_dropped(other);
    } else {
      w->form->open_settings(other);
    }
    QCOMPARE(answerer.boxes.size(), 1);
    QCOMPARE(answerer.boxes[0].buttons,
             QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
    if (how == "no file") {  // a name first, then the load
      auto* name = w->form->settings_dialog()->findChild<QLineEdit*>(QStringLiteral("file_name"));
      name->setText(QStringLiteral("first"));
      QTest::keyClick(name, Qt::Key_Return);
      QTRY_COMPARE(w->model().pattern_anime(), QStringLiteral("999"));
      project_ = native(QStringLiteral("first.pst"));
    }
    QCOMPARE(w->model().pattern_anime(),
             answer == QMessageBox::Cancel ? QStringLiteral("3") : QStringLiteral("999"));
    QCOMPARE(w->form->isWindowModified(), answer == QMessageBox::Cancel);
    ProjectModel saved(prog_);
    QVERIFY(tamrisk::load_settings(saved, project_, nullptr));
    QCOMPARE(saved.pattern_anime(),
             answer == QMessageBox::Save ? QStringLiteral("3") : QStringLiteral("12"));
    QCOMPARE(answerer.boxes.size(), 1);  // asked once
  }

  void aSequenceCutTo91FramesSaysSo() {
    QByteArray text = QByteArray("\"\"\r\n").repeated(11);
    text += "0,0,0,\"" + QByteArray(100, '1') + "\",\"/\",\"\",\"long\",\"\"\r\n";
    text += QByteArray("0,0\r\n").repeated(100) + "#TRUE#,16777215,80,50\r\n";
    QFile file(native(QStringLiteral("long.pst")));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
    file.close();
    Window w(prog_);
    BoxAnswerer answerer;
    QVERIFY(w.form->open_settings(file.fileName()));
    QCOMPARE(w.model().frame_count(), 91);
    QCOMPARE(answerer.texts(), QStringList{"アニメパターンは 100 コマありますが、91 コマまでしか"
                                           "使えません。先頭の 91 コマを読み込みました。"});
    QCOMPARE(w.get<QLabel>(QStringLiteral("frames_label"))->text(), QStringLiteral("91 / 91 コマ"));
  }

  void closingWithUnsavedEditsAsks_data() {
    QTest::addColumn<int>("answer");  // NoButton: nothing edited, nothing asked
    QTest::addColumn<bool>("file");   // the project has its file
    QTest::newRow("nothing to save") << int(QMessageBox::NoButton) << true;
    QTest::newRow("cancel") << int(QMessageBox::Cancel) << true;
    QTest::newRow("discard") << int(QMessageBox::Discard) << true;
    QTest::newRow("save, to the project's file") << int(QMessageBox::Save) << true;
    QTest::newRow("save, no file yet") << int(QMessageBox::Save) << false;
  }
  void closingWithUnsavedEditsAsks() {
    QFETCH(int, answer);
    QFETCH(bool, file);
    auto w = file ? loaded(QStringLiteral("12")) : std::make_unique<Window>(prog_);
    QVERIFY(w);
    if (answer != QMessageBox::NoButton) {
      w->type_sequence(QStringLiteral("3"));
    }
    BoxAnswerer answerer(static_cast<QMessageBox::StandardButton>(answer));
    const bool dialog = answer == QMessageBox::Save && !file;
    QCOMPARE(w->form->close(), answer != QMessageBox::Cancel && !dialog);
    QCOMPARE(answerer.boxes.size(), answer == QMessageBox::NoButton ? 0 : 1);
    QCOMPARE(w->form->settings_dialog() != nullptr, dialog);
    if (answer == QMessageBox::Save && file) {
      ProjectModel saved(prog_);
      QVERIFY(tamrisk::load_settings(saved, project_, nullptr));
      QCOMPARE(saved.pattern_anime(), QStringLiteral("3"));
    }
    if (dialog) {
      QCOMPARE(answerer.boxes[0].buttons,
               QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
      QCOMPARE(w->model().pst_mode, 2);
      auto* name = w->form->settings_dialog()->findChild<QLineEdit*>(QStringLiteral("file_name"));
      QTest::keyClicks(name, QStringLiteral("closing"));
      QTest::keyClick(name, Qt::Key_Return);
      QTRY_VERIFY(!w->form->isVisible());  // closed once saved, without asking again
      QVERIFY(QFileInfo::exists(native(QStringLiteral("closing.pst"))));
      QCOMPARE(answerer.boxes.size(), 1);
    }
  }

  // The recent projects: each one opened or saved, newest first.
  void openedAndSavedProjectsAreRecent() {
    QSettings().clear();
    auto w = loaded(QStringLiteral("1"));
    QVERIFY(w);
    w->form->open_settings(native(QStringLiteral("other.pst")));
    QCOMPARE(tamrisk::ui::recent_projects::list(),
             QStringList({native(QStringLiteral("other.pst")), project_}));
    w->click(QStringLiteral("bt_load"));
    auto* recent = w->form->settings_dialog()->findChild<QComboBox*>(QStringLiteral("recent"));
    QCOMPARE(recent->itemText(1), QStringLiteral("project.pst"));
    tamrisk::test::choose_entry(recent, QStringLiteral("project.pst"));
    QTRY_VERIFY(w->form->settings_dialog() == nullptr);
    QCOMPARE(w->model().pattern_anime(), QStringLiteral("1"));
    QCOMPARE(tamrisk::ui::recent_projects::list().first(), project_);
  }
};

QTEST_MAIN(Form1Test)
#include "form1_test.moc"
