// The animation test and "コマ作成" driven from the main window.
#include <QFile>
#include <QImageReader>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProcess>
#include <QProgressDialog>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "playback/animation_test.h"
#include "render/compose.h"
#include "window_test_support.h"

using tamrisk::AnimationFormat;
using tamrisk::AnimationTest;
using tamrisk::ProjectModel;
using tamrisk::test::BoxAnswerer;
using tamrisk::test::SpokenLanguage;
using tamrisk::test::Window;

namespace {

QByteArray file_bytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool write_file(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

}  // namespace

class ExportWindowTest : public QObject {
  Q_OBJECT

  QString vessik_ = QString::fromLocal8Bit(qgetenv("VESSIK_PATH"));

  // A fresh program folder and output folder for every test.
  std::unique_ptr<QTemporaryDir> dir_;
  QTemporaryDir settings_dir_;
  QString prog_;
  QString out_;

  QString out(const QString& name) const { return QDir(out_).filePath(name); }

  std::unique_ptr<Window> loaded(const QString& sequence) {
    const QString project = tamrisk::test::write_project(prog_, sequence, out_);
    auto w = std::make_unique<Window>(prog_, vessik_);
    if (project.isEmpty() || !w->form->open_settings(project)) {
      return nullptr;
    }
    return w;
  }

  QTimer* timer(const Window& w) const { return w.get<QTimer>(QStringLiteral("Timer1")); }

  void compare_state(const Window& w, AnimationTest::State state, const QString& caption) const {
    QCOMPARE(w.form->animation_state(), state);
    QCOMPARE(w.button(QStringLiteral("anime"))->text(), caption);
    QCOMPARE(timer(w)->isActive(), state == AnimationTest::State::Running);
    QCOMPARE(w.model().anime_on, state != AnimationTest::State::Stopped);
  }

  void needs_compiler() const {
    if (vessik_.isEmpty() || !QFileInfo(vessik_).isExecutable()) {
      QSKIP("VESSIK_PATH does not name the compiler");
    }
  }

 private slots:
  void initTestCase() {
    // The remembered choice of animations goes to a folder of the test's own.
    QVERIFY(settings_dir_.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings_dir_.path());
  }

  void init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    const QDir root(dir_->path());
    QVERIFY(root.mkpath(QStringLiteral("prog")));
    QVERIFY(root.mkpath(QStringLiteral("out")));
    prog_ = root.filePath(QStringLiteral("prog"));
    out_ = root.filePath(QStringLiteral("out"));
  }

  void theAnimationTestPlaysTheSequence() {
    auto w = loaded(QStringLiteral("123"));
    QVERIFY(w);
    const QString stopped = QStringLiteral("アニメテスト");
    const QString running = QStringLiteral("テスト中断");
    compare_state(*w, AnimationTest::State::Stopped, stopped);
    // The frame each tick leaves current.
    QList<int> after_tick;
    QObject log;
    connect(timer(*w), &QTimer::timeout, &log, [&] { after_tick << w->model().cur_frame; });
    w->click(QStringLiteral("anime"));
    compare_state(*w, AnimationTest::State::Running, running);
    QCOMPARE(timer(*w)->interval(), 80);
    QCOMPARE(w->model().cur_frame, 0);
    // Frames follow 0, 1, 2, 0: after the tick that drew frame 2 the next is 0.
    QTRY_VERIFY(after_tick.size() >= 4);
    QCOMPARE(after_tick.first(4), QList<int>({1, 2, 0, 1}));
    QCOMPARE(w->canvas(QStringLiteral("win_main"))->image(), w->model().win_main);
    w->click(QStringLiteral("anime"));
    compare_state(*w, AnimationTest::State::Stopped, stopped);
    w->type_sequence(QString());  // an empty sequence is not played
    w->click(QStringLiteral("anime"));
    compare_state(*w, AnimationTest::State::Stopped, stopped);
  }

