#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "model/settings_file.h"
#include "model_test_support.h"

namespace tamrisk {
namespace {

using test::Crlf;
using test::ReadFile;
using test::Records;
using test::SameModel;
using test::WriteFile;
using test::WritePicture;

// The worked example of the file format, typed in by hand.
const char kExample[] = R"("C:\anime\bg.bmp"
"C:\anime\walk1.png"
"C:\anime\walk2.png"
""
""
""
""
""
""
""
""
12,-3,2,"121","c:","C:\anime\out","sample","C:\anime"
0,0
1,-1
0,0
#TRUE#,16777215,80,50
)";

class SettingsFile : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    ASSERT_TRUE(QDir(dir_.path()).mkpath(QStringLiteral("prog")));
  }
  QString Path(const QString& name) const { return dir_.filePath(name); }
  QString Prog() const { return Path(QStringLiteral("prog")); }
  // Loads bytes written to a file, with readers that may record their calls.
  bool Load(ProjectModel& m, const QByteArray& bytes, QString* error = nullptr,
            const PictureReaders& readers = {}, QStringList* warnings = nullptr) {
    const QString file = Path(QStringLiteral("load.pst"));
    EXPECT_TRUE(WriteFile(file, bytes));
    return load_settings(m, file, error, readers, warnings);
  }

  QTemporaryDir dir_;
};

TEST_F(SettingsFile, SavesTheWorkedExampleByteForByte) {
  ProjectModel m(Prog());
  m.layer_path[0] = QStringLiteral("C:\\anime\\bg.bmp");
  m.layer_path[1] = QStringLiteral("C:\\anime\\walk1.png");
  m.layer_path[2] = QStringLiteral("C:\\anime\\walk2.png");
  m.set_adjust_x(12);
  m.set_adjust_y(-3);
  m.set_sc_bar(2);
  m.set_pattern_anime(QStringLiteral("121"));
  m.frame_dx[1] = 1;
  m.frame_dy[1] = -1;
  m.frame_dx[3] = 9;  // past the sequence: not saved
  m.output_drive = QStringLiteral("c:");
  m.output_dir = QStringLiteral("C:\\anime\\out");
  m.path_ref = QStringLiteral("C:\\anime");
  QString error;
  ASSERT_TRUE(save_settings(m, Path(QStringLiteral("a.pst")), &error)) << error.toStdString();
  EXPECT_EQ(ReadFile(Path(QStringLiteral("a.pst"))), Crlf(kExample));

  // An empty sequence: eleven layer records, the main record, the background.
  m.set_pattern_anime(QString());
  m.bg_from_file = false;
  ASSERT_TRUE(save_settings(m, Path(QStringLiteral("a.pst")), &error));
  const QByteArray saved = ReadFile(Path(QStringLiteral("a.pst")));
  EXPECT_EQ(saved.count("\r\n"), 13);
  EXPECT_TRUE(
      saved.endsWith("12,-3,2,\"\",\"c:\",\"C:\\anime\\out\",\"sample\",\"C:\\anime\"\r\n#FALSE#,"
                     "16777215,80,50\r\n"));
}

