#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include "model/project_model.h"
#include "ui/drive_selector.h"
#include "ui/form3.h"
#include "ui/translators.h"
#include "ui_test_support.h"

using tamrisk::ProjectModel;
using tamrisk::ui::FileList;
using tamrisk::ui::FolderList;
using tamrisk::ui::Form3;

class Form3Test : public QObject {
  Q_OBJECT

  QTemporaryDir dir_;
  QString prog_;
  QString native(const QString& name) const {
    return QDir::toNativeSeparators(QDir(prog_).filePath(name));
  }

  // The dialog as SAVE (or LOAD) opens it; notes file_path whenever
  // load_save is asked for.
  struct Dialog {
    explicit Dialog(Form3Test* t, int pst_mode = 2) : model(t->prog_) {
      model.path_ref = QStringLiteral("/elsewhere");
      QObject::connect(form.data(), &Form3::load_save_requested,
                       [this] { requested << model.file_path; });
      form->open_for(pst_mode, t->prog_);
    }
    ~Dialog() { delete form.data(); }
    template <typename T>
    T* get(const char* name) const {
      return form->findChild<T*>(QString::fromLatin1(name));
    }
    QLineEdit* name() const { return get<QLineEdit>("file_name"); }
    FileList* files() const { return get<FileList>("File1"); }
    ProjectModel model;
    QPointer<Form3> form = new Form3(model);
    QStringList requested;
  };

 private slots:
  void initTestCase() {
    QVERIFY(QDir(dir_.path()).mkpath(QStringLiteral("prog/projects")));
    prog_ = QDir(dir_.path()).filePath(QStringLiteral("prog"));
    QVERIFY(tamrisk::ui::install_translators(*qApp, tamrisk::ui::Language::Japanese));
    for (const char* name : {"walk.pst", "keep.Pst", ".pst", "notes.txt", "projects/run.pst"}) {
      QVERIFY(tamrisk::test::write_picture(native(QString::fromLatin1(name)), 1, 1, 0, "BMP"));
    }
  }

  void opensInTheProgramFolder() {
    Dialog d(this);
    QCOMPARE(d.form->windowTitle(), QStringLiteral("状態のSAVE&LOAD"));
    QCOMPARE(d.model.pst_mode, 2);
    QCOMPARE(d.get<tamrisk::ui::DriveSelector>("Drive1")->drive(), ProjectModel::drive_of(prog_));
    QCOMPARE(d.get<FolderList>("Dir1")->folder(), QDir::toNativeSeparators(prog_));
    QCOMPARE(d.model.path_ref, QDir::toNativeSeparators(prog_));
    QCOMPARE(d.get<QComboBox>("Combo1")->currentText(), QStringLiteral("*.pst"));
    QCOMPARE(d.files()->file_names(), QStringList({".pst", "keep.Pst", "walk.pst"}));
  }

  void confirmingUsesTheTypedName_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("enter");  // Enter in the name box, else the OK button
    QTest::addColumn<QString>("used");
    QTest::newRow("one letter") << "a" << false << "a.pst";
    QTest::newRow("one letter, Enter") << "a" << true << "a.pst";
    QTest::newRow("ends in .PST") << "anime.PST" << true << "anime.PST";
    QTest::newRow("mixed case") << "anime.Pst" << false << "anime.Pst.pst";
    QTest::newRow("only .pst") << ".pst" << true << ".pst.pst";
    QTest::newRow("empty, an existing file, replaced") << "" << false << ".pst";
  }
  void confirmingUsesTheTypedName() {
    QFETCH(QString, typed);
    QFETCH(bool, enter);
    QFETCH(QString, used);
    tamrisk::test::BoxAnswerer answerer(QMessageBox::Yes);
    Dialog d(this);
    QTest::keyClicks(d.name(), typed);
    QVERIFY(d.requested.isEmpty());  // other keys only edit the name
    QPointer<QLineEdit> name = d.name();
    if (enter) {
      QTest::keyClick(d.name(), Qt::Key_Return);
    } else {
      QTest::mouseClick(d.get<QPushButton>("Command1"), Qt::LeftButton);
    }
    QCOMPARE(d.requested, QStringList{native(used)});
    QCOMPARE(name->text(), used);  // shown as used; the dialog goes once events run
    QTRY_VERIFY(d.form.isNull());
  }

  void aClickFillsTheNameADoubleClickUsesTheFileAsItIs_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<QMessageBox::StandardButton>("answer");  // to the overwrite question
    QTest::addColumn<bool>("used");
    QTest::newRow("LOAD") << 1 << QMessageBox::No << true;
    QTest::newRow("SAVE, overwritten") << 2 << QMessageBox::Yes << true;
    QTest::newRow("SAVE, kept") << 2 << QMessageBox::No << false;
  }
  void aClickFillsTheNameADoubleClickUsesTheFileAsItIs() {
    QFETCH(int, mode);
    QFETCH(QMessageBox::StandardButton, answer);
    QFETCH(bool, used);
    tamrisk::test::BoxAnswerer answerer(answer);
    Dialog d(this, mode);
    QVERIFY(tamrisk::test::click_file(d.files(), QStringLiteral("walk.pst")));
    QCOMPARE(d.name()->text(), QStringLiteral("walk.pst"));
    QVERIFY(d.requested.isEmpty());
    QCOMPARE(d.get<QLabel>("mode_label")->text(),
             mode == 2 ? QStringLiteral("SAVE するファイル") : QStringLiteral("LOAD するファイル"));
    QVERIFY(tamrisk::test::click_file(d.files(), QStringLiteral("keep.Pst"), true));
    const QString keep = native(QStringLiteral("keep.Pst"));
    QCOMPARE(answerer.texts(),
             mode == 2 ? QStringList{keep + "があります。上書きしますか？"} : QStringList{});
    QCOMPARE(d.requested, used ? QStringList{keep} : QStringList{});
    if (used) {
      QCOMPARE(d.model.pst_mode, mode);
      QTRY_VERIFY(d.form.isNull());
    } else {
      QVERIFY(d.form->isVisible());  // to choose another name
    }
  }

  void qtsOwnButtonsSpeakTheEditorsLanguage() {
    QMessageBox box(QMessageBox::Question, {}, {}, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(box.button(QMessageBox::Yes)->text(), QStringLiteral("はい(&Y)"));
    QCOMPARE(box.button(QMessageBox::No)->text(), QStringLiteral("いいえ(&N)"));
  }

  void browsingMovesTheImageFolderToo() {
    Dialog d(this);
    const QString projects = native(QStringLiteral("projects"));
    QVERIFY(tamrisk::test::click_folder(d.get<FolderList>("Dir1"), projects));
    QCOMPARE(d.model.path_ref, projects);
    QCOMPARE(d.files()->file_names(), QStringList{"run.pst"});
    QTest::keyClicks(d.name(), QStringLiteral("next"));
    QTest::keyClick(d.name(), Qt::Key_Enter);
    QCOMPARE(d.requested, QStringList{native(QStringLiteral("projects/next.pst"))});
  }

  void theCloseBoxRunsNothing() {
    Dialog d(this);
    QTest::keyClicks(d.name(), QStringLiteral("x"));
    d.form->close();
    QTRY_VERIFY(d.form.isNull());
    QVERIFY(d.requested.isEmpty());
    QVERIFY(d.model.file_path.isEmpty());
  }
};

QTEST_MAIN(Form3Test)
#include "form3_test.moc"
