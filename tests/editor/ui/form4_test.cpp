#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "render/compose.h"
#include "ui/form4.h"
#include "ui/form5.h"
#include "window_test_support.h"

using tamrisk::ProjectModel;
using tamrisk::zoom_image;
using tamrisk::test::Window;
using tamrisk::ui::Form4;

class Form4Test : public QObject {
  Q_OBJECT

  QTemporaryDir dir_;
  QString prog_;

  std::unique_ptr<Window> loaded(const QString& sequence) {
    const QString project = tamrisk::test::write_project(prog_, sequence, prog_);
    auto w = std::make_unique<Window>(prog_);
    if (project.isEmpty() || !w->form->open_settings(project)) {
      return nullptr;
    }
    return w;
  }

  // The zoom window shows the frame canvas enlarged by its factor.
  static void shows_the_frame(const Window& w) {
    Form4* zoom = w.form->zoom_window();
    QVERIFY(zoom != nullptr);
    const QImage frame = w.canvas(QStringLiteral("win_main"))->image();
    QCOMPARE(frame, w.model().win_main);
    QCOMPARE(zoom->frame(), zoom_image(frame, zoom->factor()));
  }

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    prog_ = dir_.path();
  }

  void theZoomButtonOpensAndClosesTheWindow() {
    auto w = loaded(QStringLiteral("12"));
    QVERIFY(w);
    w->click(QStringLiteral("bt_zoom"));
    QVERIFY(w->model().zoom_on);
    QCOMPARE(w->button(QStringLiteral("bt_zoom"))->text(), QStringLiteral("縮小"));
    QPointer<Form4> zoom = w->form->zoom_window();
    QVERIFY(zoom != nullptr);
    QVERIFY(zoom->isVisible());
    QCOMPARE(zoom->windowTitle(), QStringLiteral("Form4"));
    QVERIFY(zoom->isWindow());
    QVERIFY(zoom->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    shows_the_frame(*w);
    QCOMPARE(zoom->size(), QSize(160, 80));

    w->click(QStringLiteral("bt_zoom"));
    QVERIFY(!w->model().zoom_on);
    QCOMPARE(w->button(QStringLiteral("bt_zoom"))->text(), QStringLiteral("ズーム"));
    QTRY_VERIFY(zoom.isNull());
    QVERIFY(w->form->zoom_window() == nullptr);
  }

  void closingTheZoomWindowItselfEndsZoomMode() {
    auto w = loaded(QStringLiteral("12"));
    QVERIFY(w);
    w->click(QStringLiteral("bt_zoom"));
    QPointer<Form4> zoom = w->form->zoom_window();
    QVERIFY(zoom->close());
    QVERIFY(!w->model().zoom_on);
    QCOMPARE(w->button(QStringLiteral("bt_zoom"))->text(), QStringLiteral("ズーム"));
    QTRY_VERIFY(zoom.isNull());
    // And it opens again.
    w->click(QStringLiteral("bt_zoom"));
    QVERIFY(w->model().zoom_on);
    QVERIFY(w->form->zoom_window() != nullptr);
    QVERIFY(w->form->zoom_window()->isVisible());
  }

  void theZoomWindowFollowsEveryDrawing() {
    auto w = loaded(QStringLiteral("123"));
    QVERIFY(w);
    w->click(QStringLiteral("bt_zoom"));
    ProjectModel cleared = w->model();
    cleared.fit_frame_canvas();
    shows_the_frame(*w);  // frame 0, composed when the project opened
    QVERIFY(w->model().win_main != cleared.win_main);

    w->click(QStringLiteral("bt_set2"));  // composes frame 0
    shows_the_frame(*w);
    QTest::keyClick(w->form.get(), Qt::Key_Right);
    QCOMPARE(w->model().cur_frame, 1);
    shows_the_frame(*w);
    w->click(QStringLiteral("bt_arrow1"));
    shows_the_frame(*w);

    w->click(QStringLiteral("bt_set"));  // the adjust preview
    w->bar(QStringLiteral("adjust_x"))->setValue(7);
    ProjectModel preview = w->model();
    tamrisk::draw_adjust_preview(preview);
    QCOMPARE(w->form->zoom_window()->frame(), zoom_image(preview.win_main));

    QSignalSpy ticks(w->get<QTimer>(QStringLiteral("Timer1")), &QTimer::timeout);
    w->click(QStringLiteral("anime"));  // the animation test's ticks
    QVERIFY(ticks.wait(tamrisk::test::kWaitMs));
    QCOMPARE(w->form->zoom_window()->frame(), zoom_image(w->model().win_main));
    w->click(QStringLiteral("anime"));
  }

  void zoomFactorIsTheLargestThatFits_data() {
    QTest::addColumn<QSize>("frame");
    QTest::addColumn<int>("factor");  // on a 1280 x 800 screen
    QTest::newRow("walker") << QSize(40, 20) << 4;
    QTest::newRow("4x fits exactly") << QSize(318, 192) << 4;
    QTest::newRow("one pixel too wide") << QSize(319, 192) << 3;
    QTest::newRow("one pixel too high") << QSize(318, 193) << 3;
    QTest::newRow("320 x 240") << QSize(320, 240) << 3;
    QTest::newRow("larger than the screen") << QSize(2000, 1500) << 1;
    QTest::newRow("huge") << QSize(1 << 30, 1) << 1;
  }
  void zoomFactorIsTheLargestThatFits() {
    QFETCH(QSize, frame);
    QFETCH(int, factor);
    QCOMPARE(tamrisk::ui::zoom_factor(frame, QSize(1280, 800), QSize(8, 32)), factor);
  }

  // On the offscreen screen of 800 x 800, 792 x 768 for the client area.
  void theZoomWindowTakesANewFrameSize_data() {
    QTest::addColumn<QSize>("frame");
    QTest::addColumn<int>("factor");
    QTest::addColumn<QSize>("window");
    QTest::newRow("small") << QSize(20, 10) << 4 << QSize(80, 40);
    QTest::newRow("320 x 240") << QSize(320, 240) << 2 << QSize(640, 480);
    QTest::newRow("larger than the screen") << QSize(900, 900) << 1 << QSize(792, 768);
  }
  void theZoomWindowTakesANewFrameSize() {
    QFETCH(QSize, frame);
    QFETCH(int, factor);
    QFETCH(QSize, window);
    Window w(prog_);
    w.click(QStringLiteral("bt_zoom"));
    Form4* zoom = w.form->zoom_window();
    QCOMPARE(zoom->screen()->availableGeometry(), QRect(0, 0, 800, 800));
    QCOMPARE(zoom->size(), QSize(700, 140));  // 350 x 70 at start, twice
    w.click(QStringLiteral("Command1"));
    tamrisk::ui::Form5* dialog = w.form->background_dialog();
    QTest::mouseClick(dialog->findChild<QAbstractButton*>(QStringLiteral("Option1")),
                      Qt::LeftButton);
    dialog->findChild<QLineEdit*>(QStringLiteral("Text1"))->setText(QString::number(frame.width()));
    dialog->findChild<QLineEdit*>(QStringLiteral("Text2"))
        ->setText(QString::number(frame.height()));
    QTest::mouseClick(dialog->findChild<QAbstractButton*>(QStringLiteral("Command1")),
                      Qt::LeftButton);
    shows_the_frame(w);
    QCOMPARE(zoom->factor(), factor);
    QCOMPARE(zoom->size(), window);
    QVERIFY(QRect(0, 0, 800, 800).contains(QRect(zoom->pos(), window + Form4::kDecoration)));
    zoom->resize(50, 30);  // the user's size stays while the frame's does
    w.click(QStringLiteral("bt_set"));
    QCOMPARE(zoom->size(), QSize(50, 30));
    QVERIFY(zoom->findChild<QScrollArea*>()->verticalScrollBar()->maximum() > 0);
  }
};

QTEST_MAIN(Form4Test)
#include "form4_test.moc"