TEST_F(SettingsFile, RoundTripsAProjectByteForByte) {
  const QString anime = Path(QStringLiteral("anime"));
  ASSERT_TRUE(QDir().mkpath(anime + QStringLiteral("/out")));
  ASSERT_TRUE(WritePicture(anime + QStringLiteral("/bg.bmp"), 200, 40, qRgb(0, 0, 255)));
  ASSERT_TRUE(WritePicture(anime + QStringLiteral("/walk1.png"), 20, 30, qRgb(0, 255, 0)));
  ASSERT_TRUE(WritePicture(anime + QStringLiteral("/walk2.png"), 21, 31, qRgb(255, 0, 0)));
  QByteArray text = Crlf(kExample);
  text.replace("C:\\anime\\out", (anime + QStringLiteral("/out")).toUtf8());
  text.replace("C:\\anime\\", (anime + QStringLiteral("/")).toUtf8());
  text.replace("C:\\anime", anime.toUtf8());
  text.replace("\"c:\"", "\"/\"");
  ASSERT_TRUE(WriteFile(Path(QStringLiteral("a.pst")), text));

  ProjectModel m(Prog());
  m.adjust_on = true;
  QString error;
  ASSERT_TRUE(load_settings(m, Path(QStringLiteral("a.pst")), &error)) << error.toStdString();
  EXPECT_EQ(m.layer_path[1], anime + QStringLiteral("/walk1.png"));
  EXPECT_EQ(m.pic[0].size(), QSize(200, 40));
  EXPECT_EQ(m.pic[0].pixel(0, 0), qRgb(0, 0, 255));
  EXPECT_EQ(m.pic[2].size(), QSize(21, 31));
  EXPECT_EQ(m.win_main.size(), QSize(200, 40));
  EXPECT_EQ(m.adjust_x_range().max, 200);
  EXPECT_EQ(m.adjust_y_range().min, -40);
  // The bytes saved back show that every stored value reached the model.
  EXPECT_FALSE(m.adjust_on);

  ASSERT_TRUE(save_settings(m, Path(QStringLiteral("b.pst")), &error));
  EXPECT_EQ(ReadFile(Path(QStringLiteral("b.pst"))), text);
}

// The timing goes into named records after the background record, only
// where a value is not its default; a file without them loads the defaults.
TEST_F(SettingsFile, KeepsTheTimingInRecordsAfterTheBackground) {
  ProjectModel m(Prog());
  m.set_pattern_anime(QStringLiteral("121"));
  QString error;
  ASSERT_TRUE(save_settings(m, Path(QStringLiteral("plain.pst")), &error));
  const QByteArray plain = ReadFile(Path(QStringLiteral("plain.pst")));
  EXPECT_TRUE(plain.endsWith("#TRUE#,16777215,80,50\r\n")) << plain.right(40).toStdString();

  m.timing = {12, 3};
  m.export_scale = 2;
  m.frame_hold[1] = 5;
  m.frame_hold[3] = 7;  // beyond the sequence: not stored
  ASSERT_TRUE(save_settings(m, Path(QStringLiteral("timed.pst")), &error));
  EXPECT_EQ(ReadFile(Path(QStringLiteral("timed.pst"))),
            plain +
                "\"frame_rate\",12\r\n\"loop_count\",3\r\n\"scale\",2\r\n"
                "\"holds\",1,5,1\r\n");

  ProjectModel loaded(Prog());
  ASSERT_TRUE(load_settings(loaded, Path(QStringLiteral("timed.pst")), &error));
  EXPECT_EQ(loaded.timing, (AnimationTiming{12, 3}));
  EXPECT_EQ(loaded.export_scale, 2);
  EXPECT_EQ(loaded.hold(0), 1);
  EXPECT_EQ(loaded.hold(1), 5);
  EXPECT_EQ(loaded.hold(3), 1);
  ASSERT_TRUE(load_settings(loaded, Path(QStringLiteral("plain.pst")), &error));
  EXPECT_EQ(loaded.timing, AnimationTiming{});
  EXPECT_EQ(loaded.export_scale, 1);
  EXPECT_EQ(loaded.periods_of(3), 3);
}

