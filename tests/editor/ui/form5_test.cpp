#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>

#include "model/project_editor.h"
#include "model/project_model.h"
#include "ui/colour_field.h"
#include "ui/form5.h"
#include "ui_test_support.h"

using tamrisk::ProjectModel;
using tamrisk::ui::ColourField;
using tamrisk::ui::Form5;

class Form5Test : public QObject {
  Q_OBJECT

  // A 200 x 40 blue background from a file; a green plain colour.
  ProjectModel model_;
  QImage picture_;

  struct Dialog {
    explicit Dialog(ProjectModel& model) : editor(model), form(new Form5(editor)) {
      form->show_dialog();
    }
    ~Dialog() { delete form.data(); }
    template <typename T>
    T* get(const char* name) const {
      return form->findChild<T*>(QString::fromLatin1(name));
    }
    void click(const char* name) const { QTest::mouseClick(get<QWidget>(name), Qt::LeftButton); }
    void type(const char* name, const QString& text) const {
      get<QLineEdit>(name)->selectAll();
      QTest::keyClicks(get<QLineEdit>(name), text);
    }
    int steps() { return editor.history().count(); }
    tamrisk::ProjectEditor editor;
    QPointer<Form5> form;
  };

 private slots:
  void init() {
    model_ = ProjectModel();
    model_.pic[0] = QImage(200, 40, QImage::Format_RGB32);
    model_.pic[0].fill(qRgb(0, 0, 255));
    model_.bg_colour = 0x00FF00;
    model_.fit_frame_canvas();
    picture_ = model_.pic[0];
  }

  void showsTheBackgroundAsItIs_data() {
    QTest::addColumn<bool>("from_file");
    QTest::newRow("picture file") << true;
    QTest::newRow("plain") << false;
  }
  void showsTheBackgroundAsItIs() {
    QFETCH(bool, from_file);
    model_.bg_from_file = from_file;
    Dialog d(model_);
    QCOMPARE(d.form->windowTitle(), QStringLiteral("背景の設定"));
    QCOMPARE(d.get<QLineEdit>("Text1")->text(), QStringLiteral("200"));
    QCOMPARE(d.get<QLineEdit>("Text2")->text(), QStringLiteral("40"));
    QCOMPARE(d.get<ColourField>("color_window")->colour(), QColor(0, 255, 0));
    QCOMPARE(d.get<QRadioButton>("Option2")->isChecked(), from_file);
    QCOMPARE(d.get<QRadioButton>("Option1")->isChecked(), !from_file);
    for (const char* name : {"Text1", "Text2", "color_window"}) {
      QCOMPARE(d.get<QWidget>(name)->isEnabled(), !from_file);
    }
  }

