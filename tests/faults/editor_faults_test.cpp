// The editor's core under injected faults, through the programs a user runs:
// the headless export (Tamrisk --export) and, for what it does not do, the
// fault_probe program (a settings save, a layer picture read). Every failure
// must come with a message and a failed status and leave the user's files
// exactly as they were.
//
// Covered elsewhere and not repeated here: a missing or failing compiler and
// an output folder under a file through the headless command
// (tests/editor/app/headless_test.cpp); a settings file refused by its size
// in-process and a failed save of a text with a line break
// (tests/editor/model/settings_file_test.cpp).

#include <gtest/gtest.h>

#include <string>

#include "fault_support.h"
#include "folder_snapshot.h"

namespace faults {
namespace {

constexpr long long kMiB = 1024 * 1024;

bool StartsWith(const std::string& text, const std::string& head) {
  return text.rfind(head, 0) == 0;
}

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// A copy of the walker example (settings file and pictures) in project/.
class EditorFaults : public testing::Test {
 protected:
  void SetUp() override {
    fs::create_directory(project_);
    for (const auto& entry : fs::directory_iterator(EXAMPLE_DIR)) {
      const std::string name = entry.path().filename().string();
      if (name == "walker.pst" || entry.path().extension() == ".png") {
        fs::copy_file(entry.path(), project_ / name);
      }
    }
  }

  cli::Result Export(const fs::path& settings, const fs::path& out, cli::Invocation how = {}) {
    return Execute(TAMRISK_PATH,
                   {"--export", settings.string(), "--output-dir", out.string(), "--force"},
                   dir_.path(), std::move(how));
  }

  // Saves settings over keep.pst in folder and expects the save to fail and
  // the folder to stay as it was.
  void ExpectFailedSave(const fs::path& folder, const cli::Invocation& how) {
    const fs::path file = folder / "keep.pst";
    const Snapshot before = TakeSnapshot(folder);
    const cli::Result r = Execute(FAULT_PROBE_PATH, {"save-settings", file.string()}, folder, how);
    SCOPED_TRACE(cli::Describe(r));
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(StartsWith(r.err, "設定ファイル「" + file.string() + "」を保存できません。\n"));
    EXPECT_EQ(Differences(before, TakeSnapshot(folder)), "");
    // With room to spare the same save goes through: the fault made it fail.
    fs::remove(folder / "filler");
    const cli::Result again = Execute(FAULT_PROBE_PATH, {"save-settings", file.string()}, folder);
    EXPECT_EQ(again.status, 0) << cli::Describe(again);
    EXPECT_TRUE(StartsWith(cli::ReadFile(file), "\"\"\r\n"));
  }

