#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>

#include "model/project_editor.h"
#include "model/project_model.h"
#include "render/picture_readers.h"
#include "ui/drive_selector.h"
#include "ui/form2.h"
#include "ui_test_support.h"

using tamrisk::ProjectModel;
using tamrisk::ui::FileList;
using tamrisk::ui::FolderList;
using tamrisk::ui::Form2;

class Form2Test : public QObject {
  Q_OBJECT

  QTemporaryDir dir_;
  QString prog_;
  QString pics_;
  QString native(const QString& name) const {
    return QDir::toNativeSeparators(QDir(pics_).filePath(name));
  }

  // A picker opened for layer 0 over a fresh model whose image folder is pics_.
  struct Picker {
    explicit Picker(Form2Test* t) : model(t->prog_) {
      model.path_ref = t->pics_;
      form = new Form2(editor);
      form->open_for_layer(0);
    }
    ~Picker() { delete form.data(); }
    template <typename T>
    T* get(const char* name) const {
      return form->findChild<T*>(QString::fromLatin1(name));
    }
    FileList* files() const { return get<FileList>("File1"); }
    QComboBox* type() const { return get<QComboBox>("Combo1"); }
    ProjectModel model;
    tamrisk::ProjectEditor editor{model, tamrisk::editor_picture_readers()};
    QPointer<Form2> form;
  };

 private slots:
  void initTestCase() {
    QDir root(dir_.path());
    QVERIFY(root.mkpath(QStringLiteral("prog")) && root.mkpath(QStringLiteral("pics/sub")));
    prog_ = root.filePath(QStringLiteral("prog"));
    pics_ = root.filePath(QStringLiteral("pics"));
    using tamrisk::test::write_picture;
    QVERIFY(write_picture(native("bg.bmp"), 200, 40, qRgb(0, 0, 255)));
    QVERIFY(write_picture(native("walk.BMP"), 21, 31, qRgb(0, 255, 0)));
    QVERIFY(write_picture(native("walk.png"), 17, 13, qRgb(255, 0, 0)));
    // A BMP under a PNG name: the PNG reader refuses it, the general loader reads it.
    QVERIFY(write_picture(native("fake.PNG"), 12, 7, qRgb(10, 20, 30), "BMP"));
    QVERIFY(write_picture(native("sub/deep.bmp"), 5, 5, qRgb(1, 1, 1)));
  }

  void opensInTheImageFolderShowingBmpFiles() {
    Picker p(this);
    QCOMPARE(p.form->windowTitle(), QStringLiteral("ファイルを開く"));
    QCOMPARE(p.get<FolderList>("Dir1")->folder(), QDir::toNativeSeparators(pics_));
    QCOMPARE(p.type()->currentText(), QStringLiteral("*.BMP"));
    QCOMPARE(p.type()->count(), 3);
    QCOMPARE(p.type()->itemText(2), QStringLiteral("*.PNG"));
    QCOMPARE(p.files()->file_names(), QStringList({"bg.bmp", "walk.BMP"}));
  }

  void nextStepsThroughTheLayers_data() {
    QTest::addColumn<int>("opened");
    QTest::addColumn<int>("clicks");
    QTest::addColumn<QString>("label");
    QTest::newRow("foreground to background") << 10 << 1 << QStringLiteral("背景");
    QTest::newRow("background to pattern 1") << 0 << 1 << QStringLiteral("パターン１");
    QTest::newRow("a full round") << 4 << 11 << QStringLiteral("パターン４");
  }
  void nextStepsThroughTheLayers() {
    QFETCH(int, opened);
    QFETCH(int, clicks);
    QFETCH(QString, label);
    Picker p(this);
    p.form->open_for_layer(opened);
    for (int i = 0; i < clicks; ++i) {
      QTest::mouseClick(p.get<QPushButton>("Command2"), Qt::LeftButton);
    }
    const int layer = (opened + clicks) % 11;
    QCOMPARE(p.form->current_layer(), layer);
    QCOMPARE(p.get<QLabel>("Label2")->text(), label);
    QTest::keyClick(p.get<QScrollBar>("HScroll1"), Qt::Key_Left);  // the bar steps back
    QCOMPARE(p.form->current_layer(), std::max(0, layer - 1));
    QCOMPARE(p.get<QLabel>("Label2")->text(), ProjectModel::layer_name(std::max(0, layer - 1)));
  }

