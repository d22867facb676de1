#include <gtest/gtest.h>

#include "model/settings_file.h"
#include "model_test_support.h"

namespace tamrisk {
namespace {

using test::Crlf;

// Eleven empty layer records.
const QByteArray kLayers =
    Crlf("\"\"\n\"\"\n\"\"\n\"\"\n\"\"\n\"\"\n\"\"\n\"\"\n\"\"\n\"\"\n\"\"\n");

SettingsRecords Parse(const QByteArray& bytes) {
  SettingsRecords records;
  QString error;
  EXPECT_TRUE(parse_settings(bytes, &records, &error)) << error.toStdString();
  return records;
}

TEST(SettingsParse, ReadsOlderAndLooselyWrittenFiles) {
  const QByteArray main = Crlf("1,2,3,\"12345\",\"/\",\"\",\"s\",\"\"\n");
  const struct {
    const char* name;
    QByteArray bytes;
    size_t offsets;
    bool background;
  } kCases[] = {
      {"ends after the main record", kLayers + main, 0, false},
      {"ends after the per-frame records", kLayers + main + Crlf("1,1\n2,2\n3,3\n4,4\n5,5\n"), 5,
       false},
      {"fewer per-frame records", kLayers + main + Crlf("1,1\n2,2\n#TRUE#,0,15,15\n"), 2, true},
      {"blank lines at the end", kLayers + main + Crlf("\n  \n\n"), 0, false},
      {"extra records after the background",
       kLayers + main + Crlf("1,1\n2,2\n3,3\n4,4\n5,5\n#true#,0,15,15\nanything\n"), 5, true},
      {"line feeds only", QByteArray(kLayers + main).replace("\r\n", "\n") + "#False#,0,1,1", 0,
       true},
      {"byte-order mark", "\xEF\xBB\xBF" + kLayers + main, 0, false},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    const SettingsRecords r = Parse(c.bytes);
    EXPECT_EQ(r.pattern_anime, QStringLiteral("12345"));
    EXPECT_EQ(r.offsets.size(), c.offsets);
    EXPECT_EQ(r.background.has_value(), c.background);
  }
}

TEST(SettingsParse, ReadsFieldsAsTheFormatAllows) {
  // Blanks around unquoted fields go; commas and quotes inside quoted text stay.
  const SettingsRecords r = Parse(Crlf(R"(  "/a, "b"/c.bmp"  
/plain/path.bmp
""
""
""
""
""
""
""
""
""
 -5 , +7,0, 121 ,"/","/x,y","a"b","/p"
)"));
  EXPECT_EQ(r.layer_path[0], QStringLiteral("/a, \"b\"/c.bmp"));
  EXPECT_EQ(r.layer_path[1], QStringLiteral("/plain/path.bmp"));
  EXPECT_EQ(r.adjust_x, -5);
  EXPECT_EQ(r.adjust_y, 7);
  EXPECT_EQ(r.pattern_anime, QStringLiteral("121"));
  EXPECT_EQ(r.output_dir, QStringLiteral("/x,y"));
  EXPECT_EQ(r.basename, QStringLiteral("a\"b"));
}

TEST(SettingsParse, KeepsTheFirst91OfALongSequence) {
  QByteArray text = kLayers + "0,0,0,\"" + QByteArray(500, '3') + "\",\"/\",\"\",\"s\",\"\"\r\n";
  for (int k = 0; k < 500; ++k) {
    text += QByteArray::number(k) + ",-1\r\n";
  }
  text += "#FALSE#,0,30,30\r\n";
  const SettingsRecords r = Parse(text);
  EXPECT_EQ(r.pattern_anime.size(), 500);
  ASSERT_EQ(r.offsets.size(), 91u);
  EXPECT_EQ(r.offsets[90].x, 90);
  ASSERT_TRUE(r.background.has_value());
  EXPECT_FALSE(r.background->from_file);

  // The model takes 91 frames and their offsets.
  ProjectModel m;
  apply_settings(m, r, QString());
  EXPECT_EQ(m.frame_count(), 91);
  EXPECT_EQ(m.frame_dx[90], 90);
  EXPECT_EQ(m.pic[0].size(), QSize(2, 2));
}

TEST(SettingsParse, ReadsShiftJisFromJapaneseWindows) {
  // "C:\絵\背景.bmp" and the base name "背景" in code page 932; 0x5C stays a backslash.
  const QByteArray sjis_path = "\"C:\\\x8a\x47\\\x94\x77\x8c\x69.bmp\"\r\n";
  const SettingsRecords r =
      Parse(sjis_path + kLayers.mid(4) + "0,0,0,\"\",\"c:\",\"\",\"\x94\x77\x8c\x69\",\"\"\r\n");
  EXPECT_EQ(r.layer_path[0], QString::fromUtf8("C:\\絵\\背景.bmp"));
  EXPECT_EQ(r.basename, QString::fromUtf8("背景"));
}

TEST(SettingsParse, RefusesWhatIsNotASettingsFile) {
  const QByteArray main = Crlf("1,2,3,\"12\",\"/\",\"\",\"s\",\"\"\n");
  const struct {
    QByteArray bytes;
    const char* message;
  } kBad[] = {
      {"",
       "レコードが足りません（0行しかありません。レイヤー11行とメインレコード1行が必要です）。"},
      {kLayers,
       "レコードが足りません（11行しかありません。レイヤー11行とメインレコード1行が必要です）。"},
      {kLayers + "1,2,3,\"12\",\"/\",\"\",\"s\"",
       "(12行目) メインレコードの項目数が正しくありません（8個必要なところ7個）。"},
      {kLayers + "x,2,3,\"12\",\"/\",\"\",\"s\",\"\"",
       "(12行目) 1番目の項目が整数ではありません: \"x\""},
      {kLayers + "1,\"2\",3,\"12\",\"/\",\"\",\"s\",\"\"",
       "(12行目) 2番目の項目が整数ではありません: \"2\""},
      {kLayers + "1,2,3.5,\"12\",\"/\",\"\",\"s\",\"\"",
       "(12行目) 3番目の項目が整数ではありません: \"3.5\""},
      {kLayers + "40000,2,3,\"12\",\"/\",\"\",\"s\",\"\"",
       "(12行目) 1番目の項目が範囲外です（-32768 から 32767 まで）: 40000"},
      {kLayers + "1,-99999999999999999999999,3,\"12\",\"/\",\"\",\"s\",\"\"",
       "(12行目) 2番目の項目が範囲外です（-32768 から 32767 まで）: -99999999999999999999999"},
      {kLayers + "1,2,3,\"12,\"/\",\"\",\"s\",\"\"",
       "(12行目) メインレコードの項目数が正しくありません（8個必要なところ7個）。"},
      {kLayers + "1,2,3,\"12\",\"/\",\"\",\"s\",\"", "(12行目) 引用符が閉じていません。"},
      {"\"abc\r\n" + kLayers, "(1行目) 引用符が閉じていません。"},
      {"a,b\r\n" + kLayers,
       "(1行目) レイヤーのレコードの項目数が正しくありません（1個必要なところ2個）。"},
      {kLayers + main + "1\r\n",
       "(13行目) コマ別補正値のレコードの項目数が正しくありません（2個必要なところ1個）。"},
      {kLayers + main + "1,-", "(13行目) 2番目の項目が整数ではありません: \"-\""},
      {kLayers + main + "1,1\r\n2,-32769\r\n",
       "(14行目) 2番目の項目が範囲外です（-32768 から 32767 まで）: -32769"},
      {kLayers + main + "1,1\r\n2,2\r\n3,3\r\n",
       "(15行目) 背景のレコードの項目数が正しくありません（4個必要なところ2個）。"},
      {kLayers + main + "#YES#,0,1,1\r\n",
       "(13行目) コマ別補正値のレコードの項目数が正しくありません（2個必要なところ4個）。"},
      {kLayers + main + "1,1\r\n2,2\r\nTRUE,0,1,1\r\n",
       "(15行目) 1番目の項目が #TRUE# でも #FALSE# でもありません: \"TRUE\""},
      {kLayers + main + "#TRUE#,16777216,1,1\r\n",
       "(13行目) 2番目の項目が範囲外です（0 から 16777215 まで）: 16777216"},
      {kLayers + main + "#TRUE#,-1,1,1\r\n",
       "(13行目) 2番目の項目が範囲外です（0 から 16777215 まで）: -1"},
      {kLayers + main + "#TRUE#,0,1\r\n",
       "(13行目) 背景のレコードの項目数が正しくありません（4個必要なところ3個）。"},
      {kLayers + main + "1,1\r\n2,2\r\n#TRUE#,0,1,1\r\n\"frame_rate\",0\r\n",
       "(16行目) 2番目の項目が範囲外です（1 から 50 まで）: 0"},
      {kLayers + main + "#TRUE#,0,1,1\r\n\"frame_rate\",12,3\r\n",
       "(14行目) frame_rateの項目数が正しくありません（2個必要なところ3個）。"},
      {kLayers + main + "#TRUE#,0,1,1\r\nnot named\r\n\"loop_count\",65536\r\n",
       "(15行目) 2番目の項目が範囲外です（0 から 65535 まで）: 65536"},
      {kLayers + main + "#TRUE#,0,1,1\r\n\"holds\",1,100\r\n",
       "(14行目) 3番目の項目が範囲外です（1 から 99 まで）: 100"},
      {kLayers + QByteArray("1,2,\0", 5), "テキストファイルではありません（NUL 文字を含みます）。"},
      {"\x85\x40\r\n", "文字コードが UTF-8 でもシフトJIS でもありません。"},
  };
  for (const auto& c : kBad) {
    SCOPED_TRACE(c.bytes.right(60).toStdString());
    SettingsRecords records;
    QString error;
    EXPECT_FALSE(parse_settings(c.bytes, &records, &error));
    EXPECT_EQ(error, QString::fromUtf8(c.message));
  }
}

}  // namespace
}  // namespace tamrisk