  void makingFramesHaltsTheTestUntilItsButtonIsPressed() {
    auto w = loaded(QStringLiteral("12"));
    QVERIFY(w);
    BoxAnswerer answerer;
    w->click(QStringLiteral("anime"));
    w->click(QStringLiteral("bt_exec"));  // BMP mode
    compare_state(*w, AnimationTest::State::Halted, QStringLiteral("テスト中断"));
    // No ticks: the timer stands, and whatever was due has run; still on the
    // last frame made.
    QCoreApplication::processEvents();
    QVERIFY(!timer(*w)->isActive());
    QCOMPARE(w->model().cur_frame, 1);
    // The first press only restores the caption, the second starts again.
    w->click(QStringLiteral("anime"));
    compare_state(*w, AnimationTest::State::Stopped, QStringLiteral("アニメテスト"));
    w->click(QStringLiteral("anime"));
    compare_state(*w, AnimationTest::State::Running, QStringLiteral("テスト中断"));
    QCOMPARE(w->model().cur_frame, 0);
    w->click(QStringLiteral("anime"));
    QCOMPARE(answerer.texts(), QStringList{"2コマをBMPファイルに書き出しました。"});
  }

  void bmpModeWritesTheFramesOnly() {
    auto w = loaded(QStringLiteral("1231"));
    QVERIFY(w);
    BoxAnswerer answerer;
    w->click(QStringLiteral("bt_exec"));
    for (int k = 0; k < 4; ++k) {
      const QImage frame(out(QStringLiteral("sample0%1.bmp").arg(k)));
      QCOMPARE(frame.convertToFormat(QImage::Format_RGB32), [&] {
        ProjectModel copy = w->model();
        copy.cur_frame = static_cast<std::int16_t>(k);
        tamrisk::compose_frame(copy);
        return copy.win_main;
      }());
    }
    QCOMPARE(w->model().cur_frame, 3);
    QCOMPARE(w->canvas(QStringLiteral("win_main"))->image(), w->model().win_main);
    QVERIFY(!QFileInfo::exists(out(QStringLiteral("sample_mng.txt"))));
    QVERIFY(w->get<QPlainTextEdit>(QStringLiteral("mng_textbox"))->toPlainText().isEmpty());
    QCOMPARE(answerer.titles(), QStringList{"完了"});
    QCOMPARE(answerer.texts(), QStringList{"4コマをBMPファイルに書き出しました。"});
  }

  void pngModeCompilesTheFramesIntoAnMng() {
    needs_compiler();
    auto w = loaded(QStringLiteral("12312"));
    QVERIFY(w);
    BoxAnswerer answerer;
    w->click(QStringLiteral("output_png"));
    w->click(QStringLiteral("bt_exec"));

    QCOMPARE(answerer.boxes.size(), 1);
    QCOMPARE(answerer.boxes[0].title, QStringLiteral("完了"));
    QCOMPARE(answerer.boxes[0].icon, QMessageBox::Information);
    // Our sentence, the compiler's words the detail, both naming the file
    // as it is named after the export.
    QVERIFY2(
        answerer.boxes[0].text.startsWith(QStringLiteral("「sample.mng」を書き出しました。\n")),
        qPrintable(answerer.boxes[0].text));
    QVERIFY2(answerer.boxes[0].detail.contains(
                 QStringLiteral("\"sample.mng\" という名前で出力しました。")),
             qPrintable(answerer.boxes[0].detail));
    const QString mng = out(QStringLiteral("sample.mng"));
    QVERIFY(QFileInfo::exists(mng));
    QVERIFY(!QFileInfo::exists(out(QStringLiteral("mng_qoya.mng"))));
    // The script box holds the script as written, CR LF ends and all.
    const QString script =
        QString::fromLocal8Bit(file_bytes(out(QStringLiteral("sample_mng.txt"))));
    QVERIFY(script.startsWith(QStringLiteral("# MNG=mng_qoya.mng\r\nMHDR  40  20 10 0 0 0 0\r\n")));
    QCOMPARE(w->get<QPlainTextEdit>(QStringLiteral("mng_textbox"))->toPlainText(),
             QString(script).remove(QLatin1Char('\r')));

    const QString pngcheck = QStandardPaths::findExecutable(QStringLiteral("pngcheck"));
    if (!pngcheck.isEmpty()) {
      QProcess check;
      check.start(pngcheck, {QStringLiteral("-q"), mng});
      QVERIFY(check.waitForFinished(tamrisk::test::kWaitMs));
      QVERIFY2(check.exitCode() == 0, check.readAllStandardOutput().constData());
    }
    QImageReader reader(mng, "mng");
    QVERIFY2(reader.canRead(), qPrintable(reader.errorString()));
    for (int k = 0; k < 5; ++k) {
      const QImage decoded = reader.read();
      QVERIFY2(!decoded.isNull(), qPrintable(reader.errorString()));
      const QImage frame(out(QStringLiteral("sample0%1.png").arg(k)));
      QCOMPARE(frame.size(), QSize(40, 20));
      QCOMPARE(decoded.convertToFormat(QImage::Format_RGB32),
               frame.convertToFormat(QImage::Format_RGB32));
    }
    if (pngcheck.isEmpty()) {
      QSKIP("pngcheck is not installed: the MNG's chunks were not checked");
    }
  }