TEST_F(SettingsFile, SendsPicturesToTheReaderTheirNameChooses) {
  const char* kNames[] = {"a.PNG", "b.png", "c.Png", "dpng", "e.bmp", "f.jpg", "g.pngx"};
  QByteArray text;
  for (const char* name : kNames) {
    ASSERT_TRUE(WriteFile(Path(QString::fromUtf8(name)), "x"));
    text += "\"" + Path(QString::fromUtf8(name)).toUtf8() + "\"\n";
  }
  text += "\"\"\n\"\"\n\"\"\n\"\"\n0,0,0,\"\",\"/\",\"\",\"s\",\"\"\n";
  QStringList png;
  QStringList other;
  PictureReaders readers;
  readers.png = [&](QImage& canvas, const QString& path, QString*) {
    png << QFileInfo(path).fileName();
    canvas = QImage(3, 4, QImage::Format_ARGB32);
    return true;
  };
  readers.other = [&](QImage&, const QString& path, QString* why) {
    other << QFileInfo(path).fileName();
    if (path.endsWith(QLatin1String("f.jpg"))) {
      *why = QStringLiteral("壊れています。");  // the other two give no reason
    }
    return false;
  };
  ProjectModel m(Prog());
  QStringList warnings;
  ASSERT_TRUE(Load(m, Crlf(text), nullptr, readers, &warnings));
  EXPECT_EQ(png, QStringList({"a.PNG", "b.png", "c.Png", "dpng"}));
  EXPECT_EQ(other, QStringList({"e.bmp", "f.jpg", "g.pngx"}));
  EXPECT_EQ(m.pic[0].size(), QSize(3, 4));
  EXPECT_EQ(m.pic[0].format(), QImage::Format_RGB32);
  EXPECT_EQ(m.pic[4], ProjectModel::empty_canvas(4));  // a failed read leaves the layer
  EXPECT_TRUE(m.layer_path[4].isEmpty());              // as it was, its path too
  ASSERT_EQ(warnings.size(), 3);
  EXPECT_EQ(warnings[0], QStringLiteral("パターン４の画像を読み込めません: ") +
                             QDir::toNativeSeparators(Path(QStringLiteral("e.bmp"))));
  EXPECT_EQ(warnings[1], QStringLiteral("パターン５の画像を読み込めません: ") +
                             QDir::toNativeSeparators(Path(QStringLiteral("f.jpg"))) +
                             QStringLiteral("\n壊れています。"));
}

TEST_F(SettingsFile, KeepsLayersWhoseFileIsGoneAndEmptiesEmptyRecords) {
  ProjectModel m = test::BusyModel(Prog());
  m.layer_path[4] = QStringLiteral("/nowhere/p4.bmp");
  m.pic[4] = QImage(8, 8, QImage::Format_RGB32);
  const ProjectModel before = m;
  ASSERT_TRUE(
      Load(m, Records({"", "", "", "/nowhere/else.bmp"}, "0,0,0,\"\",\"/\",\"\",\"s\",\"\"\n")));
  EXPECT_EQ(m.layer_path[3], before.layer_path[3]);
  EXPECT_EQ(m.pic[3], before.pic[3]);
  EXPECT_TRUE(m.layer_path[4].isEmpty());
  EXPECT_EQ(m.pic[4], ProjectModel::empty_canvas(4));
  // The file ends after the main record: offsets cleared, background as it was.
  EXPECT_EQ(m.frame_dx[1], 0);
  EXPECT_EQ(m.frame_dy[2], 0);
  EXPECT_EQ(m.bg_colour, 0x123456u);
  EXPECT_FALSE(m.bg_from_file);
  // A stored output folder that is gone: the program's folder.
  EXPECT_EQ(m.output_dir, Prog());
  EXPECT_EQ(m.output_drive, ProjectModel::drive_of(Prog()));
}

TEST_F(SettingsFile, PlainBackgroundRecordReplacesTheBackgroundPicture) {
  ProjectModel m(Prog());
  ASSERT_TRUE(
      Load(m, Records({}, "300,-90,0,\"1\",\"/\",\"\",\"s\",\"\"\n#FALSE#,255,4800,3600\n")));
  EXPECT_FALSE(m.bg_from_file);
  EXPECT_EQ(m.bg_width, 4800);
  EXPECT_EQ(m.pic[0].size(), QSize(320, 240));
  EXPECT_EQ(m.pic[0].pixel(5, 5), qRgb(255, 0, 0));
  EXPECT_EQ(m.win_main.size(), QSize(320, 240));
  // Ranges come from the background held before the plain canvas was made.
  EXPECT_EQ(m.adjust_x_range().max, 350);
  EXPECT_EQ(m.adjust_x(), 300);
  EXPECT_EQ(m.adjust_y(), -70);
}