  void theTypeTextChoosesTheReader_data() {
    QTest::addColumn<QString>("chosen");  // from the list
    QTest::addColumn<QString>("typed");   // then typed, with Enter; null: nothing typed
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("png_reader");
    QTest::newRow("*.PNG chosen") << "*.PNG" << QString() << "fake.PNG" << true;
    QTest::newRow("*.png typed") << "*.PNG"
                                 << "*.png"
                                 << "fake.PNG" << false;
    QTest::newRow("other text typed") << "*.PNG"
                                      << "*.PNG;*.BMP"
                                      << "fake.PNG" << false;
    QTest::newRow("*.PNG typed over *.BMP") << "*.BMP"
                                            << "*.PNG"
                                            << "walk.BMP" << true;
  }
  void theTypeTextChoosesTheReader() {
    QFETCH(QString, chosen);
    QFETCH(QString, typed);
    QFETCH(QString, file);
    QFETCH(bool, png_reader);
    tamrisk::test::BoxAnswerer watcher;
    Picker p(this);
    p.form->open_for_layer(3);
    tamrisk::test::choose_entry(p.type(), chosen);
    if (!typed.isNull()) {
      p.type()->lineEdit()->selectAll();
      QTest::keyClicks(p.type()->lineEdit(), typed);
      QTest::keyClick(p.type()->lineEdit(), Qt::Key_Return);
      QCOMPARE(p.type()->currentText(), typed);
    }
    QCOMPARE(p.files()->pattern(), chosen);  // only a choice from the list sets it
    QSignalSpy loaded(p.form.data(), &Form2::layer_loaded);
    QVERIFY(p.files()->file_names().contains(file));
    QVERIFY(tamrisk::test::click_file(p.files(), file));
    QCOMPARE(loaded.count(), 1);
    // A file that cannot be read changes nothing, its path included.
    QCOMPARE(p.model.file_path, png_reader ? QString() : native(file));
    QCOMPARE(p.model.layer_path[3], png_reader ? QString() : native(file));
    QCOMPARE(p.editor.history().count(), png_reader ? 0 : 1);
    if (png_reader) {
      QCOMPARE(p.model.pic[3], ProjectModel::empty_canvas(3));
      QCOMPARE(watcher.boxes.size(), 1);  // shown and answered within the click
      QVERIFY(watcher.boxes[0].text.startsWith(QStringLiteral("パターン３に「")));
    } else {
      QCOMPARE(p.model.pic[3].size(), QSize(12, 7));
      QCOMPARE(watcher.boxes.size(), 0);
    }
  }

  void aBackgroundSetsTheFrameAndEndsAdjustMode() {
    Picker p(this);
    p.model.bg_from_file = false;
    p.model.adjust_on = true;
    QVERIFY(tamrisk::test::click_file(p.files(), QStringLiteral("bg.bmp")));
    QCOMPARE(p.model.win_main.size(), QSize(200, 40));
    QCOMPARE(p.model.adjust_x_range().max, 200);
    QCOMPARE(p.model.adjust_y_range().min, -40);
    QVERIFY(p.model.bg_from_file);
    QVERIFY(!p.model.adjust_on);
  }

  void theNextOpeningStartsWhereTheUserBrowsed() {
    const QString sub = native(QStringLiteral("sub"));
    ProjectModel model(prog_);
    {
      Picker p(this);
      QVERIFY(tamrisk::test::click_folder(p.get<FolderList>("Dir1"), sub));
      QCOMPARE(p.model.path_ref, sub);
      QCOMPARE(p.files()->file_names(), QStringList{"deep.bmp"});
      QTest::mouseClick(p.get<QPushButton>("Command1"), Qt::LeftButton);
      QTRY_VERIFY(p.form.isNull());  // closed and deleted
      model.path_ref = p.model.path_ref;
    }
    tamrisk::ProjectEditor editor(model);
    Form2 again(editor);
    QCOMPARE(again.findChild<FolderList*>("Dir1")->folder(), sub);
  }

  void aDriveThatIsNotReadyIsReportedAndLeft() {
    tamrisk::test::BoxAnswerer watcher;
    Picker p(this);
    auto* drives = p.get<tamrisk::ui::DriveSelector>("Drive1");
    const QString home = drives->drive();
    QCOMPARE(home, ProjectModel::drive_of(prog_));
    // Folders of ours stand in for two more drives; the last one is not ready.
    const QString ready = native(QStringLiteral("sub"));
    const QString absent = QDir::toNativeSeparators(prog_);
    drives->set_drives({home, ready, absent});
    drives->set_readiness_probe([&](const QString& drive) { return drive != absent; });
    const QString folder = p.model.path_ref;

    QTest::keyClick(drives, Qt::Key_End);
    QCOMPARE(watcher.texts(), QStringList{QStringLiteral("ドライブの準備がまだです")});
    QCOMPARE(watcher.boxes[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(drives->currentData().toString(), home);
    QCOMPARE(p.model.path_ref, folder);

    QTest::keyClick(drives, Qt::Key_Down);
    QCOMPARE(drives->drive(), ready);
    QCOMPARE(p.model.path_ref, ready);
    QCOMPARE(p.files()->file_names(), QStringList{"deep.bmp"});
  }
};

QTEST_MAIN(Form2Test)
#include "form2_test.moc"