  void theChosenAnimationsAreMadeAndRemembered() {
    needs_compiler();
    QSettings().clear();
    auto w = loaded(QStringLiteral("1213"));
    QVERIFY(w);
    auto* chooser = w->get<QToolButton>(QStringLiteral("output_formats"));
    QVERIFY(!chooser->isVisibleTo(w->form.get()));  // BMP mode makes no animation
    w->click(QStringLiteral("output_png"));
    QVERIFY(chooser->isVisibleTo(w->form.get()));
    QCOMPARE(w->form->animation_formats(), QList<AnimationFormat>{AnimationFormat::Mng});
    const auto choose = [&](const char* name) {
      chooser->menu()->findChild<QAction*>(QString::fromLatin1(name))->trigger();
    };
    // The compact MNG takes the place of the whole-frame one; the last one
    // chosen cannot be dropped.
    for (const char* name : {"apng", "compact-mng", "gif", "apng", "gif"}) {
      choose(name);
    }
    QCOMPARE(w->form->animation_formats(), QList<AnimationFormat>{AnimationFormat::CompactMng});
    choose("compact-mng");
    QCOMPARE(w->form->animation_formats(), QList<AnimationFormat>{AnimationFormat::CompactMng});
    choose("apng");
    choose("gif");

    BoxAnswerer answerer;
    w->click(QStringLiteral("bt_exec"));
    QCOMPARE(answerer.titles(), QStringList{QStringLiteral("完了")});
    for (const QString name : {"sample.mng", "sample.png", "sample.gif"}) {
      const QFileInfo file(out(name));
      QVERIFY2(file.size() > 0, qPrintable(name));
      QVERIFY2(answerer.boxes[0].text.contains(QStringLiteral("書き出したファイル: %1（%2 バイト）")
                                                   .arg(QDir::toNativeSeparators(file.filePath()),
                                                        QLocale().toString(file.size()))),
               qPrintable(answerer.boxes[0].text));
    }
    QVERIFY(!QFileInfo::exists(out(QStringLiteral("sample_mng.txt"))));
    QImageReader gif(out(QStringLiteral("sample.gif")));
    QCOMPARE(gif.imageCount(), 4);
    // The next window starts with the same choice.
    Window again(prog_, vessik_);
    QCOMPARE(again.form->animation_formats(),
             QList<AnimationFormat>(
                 {AnimationFormat::CompactMng, AnimationFormat::Apng, AnimationFormat::Gif}));
    QSettings().clear();
  }

