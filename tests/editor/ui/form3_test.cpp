#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>

#include "model/project_editor.h"
#include "model/project_model.h"
#include "ui/drive_selector.h"
#include "ui/form3.h"
#include "ui/recent_projects.h"
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

  // The dialog as SAVE (or LOAD) opens it, for the project's file when one
  // is given; notes the path whenever load_save is asked for, and answers
  // with `succeeds`.
  struct Dialog {
    explicit Dialog(Form3Test* t, int pst_mode = 2, const QString& project = {}) : model(t->prog_) {
      model.path_ref = QStringLiteral("/elsewhere");
      form->open_for(pst_mode, t->prog_, project);
    }
    ~Dialog() { delete form.data(); }
    template <typename T>
    T* get(const char* name) const {
      return form->findChild<T*>(QString::fromLatin1(name));
    }
    QLineEdit* name() const { return get<QLineEdit>("file_name"); }
    FileList* files() const { return get<FileList>("File1"); }
    ProjectModel model;
    tamrisk::ProjectEditor editor{model};
    QStringList requested;
    bool succeeds = true;
    int mode = 0;
    QPointer<Form3> form = new Form3(editor, [this](int pst_mode, const QString& path) {
      mode = pst_mode;
      requested << path;
      return succeeds;
    });
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
    QTest::addColumn<QString>("path");  // the file used; empty: `used` in the dialog's folder
    QTest::newRow("one letter") << "a" << false << "a.pst"
                                << "";
    QTest::newRow("one letter, Enter") << "a" << true << "a.pst"
                                       << "";
    QTest::newRow("ends in .PST") << "anime.PST" << true << "anime.PST"
                                  << "";
    QTest::newRow("mixed case") << "anime.Pst" << false << "anime.Pst.pst"
                                << "";
    QTest::newRow("only .pst") << ".pst" << true << ".pst.pst"
                               << "";
    QTest::newRow("empty, an existing file, replaced") << "" << false << ".pst"
                                                       << "";
    const QString abs = QDir(dir_.path()).filePath(QStringLiteral("abs"));
    QTest::newRow("absolute path") << abs << true << abs + ".pst" << abs + ".pst";
    QTest::newRow("in the home folder")
        << "~/walk.PST" << false << "~/walk.PST" << QDir::homePath() + "/walk.PST";
    QTest::newRow("load_save fails: stays open") << "no/x" << true << "no/x.pst"
                                                 << "";
  }
  void confirmingUsesTheTypedName() {
    QFETCH(QString, typed);
    QFETCH(bool, enter);
    QFETCH(QString, used);
    QFETCH(QString, path);
    tamrisk::test::BoxAnswerer answerer(QMessageBox::Yes);
    Dialog d(this);
    const bool fails = typed.startsWith(QLatin1String("no/"));
    d.succeeds = !fails;
    QTest::keyClicks(d.name(), typed);
    QVERIFY(d.requested.isEmpty());  // other keys only edit the name
    QPointer<QLineEdit> name = d.name();
    if (enter) {
      QTest::keyClick(d.name(), Qt::Key_Return);
    } else {
      QTest::mouseClick(d.get<QPushButton>("Command1"), Qt::LeftButton);
    }
    QCOMPARE(d.requested,
             QStringList{path.isEmpty() ? native(used) : QDir::toNativeSeparators(path)});
    QCOMPARE(name->text(), used);  // shown as used
    if (fails) {
      QCoreApplication::processEvents();
      QVERIFY(d.form->isVisible());  // to correct the name
    } else {
      QTRY_VERIFY(d.form.isNull());  // the dialog goes once events run
    }
  }

  // With a project file the dialog opens in its folder with its name; the
  // recent projects are listed, LOAD loads one at once, one that is gone
  // leaves the list with a message.
  void opensAtTheProjectAndListsTheRecentOnes() {
    tamrisk::test::BoxAnswerer answerer;
    const QString run = native(QStringLiteral("projects/run.pst"));
    const QString gone = native(QStringLiteral("gone.pst"));
    QSettings().clear();
    tamrisk::ui::recent_projects::add(gone);
    tamrisk::ui::recent_projects::add(native(QStringLiteral("walk.pst")));
    tamrisk::ui::recent_projects::add(run);
    Dialog d(this, 1, run);
    QCOMPARE(d.get<FolderList>("Dir1")->folder(), native(QStringLiteral("projects")));
    QCOMPARE(d.name()->text(), QStringLiteral("run.pst"));
    auto* recent = d.get<QComboBox>("recent");
    QCOMPARE(recent->count(), 3);
    QCOMPARE(recent->itemText(0), QStringLiteral("run.pst"));
    tamrisk::test::choose_entry(recent, QStringLiteral("gone.pst"));
    QCOMPARE(answerer.texts().size(), 1);
    QVERIFY(answerer.texts()[0].contains(gone));
    QVERIFY(!tamrisk::ui::recent_projects::list().contains(gone));
    QCOMPARE(recent->count(), 2);
    QVERIFY(d.requested.isEmpty());
    tamrisk::test::choose_entry(recent, QStringLiteral("walk.pst"));
    QCOMPARE(d.requested, QStringList{native(QStringLiteral("walk.pst"))});
    QTRY_VERIFY(d.form.isNull());
  }

  void theRecentListKeepsTheLastEight() {
    QSettings().clear();
    for (int i = 0; i < 10; ++i) {
      tamrisk::ui::recent_projects::add(native(QStringLiteral("p%1.pst").arg(i)));
    }
    tamrisk::ui::recent_projects::add(native(QStringLiteral("p5.pst")));
    const QStringList list = tamrisk::ui::recent_projects::list();
    QCOMPARE(list.size(), 8);
    QCOMPARE(list.first(), native(QStringLiteral("p5.pst")));
    QCOMPARE(list.count(native(QStringLiteral("p5.pst"))), 1);
    QCOMPARE(list.last(), native(QStringLiteral("p2.pst")));
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
      QCOMPARE(d.mode, mode);
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