TEST_F(SettingsFile, TakesRelativePathsFromTheFilesFolder) {
  const QString project = Path(QStringLiteral("project"));
  ASSERT_TRUE(QDir().mkpath(project + QStringLiteral("/pics")));
  ASSERT_TRUE(QDir().mkpath(project + QStringLiteral("/out")));
  ASSERT_TRUE(WritePicture(project + QStringLiteral("/pics/bg.bmp"), 30, 20, qRgb(9, 9, 9)));
  const QString file = project + QStringLiteral("/p.pst");
  ASSERT_TRUE(WriteFile(file, Records({"pics/bg.bmp", "../project/pics/bg.bmp", "C:\\gone.bmp"},
                                      "0,0,0,\"\",\"/\",\"out\",\"s\",\"pics\"\n")));
  ProjectModel m(Prog());
  ASSERT_TRUE(load_settings(m, file, nullptr));
  EXPECT_EQ(m.layer_path[0], project + QStringLiteral("/pics/bg.bmp"));
  EXPECT_EQ(m.layer_path[1], project + QStringLiteral("/pics/bg.bmp"));
  EXPECT_TRUE(m.layer_path[2].isEmpty());
  EXPECT_EQ(m.pic[0].size(), QSize(30, 20));
  EXPECT_EQ(m.output_dir, project + QStringLiteral("/out"));
  EXPECT_EQ(m.path_ref, project + QStringLiteral("/pics"));

  // Saving writes the full paths.
  ASSERT_TRUE(save_settings(m, file, nullptr));
  EXPECT_TRUE(ReadFile(file).startsWith("\"" + project.toUtf8() + "/pics/bg.bmp\"\r\n"));
}

TEST_F(SettingsFile, RefusesBrokenFilesAndLeavesTheModelAsItWas) {
  ProjectModel m = test::BusyModel(Prog());
  const ProjectModel before = m;
  QString error;
  EXPECT_FALSE(Load(m, Crlf("\"\"\n\"\"\n"), &error));
  EXPECT_EQ(error,
            QStringLiteral("設定ファイル「%1」を読み込めません。設定は変更していません。\n"
                           "レコードが足りません（2行しかありません。レイヤー11行とメインレコード"
                           "1行が必要です）。")
                .arg(QDir::toNativeSeparators(Path(QStringLiteral("load.pst")))));
  EXPECT_TRUE(SameModel(m, before));

  // Arbitrary bytes: refused, never a crash.
  std::srand(7);
  for (int round = 0; round < 200; ++round) {
    QByteArray noise(std::rand() % 2000, '\0');
    for (char& c : noise) {
      c = static_cast<char>(std::rand());
    }
    if (round % 2 == 1) {  // and noise after a valid head
      noise.prepend(Records({}, "1,2,3,\"12\",\"/\",\"\",\"s\",\"\"\n"));
      noise.replace('\0', 'x');
    }
    error.clear();
    if (!Load(m, noise, &error)) {
      EXPECT_FALSE(error.isEmpty());
      EXPECT_TRUE(SameModel(m, before)) << round;
    }
    m = before;
  }
}

TEST_F(SettingsFile, RefusesHugeFilesByTheirSize) {
  ProjectModel m = test::BusyModel(Prog());
  const ProjectModel before = m;
  const QString file = Path(QStringLiteral("huge.pst"));
  {
    QFile huge(file);
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    ASSERT_TRUE(huge.resize(qint64{1} << 30));  // sparse: nothing is written
  }
  QString error;
  EXPECT_FALSE(load_settings(m, file, &error));
  EXPECT_TRUE(error.endsWith(QStringLiteral(
      "ファイルが大きすぎます（1073741824 バイト。設定ファイルは 4194304 バイトまでです）。")))
      << error.toStdString();
  EXPECT_TRUE(SameModel(m, before));
  QFile::remove(file);
}

TEST_F(SettingsFile, ReportsAFailedSaveAndKeepsTheOldFile) {
  ProjectModel m(Prog());
  const QString file = Path(QStringLiteral("keep.pst"));
  ASSERT_TRUE(WriteFile(file, "old"));
  m.basename = QStringLiteral("two\nlines");
  QString error;
  EXPECT_FALSE(save_settings(m, file, &error));
  EXPECT_EQ(error,
            QStringLiteral("設定ファイル「%1」を保存できません。\nベース名に改行が含まれています。")
                .arg(QDir::toNativeSeparators(file)));
  EXPECT_EQ(ReadFile(file), QByteArray("old"));

  m.basename = QStringLiteral("ok");
  EXPECT_FALSE(save_settings(m, Path(QStringLiteral("no/such/folder/x.pst")), &error));
  EXPECT_TRUE(error.startsWith(QStringLiteral("設定ファイル「"))) << error.toStdString();
}