  void theFormatMenuStaysOpenWhileFormatsAreTicked() {
    QSettings().clear();
    auto w = loaded(QStringLiteral("12"));
    QVERIFY(w);
    w->click(QStringLiteral("output_png"));
    auto* chooser = w->get<QToolButton>(QStringLiteral("output_formats"));
    QMenu* menu = chooser->menu();
    bool open_after_ticks = false;
    QTimer::singleShot(0, menu, [&] {
      for (const char* name : {"gif", "webp"}) {
        QAction* action = menu->findChild<QAction*>(QString::fromLatin1(name));
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
      }
      open_after_ticks = menu->isVisible();
      QTest::keyClick(menu, Qt::Key_Escape);
    });
    QTest::mouseClick(chooser, Qt::LeftButton);  // runs the menu until Escape
    QVERIFY(open_after_ticks);
    QCOMPARE(w->form->animation_formats(),
             QList<AnimationFormat>(
                 {AnimationFormat::Mng, AnimationFormat::Gif, AnimationFormat::Webp}));
    QSettings().clear();
  }

  void anExistingAnimationIsReplacedOnlyAfterYes_data() {
    QTest::addColumn<bool>("yes");
    QTest::newRow("yes") << true;
    QTest::newRow("no") << false;
  }
  void anExistingAnimationIsReplacedOnlyAfterYes() {
    QFETCH(bool, yes);
    needs_compiler();
    auto w = loaded(QStringLiteral("1"));
    QVERIFY(w);
    BoxAnswerer answerer(yes ? QMessageBox::Yes : QMessageBox::No);
    const QString mng = out(QStringLiteral("sample.mng"));
    QVERIFY(write_file(mng, "an older animation"));
    const QByteArray old = file_bytes(mng);
    w->click(QStringLiteral("output_png"));
    w->click(QStringLiteral("bt_exec"));

    QVERIFY(answerer.boxes.size() >= 1);
    const BoxAnswerer::Box& question = answerer.boxes[0];
    QCOMPARE(question.title, QStringLiteral("ミルオ工房簡易アニメータ"));
    QCOMPARE(question.text,
             QDir::toNativeSeparators(mng) + QStringLiteral("があります。上書きしますか？"));
    QCOMPARE(question.buttons, QMessageBox::Yes | QMessageBox::No);
    if (yes) {
      QCOMPARE(answerer.titles(), QStringList({question.title, QStringLiteral("完了")}));
      QVERIFY(file_bytes(mng) != old);
    } else {
      QCOMPARE(answerer.boxes.size(), 1);  // a declined export reports nothing more
      QCOMPARE(file_bytes(mng), old);
      QVERIFY(QFileInfo::exists(out(QStringLiteral("sample00.png"))));
      QVERIFY(QFileInfo::exists(out(QStringLiteral("sample_mng.txt"))));
    }
  }

  void theQuestionCanBeAnsweredByAHook() {
    needs_compiler();
    auto w = loaded(QStringLiteral("1"));
    QVERIFY(w);
    BoxAnswerer answerer;
    QStringList asked;
    bool held = false;
    w->form->set_overwrite_question([&](const QString& path) {
      asked << path;
      // The export's progress holds the main window meanwhile.
      auto* progress = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
      held = progress != nullptr && progress->isVisible() &&
             progress->parentWidget() == w->form.get() &&
             progress->windowModality() == Qt::WindowModal;
      return false;
    });
    const QString mng = out(QStringLiteral("sample.mng"));
    QVERIFY(write_file(mng, "x"));
    w->click(QStringLiteral("output_png"));
    w->click(QStringLiteral("bt_exec"));
    QCOMPARE(asked, QStringList{QDir::toNativeSeparators(mng)});
    QVERIFY(held);
    QVERIFY(answerer.boxes.isEmpty());
    QCOMPARE(file_bytes(mng), QByteArray("x"));
  }