  void cancelLeavesTheProjectAsItWas_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("キャンセル") << QStringLiteral("Command2");
    QTest::newRow("close box") << QStringLiteral("close");
    QTest::newRow("Escape") << QStringLiteral("escape");
  }
  void cancelLeavesTheProjectAsItWas() {
    QFETCH(QString, how);
    model_.bg_from_file = true;
    Dialog d(model_);
    QSignalSpy changed(d.form.data(), &Form5::background_changed);
    d.click("Option1");
    QVERIFY(d.get<QLineEdit>("Text1")->isEnabled());
    d.type("Text1", QStringLiteral("320"));
    if (how == QLatin1String("close")) {
      d.form->close();
    } else if (how == QLatin1String("escape")) {
      QTest::keyClick(d.form.data(), Qt::Key_Escape);
    } else {
      d.click("Command2");
    }
    QTRY_VERIFY(d.form.isNull());
    QCOMPARE(changed.count(), 0);
    QVERIFY(model_.bg_from_file);
    QCOMPARE(model_.pic[0], picture_);
    QCOMPARE(model_.bg_width, 80);
    QCOMPARE(d.steps(), 0);
  }

  void ok_data() {
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("width");
    QTest::addColumn<QString>("height");
    QTest::addColumn<QSize>("size");    // of the background afterwards
    QTest::addColumn<int>("bg_width");  // twips
    QTest::addColumn<QString>("refusal");
    QTest::newRow("plain 320 x 240") << "Option1"
                                     << "320"
                                     << "240" << QSize(320, 240) << 4800 << "";
    QTest::newRow("plain, half a pixel") << "Option1"
                                         << "10.5"
                                         << "7" << QSize(11, 7) << 158 << "";
    QTest::newRow("picture file") << "Option2"
                                  << "320"
                                  << "240" << QSize(200, 40) << 80 << "";
    QTest::newRow("not a number") << "Option1"
                                  << "abc"
                                  << "40" << QSize(200, 40) << 80
                                  << "よこの大きさ「abc」は数ではありません。";
    QTest::newRow("zero") << "Option1"
                          << "200"
                          << "0" << QSize(200, 40) << 80
                          << "たての大きさ「0」では背景を作れません。";
  }
  void ok() {
    QFETCH(QString, option);
    QFETCH(QString, width);
    QFETCH(QString, height);
    QFETCH(QSize, size);
    QFETCH(int, bg_width);
    QFETCH(QString, refusal);
    tamrisk::test::BoxAnswerer watcher;
    const bool from_file = option == QLatin1String("Option2");
    model_.bg_from_file = from_file;
    Dialog d(model_);
    d.type("Text1", width);
    d.type("Text2", height);
    d.click("Command1");
    QCOMPARE(model_.pic[0].size(), size);
    QCOMPARE(model_.win_main.size(), size);
    QCOMPARE(int{model_.bg_width}, bg_width);
    QCOMPARE(model_.bg_from_file, from_file);
    // One step for a change, undone as one; none for a refusal or no change.
    QCOMPARE(d.steps(), refusal.isEmpty() && !from_file ? 1 : 0);
    if (refusal.isEmpty()) {
      QTRY_VERIFY(d.form.isNull());
      QCOMPARE(model_.pic[0].pixel(0, 0), from_file ? qRgb(0, 0, 255) : qRgb(0, 255, 0));
      d.editor.undo();
      QCOMPARE(model_.pic[0], picture_);
      QCOMPARE(model_.bg_from_file, from_file);
    } else {
      QCOMPARE(watcher.texts().size(), 1);  // shown and answered within the click
      QVERIFY2(watcher.texts()[0].startsWith(refusal), qPrintable(watcher.texts()[0]));
      QVERIFY(d.form->isVisible());  // still open, to be corrected
    }
  }

  void onlyOkAppliesTheChosenColour_data() {
    QTest::addColumn<bool>("accept");
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("button");
    QTest::addColumn<uint>("bg_colour");
    QTest::addColumn<QRgb>("pixel");  // of the background afterwards
    // 0x00BBGGRR of RGB (0x99, 0x66, 0x33)
    const QRgb blue = qRgb(0, 0, 255);
    QTest::newRow("plain") << true << "Option1"
                           << "Command1" << 0x336699u << qRgb(0x99, 0x66, 0x33);
    QTest::newRow("picture file") << true << "Option2"
                                  << "Command1" << 0x336699u << blue;
    QTest::newRow("chooser cancelled") << false << "Option1"
                                       << "Command1" << 0xFF00u << qRgb(0, 255, 0);
    QTest::newRow("キャンセル") << true << "Option1"
                                << "Command2" << 0xFF00u << blue;
  }
  void onlyOkAppliesTheChosenColour() {
    QFETCH(bool, accept);
    QFETCH(QString, option);
    QFETCH(QString, button);
    QFETCH(uint, bg_colour);
    QFETCH(QRgb, pixel);
    tamrisk::test::BoxAnswerer watcher;
    watcher.on_colour_dialog = [accept](QColorDialog* chooser) {
      chooser->setCurrentColor(QColor(0x99, 0x66, 0x33));
      accept ? chooser->accept() : chooser->reject();
    };
    model_.bg_from_file = false;
    Dialog d(model_);
    QSignalSpy changed(d.form.data(), &Form5::background_changed);
    d.click("color_window");
    QCOMPARE(watcher.colour_dialogs, 1);
    QCOMPARE(d.get<ColourField>("color_window")->colour(),
             accept ? QColor(0x99, 0x66, 0x33) : QColor(0, 255, 0));
    d.click(qPrintable(option));
    d.click(qPrintable(button));
    QCOMPARE(changed.count(), button == QLatin1String("Command1") ? 1 : 0);
    QCOMPARE(d.steps(), changed.count());
    QCOMPARE(model_.bg_colour, tamrisk::Colour{bg_colour});
    QCOMPARE(model_.pic[0].pixel(0, 0), pixel);
  }
};

QTEST_MAIN(Form5Test)
#include "form5_test.moc"