TEST_F(SettingsFile, RefusesToSaveTextsThatWouldNotReadBack) {
  // A quote followed by a comma would end a field of the main record early,
  // and the whole file would then be refused when loaded. Layer records hold
  // one text, read from the first quote to the last: they take anything.
  const QString file = Path(QStringLiteral("keep.pst"));
  ASSERT_TRUE(WriteFile(file, "old"));
  const struct {
    const char* name;
    QString ProjectModel::*field;
    QString text;
  } kBad[] = {
      {"base name", &ProjectModel::basename, QStringLiteral("walk\",2")},
      {"image folder", &ProjectModel::path_ref, QStringLiteral("/pics/\" \t,x")},
  };
  for (const auto& c : kBad) {
    SCOPED_TRACE(c.name);
    ProjectModel m(Prog());
    m.*c.field = c.text;
    QString error;
    EXPECT_FALSE(save_settings(m, file, &error));
    EXPECT_TRUE(error.endsWith(QStringLiteral("に、引用符の後にコンマが続く並びがあります。")))
        << error.toStdString();
    EXPECT_EQ(ReadFile(file), QByteArray("old"));
  }
  ProjectModel m(Prog());
  m.layer_path[1] = QStringLiteral("/pics/a\",b.png");
  m.basename = QStringLiteral("say \"hi\"");
  m.path_ref = QStringLiteral("/pics/\"\"");
  ASSERT_TRUE(save_settings(m, file, nullptr));
  SettingsRecords records;
  QString error;
  ASSERT_TRUE(parse_settings(ReadFile(file), &records, &error)) << error.toStdString();
  EXPECT_EQ(records.layer_path[1], m.layer_path[1]);
  EXPECT_EQ(records.basename, m.basename);
  EXPECT_EQ(records.path_ref, m.path_ref);
}

TEST_F(SettingsFile, LoadSaveFollowsPstMode) {
  ProjectModel m(Prog());
  m.file_path = Path(QStringLiteral("mode.pst"));
  for (int mode : {0, 3, 1}) {  // nothing to do, and nothing to load
    m.pst_mode = mode;
    EXPECT_TRUE(load_save(m, nullptr));
  }
  EXPECT_FALSE(QFile::exists(m.file_path));
  m.pst_mode = 2;
  m.basename = QStringLiteral("saved");
  ASSERT_TRUE(load_save(m, nullptr));
  ProjectModel other(Prog());
  other.file_path = m.file_path;
  other.pst_mode = 1;
  ASSERT_TRUE(load_save(other, nullptr));
  EXPECT_EQ(other.basename, QStringLiteral("saved"));
}

TEST_F(SettingsFile, GeneralLoaderFlattensAlphaAndLeavesTheCanvasOnFailure) {
  QImage picture(2, 1, QImage::Format_ARGB32);
  picture.setPixel(0, 0, qRgba(0, 0, 0, 0));
  picture.setPixel(1, 0, qRgba(10, 20, 30, 255));
  ASSERT_TRUE(picture.save(Path(QStringLiteral("alpha.png"))));
  QImage canvas;
  ASSERT_TRUE(read_picture(canvas, Path(QStringLiteral("alpha.png"))));
  EXPECT_EQ(canvas.format(), QImage::Format_RGB32);
  EXPECT_EQ(canvas.pixel(0, 0), qRgb(0xF0, 0xF0, 0xF0));
  EXPECT_EQ(canvas.pixel(1, 0), qRgb(10, 20, 30));

  ASSERT_TRUE(WriteFile(Path(QStringLiteral("broken.bmp")), "BM not really"));
  const QImage before = canvas;
  QString why;
  EXPECT_FALSE(read_picture(canvas, Path(QStringLiteral("broken.bmp")), &why));
  EXPECT_EQ(canvas, before);
  EXPECT_TRUE(why.startsWith(QStringLiteral("画像を読めません（"))) << why.toStdString();
}

}  // namespace
}  // namespace tamrisk