  // The compiler speaks Japanese; the report says what came of the compile
  // in the user's language, the compiler's words its detail.
  void compileOutcomeSpeaksTheUsersLanguage_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("said");  // a compiler's output; "": the real compiler's
    QTest::addColumn<QString>("sentence");
    QTest::addColumn<QString>("detail");
    const QString done = "\"sample.mng\" という名前で出力しました。";
    QTest::newRow("done, Japanese") << "ja_JP"
                                    << ""
                                    << "「sample.mng」を書き出しました。" << done;
    QTest::newRow("done, English") << "en_US"
                                   << ""
                                   << "Wrote “sample.mng”." << done;
    QTest::newRow("a line refused, English") << "en_GB"
                                             << "エラー: (4行目)パラメータの数が違います。"
                                             << "The MNG compiler stopped at line 4 of the script."
                                             << "(4行目)パラメータ";
    QTest::newRow("script unread, English") << "en_US"
                                            << "エラー: リソースファイルの読込に失敗しました。"
                                            << "The MNG compiler could not read the script."
                                            << "リソースファイル";
  }
  void compileOutcomeSpeaksTheUsersLanguage() {
    QFETCH(QString, locale);
    QFETCH(QString, said);
    QFETCH(QString, sentence);
    QFETCH(QString, detail);
    needs_compiler();
    const SpokenLanguage language(locale);
    QVERIFY(language.installed);
    auto w = loaded(QStringLiteral("12"));
    QVERIFY(w);
    if (!said.isEmpty()) {
      const QString compiler = dir_->filePath(QStringLiteral("says"));
      QFile script(compiler);
      QVERIFY(script.open(QIODevice::WriteOnly));
      script.write(("#!/bin/sh\necho '" + said + "'\nexit 255\n").toUtf8());
      script.close();
      script.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
      w->form->set_compiler_path(compiler);
    }
    BoxAnswerer answerer;
    w->click(QStringLiteral("output_png"));
    w->click(QStringLiteral("bt_exec"));
    QCOMPARE(answerer.boxes.size(), 1);
    QVERIFY2(answerer.boxes[0].text.startsWith(sentence), qPrintable(answerer.boxes[0].text));
    QVERIFY2(answerer.boxes[0].detail.contains(detail), qPrintable(answerer.boxes[0].detail));
  }

  void failuresAreReportedUnderTheErrorCaption_data() {
    QTest::addColumn<QString>("compiler");  // "": the real one
    QTest::addColumn<QString>("basename");
    QTest::addColumn<QString>("mentions");
    QTest::newRow("compiler missing") << "/nonexistent/vessik"
                                      << "sample"
                                      << "/nonexistent/vessik";
    QTest::newRow("blank in the base name") << QString() << "a b"
                                            << "a b";
  }
  void failuresAreReportedUnderTheErrorCaption() {
    QFETCH(QString, compiler);
    QFETCH(QString, basename);
    QFETCH(QString, mentions);
    auto w = loaded(QStringLiteral("12"));
    QVERIFY(w);
    if (!compiler.isEmpty()) {
      w->form->set_compiler_path(compiler);
    }
    w->line(QStringLiteral("basename"))->setText(basename);
    BoxAnswerer answerer;
    w->click(QStringLiteral("anime"));
    w->click(QStringLiteral("output_png"));
    w->click(QStringLiteral("bt_exec"));
    QCOMPARE(answerer.boxes.size(), 1);
    QCOMPARE(answerer.boxes[0].title, QStringLiteral("エラー"));
    QCOMPARE(answerer.boxes[0].icon, QMessageBox::Critical);
    QVERIFY2((answerer.boxes[0].text + answerer.boxes[0].detail).contains(mentions),
             qPrintable(answerer.boxes[0].text));
    // The test stopped all the same.
    compare_state(*w, AnimationTest::State::Halted, QStringLiteral("テスト中断"));
    QVERIFY(!QFileInfo::exists(out(QStringLiteral("sample.mng"))));
  }
};

QTEST_MAIN(ExportWindowTest)
#include "export_window_test.moc"
