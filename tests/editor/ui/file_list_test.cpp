#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include "ui/file_list.h"
#include "ui/folder_list.h"
#include "ui_test_support.h"

using tamrisk::ui::FileList;
using tamrisk::ui::FolderList;

// The file list and the folder list, each on its own.

class FileListTest : public QObject {
  Q_OBJECT

  static bool touch(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly);
  }

 private slots:
  void listsTheMatchingFilesAtOnceInNameOrder_data() {
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QStringList>("listed");
    const QStringList frames{"B10.png", "B2.png", "b1.PNG", "B00.png", "notes.txt"};
    QTest::newRow("case does not matter")
        << frames << "*.PNG" << QStringList{"B00.png", "b1.PNG", "B10.png", "B2.png"};
    QTest::newRow("several wildcards") << QStringList{"a.bmp", "c.png", "b.txt", "d.BMP"}
                                       << "*.BMP; *.png" << QStringList{"a.bmp", "c.png", "d.BMP"};
    QTest::newRow("no match") << frames << "*.pst" << QStringList{};
    QTest::newRow("hidden files stay out")
        << QStringList{".hidden.pst", "seen.pst"} << "*.pst" << QStringList{"seen.pst"};
    QTest::newRow("empty pattern lists nothing") << frames << "" << QStringList{};
  }
  void listsTheMatchingFilesAtOnceInNameOrder() {
    QFETCH(QStringList, files);
    QFETCH(QString, pattern);
    QFETCH(QStringList, listed);
    QTemporaryDir dir;
    for (const QString& name : files) {
      QVERIFY(touch(dir.filePath(name)));
    }
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder.png")));  // folders are not files
    FileList list;
    list.set_pattern(pattern);
    list.set_folder(dir.path());
    QCOMPARE(list.file_names(), listed);  // no waiting: read when set
  }

  void aMissingFolderListsNothing() {
    QTemporaryDir dir;
    QVERIFY(touch(dir.filePath(QStringLiteral("a.png"))));
    FileList list;
    list.set_pattern(QStringLiteral("*.png"));
    list.set_folder(dir.path());
    QCOMPARE(list.file_names(), QStringList{"a.png"});
    list.set_folder(dir.filePath(QStringLiteral("gone")));
    QCOMPARE(list.file_names(), QStringList{});
  }

  void followsFilesThatComeAndGoAndKeepsTheChoice() {
    QTemporaryDir dir;
    QVERIFY(touch(dir.filePath(QStringLiteral("b.pst"))));
    FileList list;
    list.resize(150, 120);
    list.show();
    list.set_pattern(QStringLiteral("*.pst"));
    list.set_folder(dir.path());
    QSignalSpy clicked(&list, &FileList::file_clicked);
    QVERIFY(tamrisk::test::click_file(&list, QStringLiteral("b.pst")));
    QCOMPARE(clicked.count(), 1);

    QVERIFY(touch(dir.filePath(QStringLiteral("a.pst"))));
    QTRY_COMPARE(list.file_names(), QStringList({"a.pst", "b.pst"}));
    QCOMPARE(list.currentIndex().data().toString(), QStringLiteral("b.pst"));
    QVERIFY(list.selectionModel()->isSelected(list.currentIndex()));

    QVERIFY(QFile::remove(dir.filePath(QStringLiteral("b.pst"))));
    QTRY_COMPARE(list.file_names(), QStringList{"a.pst"});
    QVERIFY(!list.selectionModel()->hasSelection());
    QCOMPARE(clicked.count(), 1);  // a refresh is not a click
  }

  void keysActAsClicks() {
    QTemporaryDir dir;
    QVERIFY(touch(dir.filePath(QStringLiteral("a.pst"))));
    QVERIFY(touch(dir.filePath(QStringLiteral("b.pst"))));
    FileList list;
    list.show();
    list.set_pattern(QStringLiteral("*.pst"));
    list.set_folder(dir.path());
    QSignalSpy clicked(&list, &FileList::file_clicked);
    QSignalSpy opened(&list, &FileList::file_double_clicked);
    QTest::keyClick(&list, Qt::Key_Return);  // nothing chosen yet
    QCOMPARE(opened.count(), 0);
    QTest::keyClick(&list, Qt::Key_Down);
    QTest::keyClick(&list, Qt::Key_Down);
    QTest::keyClick(&list, Qt::Key_Return);
    QCOMPARE(clicked.count(), 2);
    QCOMPARE(clicked.last().at(0).toString(), QStringLiteral("b.pst"));
    QCOMPARE(opened.count(), 1);
    QCOMPARE(opened.first().at(0).toString(), QStringLiteral("b.pst"));
  }

  void theFolderTreeIsReadAtOnce() {
    QTemporaryDir dir;
    const QDir root(dir.path());
    for (const char* name : {"B/deep", "c", "a", ".hidden"}) {
      QVERIFY(root.mkpath(QString::fromLatin1(name)));
    }
    QVERIFY(touch(root.filePath(QStringLiteral("file.txt"))));
    FolderList list;
    QSignalSpy changed(&list, &FolderList::folder_changed);
    QVERIFY(list.set_folder(dir.path()));  // no waiting: read when set
    QCOMPARE(changed.count(), 1);
    QCOMPARE(list.folder(), QDir::toNativeSeparators(dir.path()));
    QStringList shown;
    for (int row = 0; row < list.model()->rowCount(list.currentIndex()); ++row) {
      shown << list.model()->index(row, 0, list.currentIndex()).data().toString();
    }
    QVERIFY(shown.removeOne(QStringLiteral(".hidden")));
    QCOMPARE(shown, QStringList({"a", "B", "c"}));  // letter case aside
    QCOMPARE(list.index_of(root.filePath(QStringLiteral("B/deep"))).parent().data().toString(),
             QStringLiteral("B"));
    for (const char* name : {"file.txt", "gone"}) {
      QVERIFY(!list.set_folder(root.filePath(QString::fromLatin1(name))));
    }
    QCOMPARE(list.folder(), QDir::toNativeSeparators(dir.path()));
    QCOMPARE(changed.count(), 1);
  }

  void followsFoldersThatComeAndGo() {
    QTemporaryDir dir;
    const QDir root(dir.path());
    QVERIFY(root.mkpath(QStringLiteral("b/inner")));
    FolderList list;
    QSignalSpy changed(&list, &FolderList::folder_changed);
    QVERIFY(list.set_folder(root.filePath(QStringLiteral("b"))));
    const QPersistentModelIndex top = list.currentIndex().parent();
    QVERIFY(root.mkpath(QStringLiteral("a/sub")));
    QTRY_COMPARE(list.model()->rowCount(top), 2);
    QCOMPARE(list.currentIndex().row(), 1);  // still current, below the new one
    // The current folder goes: the one above it becomes current and opens.
    QVERIFY(QDir(root.filePath(QStringLiteral("b"))).removeRecursively());
    QTRY_COMPARE(list.model()->rowCount(top), 1);
    QCOMPARE(list.folder(), QDir::toNativeSeparators(root.filePath(QStringLiteral("a"))));
    QCOMPARE(changed.count(), 2);
    QTRY_COMPARE(list.model()->rowCount(list.currentIndex()), 1);
  }
};

QTEST_MAIN(FileListTest)
#include "file_list_test.moc"