  cli::TempDir dir_;
  const fs::path project_ = dir_ / "project";
};

const std::string kOldSettings = "the settings saved before\r\n";

TEST_F(EditorFaults, SettingsSaveBeyondAFileSizeLimit) {
  cli::WriteFile(project_ / "keep.pst", kOldSettings);
  cli::Invocation how;
  // Room for the message on standard error, not for the settings file.
  how.file_size_limit = 1024;
  ExpectFailedSave(project_, how);
}

TEST_F(EditorFaults, SettingsSaveOnAFullDisk) {
  const fs::path disk = dir_ / "disk";
  ScratchDisk scratch(disk, 64 * 1024);
  if (!scratch.Mounted()) {
    GTEST_SKIP() << "no tmpfs here (" << scratch.Why() << "); a file-size limit covers the case";
  }
  cli::WriteFile(disk / "keep.pst", kOldSettings);
  cli::WriteFile(disk / "notes.txt", "the user's own file\n");
  scratch.Fill("filler");
  ExpectFailedSave(disk, {});
}

TEST_F(EditorFaults, ExportIntoAReadOnlyOrFullFolder) {
  const fs::path disk = dir_ / "disk";
  ScratchDisk scratch(disk, 256 * 1024);
  if (!scratch.Mounted()) {
    GTEST_SKIP() << "no tmpfs here (" << scratch.Why() << ")";
  }
  cli::WriteFile(disk / "walker.mng", "an older animation\n");
  const std::string message =
      "エラー: コマのファイル「" + (disk / "walker00.png").string() + "」を書き出せませんでした（";
  for (const bool read_only : {false, true}) {
    SCOPED_TRACE(read_only ? "read-only" : "full");
    if (read_only) {
      fs::remove(disk / "filler");
      ASSERT_TRUE(scratch.MakeReadOnly());
    } else {
      scratch.Fill("filler");
    }
    const Snapshot before = TakeSnapshot(disk);
    const Snapshot project = TakeSnapshot(project_);
    const cli::Result r = Export(project_ / "walker.pst", disk);
    SCOPED_TRACE(cli::Describe(r));
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(Contains(r.err, message));
    EXPECT_EQ(Differences(before, TakeSnapshot(disk)), "");
    EXPECT_EQ(Differences(project, TakeSnapshot(project_)), "");
  }
}

TEST_F(EditorFaults, ExportWhoseAnimationOverrunsAFileSizeLimit) {
  // The walker's frames take about 550 bytes each, its script 600 and its
  // animation 8.4 KB: under this limit the frames and the script fit and the
  // compiler's write fails. The older animation stays.
  constexpr long long kWalkerLimit = 4 * 1024;
  const fs::path out = dir_ / "out";
  fs::create_directory(out);
  cli::WriteFile(out / "walker.mng", "an older animation\n");
  cli::WriteFile(out / "notes.txt", "the user's own file\n");
  const Snapshot before = TakeSnapshot(out);
  cli::Invocation how;
  how.file_size_limit = kWalkerLimit;
  const cli::Result r = Export(project_ / "walker.pst", out, how);
  SCOPED_TRACE(cli::Describe(r));
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(Contains(r.err, "エラー: MNGファイルの書出に失敗しました。\n"));
  std::set<std::string> exported = {"walker_mng.txt"};
  for (int k = 0; k < 16; ++k) {
    exported.insert("walker" + std::string(k < 10 ? "0" : "") + std::to_string(k) + ".png");
  }
  EXPECT_EQ(Differences(before, TakeSnapshot(out), exported), "");
}

// Files that change between the moment the editor looks at them and the
// moment it reads them, replayed exactly by the preloaded shim.
TEST_F(EditorFaults, FilesThatShrinkOrVanishWhileRead) {
  const fs::path settings = project_ / "walker.pst";
  const fs::path out = dir_ / "out";
  const struct {
    const char* name;
    fs::path changed;
    std::vector<std::string> environment;
    int status;
    std::string message;
  } kCases[] = {
      {"settings cut inside the layer records", settings, ShrinkAtFirstRead(settings, 36), 1,
       "Tamrisk: 設定ファイル「" + settings.string() +
           "」を読み込めません。設定は変更していません。\nレコードが足りません（3行しかありません"},
      {"settings gone when opened", settings, VanishAtFirstOpen(settings), 1,
       "」を読み込めません。設定は変更していません。\nファイルを開けません（"},
      {"background cut inside its first chunk", project_ / "bg.png",
       ShrinkAtFirstRead(project_ / "bg.png", 20), 0,
       "Tamrisk: 背景の画像を読み込めません: " + (project_ / "bg.png").string() +
           "\nTamrisk: PNGファイルが途中で終わっています。\n"},
      {"pattern gone when opened", project_ / "walk1.png",
       VanishAtFirstOpen(project_ / "walk1.png"), 0,
       "Tamrisk: パターン１の画像を読み込めません: " + (project_ / "walk1.png").string() +
           "\nTamrisk: 「" + (project_ / "walk1.png").string() + "」を開けません（"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(out);
    const std::string original = cli::ReadFile(c.changed);
    const Snapshot before = TakeSnapshot(project_);
    cli::Invocation how;
    how.environment = c.environment;
    const cli::Result r = Export(settings, out, how);
    SCOPED_TRACE(cli::Describe(r));
    EXPECT_EQ(r.status, c.status);
    EXPECT_TRUE(Contains(r.err, c.message));
    // A refused settings file is refused before anything is written.
    EXPECT_EQ(fs::exists(out), c.status == 0);
    // Only the file the fault changed differs (or is gone).
    Snapshot expected = before;
    const std::string name = c.changed.filename().string();
    if (!fs::exists(c.changed)) {
      expected.erase(name);
    }
    EXPECT_EQ(Differences(expected, TakeSnapshot(project_), {name}), "");
    cli::WriteFile(c.changed, original);
  }
}

TEST_F(EditorFaults, FilesThatCannotBeRead) {
  // /proc/self/mem is a regular file whose reads at offset 0 fail (EIO).
  const fs::path out = dir_ / "out";
  cli::Result r = Export("/proc/self/mem", out);
  EXPECT_EQ(r.status, 1) << cli::Describe(r);
  EXPECT_TRUE(
      Contains(r.err, "」を読み込めません。設定は変更していません。\nファイルを読めません（"))
      << cli::Describe(r);
  EXPECT_FALSE(fs::exists(out));

  std::string text = cli::ReadFile(project_ / "walker.pst");
  text.replace(0, text.find('\r'), "\"/proc/self/mem\"");
  cli::WriteFile(project_ / "mem.pst", text);
  r = Export(project_ / "mem.pst", out);
  EXPECT_EQ(r.status, 0) << cli::Describe(r);
  EXPECT_TRUE(Contains(
      r.err, "Tamrisk: 背景の画像を読み込めません: /proc/self/mem\nTamrisk: 画像を読めません（"))
      << cli::Describe(r);
}

// The bounds: a settings file is read only up to 4 MiB and refused beyond,
// by its size when it has one; a layer picture of more than 2^28 pixels or
// with a side longer than 2^20 is refused before any pixel memory is taken,
// and one within the limits whose memory cannot be had is refused as well.
// Memory is limited to kBaseline (the program with Qt loaded, about 128 MB of
// address space for a whole export) and what the case allows; processor time
// to kCpuSeconds.
constexpr long long kBaseline = 192 * kMiB;
constexpr long long kCpuSeconds = 60;

cli::Invocation Bounded(long long memory) {
  return faults::Bounded(kBaseline, memory, kCpuSeconds);
}

TEST_F(EditorFaults, SettingsFileOfAGigabyteOfCommas) {
  const fs::path file = project_ / "commas.pst";
  cli::WriteFile(file, std::string(kMiB, ','));
  fs::resize_file(file, 1024 * kMiB);  // the rest is sparse
  const fs::path out = dir_ / "out";
  const cli::Result r = Export(file, out, Bounded(16 * kMiB));
  EXPECT_EQ(r.status, 1) << cli::Describe(r);
  EXPECT_TRUE(Contains(r.err,
                       "ファイルが大きすぎます（1073741824 バイト。設定ファイルは 4194304 "
                       "バイトまでです）。"))
      << cli::Describe(r);
  EXPECT_FALSE(fs::exists(out));
}

TEST_F(EditorFaults, LargestSettingsFilesOfCommasAndLineEnds) {
  // Files at the size limit made of what costs a parser the most memory: a
  // field or a line for every byte. They are read within a few megabytes.
  std::string layers;
  for (int i = 0; i < 11; ++i) {
    layers += "\"\"\r\n";
  }
  const std::string main_record = "0,0,0,\"\",\"\",\"\",\"\",\"\"\r\n";
  const auto filled = [](const std::string& head, char c, const std::string& tail) {
    return head + std::string(static_cast<std::size_t>(4 * kMiB) - head.size() - tail.size(), c) +
           tail;
  };
  const std::string layer_tail = "\r\n" + layers.substr(4) + main_record;
  const long long main_commas = 4 * kMiB - static_cast<long long>(layers.size());
  const struct {
    const char* name;
    std::string text;
    std::string message;
  } kCases[] = {
      {"a main record of commas", filled(layers, ',', ""),
       "(12行目) メインレコードの項目数が正しくありません（8個必要なところ" +
           std::to_string(main_commas + 1) + "個）。"},
      {"a layer record of commas", filled("", ',', layer_tail),
       "(1行目) レイヤーのレコードの項目数が正しくありません（1個必要なところ" +
           std::to_string(4 * kMiB - static_cast<long long>(layer_tail.size()) + 1) + "個）。"},
      {"line ends before the background record", filled(layers + main_record, '\n', "x"),
       "(13行目) 背景のレコードの項目数が正しくありません（4個必要なところ1個）。"},
      {"line ends before the main record", filled("", '\n', main_record),
       "(12行目) メインレコードの項目数が正しくありません（8個必要なところ1個）。"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(static_cast<long long>(c.text.size()), 4 * kMiB);
    cli::WriteFile(project_ / "big.pst", c.text);
    const fs::path out = dir_ / "out";
    const cli::Result r = Export(project_ / "big.pst", out, Bounded(32 * kMiB));
    EXPECT_EQ(r.status, 1) << cli::Describe(r);
    EXPECT_TRUE(Contains(r.err, c.message)) << cli::Describe(r);
    EXPECT_FALSE(fs::exists(out));
  }
}

TEST_F(EditorFaults, LayerPicturesWhoseHeaderClaimsTooMuch) {
  const struct {
    const char* name;
    unsigned long width;
    unsigned long height;
    std::string message;
  } kCases[] = {
      {"2^31 x 2^31", 0x80000000ul, 0x80000000ul, "PNGファイルが壊れています（"},
      {"(2^31 - 1) x (2^31 - 1)", 0x7FFFFFFFul, 0x7FFFFFFFul,
       "画像が大きすぎます（2147483647 × 2147483647 ピクセル）。"},
      {"a side of 2^20 + 1", 0x100001ul, 1, "画像が大きすぎます（1048577 × 1 ピクセル）。"},
      {"2^28 + 2^14 pixels", 16384, 16385, "画像が大きすぎます（16384 × 16385 ピクセル）。"},
      {"2^28 pixels, more memory than the limit", 16384, 16384,
       // Without a limit (under ASan) the memory is had and the pixels are missing.
       UnderAddressSanitizer() ? "PNGファイルが壊れています（Not enough image data）。"
                               : "画像のメモリを確保できません（16384 × 16384 ピクセル）。"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    cli::WriteFile(project_ / "huge.png", PngHeaderOnly(c.width, c.height));
    const cli::Result r = Execute(FAULT_PROBE_PATH, {"read-png", (project_ / "huge.png").string()},
                                  project_, Bounded(256 * kMiB));
    SCOPED_TRACE(cli::Describe(r));
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(StartsWith(r.err, c.message));
  }
}

TEST_F(EditorFaults, LayerPicturesWhoseChunksClaimTooMuch) {
  // A picture of a hundred bytes whose next chunk claims 2^31 - 1 bytes: it
  // is skipped, not held in memory, and the file ends inside it.
  const std::string header = PngHeaderOnly(2, 1);
  const std::string start = header.substr(0, 8 + 12 + 13);  // signature and IHDR
  for (const char* type : {"tEXt", "zTXt", "iTXt", "iCCP", "eXIf", "prVt"}) {
    SCOPED_TRACE(type);
    cli::WriteFile(project_ / "claim.png",
                   start + cli::BigEndian32(0x7FFFFFFFu) + type + std::string(64, 'x'));
    const cli::Result r = Execute(FAULT_PROBE_PATH, {"read-png", (project_ / "claim.png").string()},
                                  project_, Bounded(16 * kMiB));
    SCOPED_TRACE(cli::Describe(r));
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(StartsWith(r.err, "PNGファイルが途中で終わっています。"));
  }
}

}  // namespace
}  // namespace faults
