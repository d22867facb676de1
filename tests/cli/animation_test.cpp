// End to end: real PNG frames, a script in the editor's form, the compiled
// animation checked byte for byte and by independent MNG readers (pngcheck,
// Qt's libmng-based image plugin, ImageMagick).

#include <QByteArray>
#include <QImageReader>
#include <QString>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "images.h"
#include "run_vessik.h"

namespace cli {
namespace {

constexpr int kWidth = 24;
constexpr int kHeight = 16;
constexpr int kFrames = 3;

std::string Bytes(std::initializer_list<unsigned char> bytes) {
  return std::string(bytes.begin(), bytes.end());
}

// Chunks as published with their CRCs, not built by our helper.
const std::string kLoopForever = Bytes({0x00, 0x00, 0x00, 0x05, 0x4C, 0x4F, 0x4F, 0x50, 0x01, 0x7F,
                                        0xFF, 0xFF, 0xFF, 0x9E, 0x5D, 0x86, 0xF3});
const std::string kEndl =
    Bytes({0x00, 0x00, 0x00, 0x01, 0x45, 0x4E, 0x44, 0x4C, 0x01, 0x71, 0xA2, 0x1A, 0xA9});
const std::string kMend =
    Bytes({0x00, 0x00, 0x00, 0x00, 0x4D, 0x45, 0x4E, 0x44, 0x21, 0x20, 0xF7, 0xD5});

TEST(ChunkHelper, AgreesWithPublishedBytes) {
  EXPECT_EQ(Crc32("123456789"), 0xCBF43926u);
  EXPECT_EQ(Chunk("IEND", ""), Bytes({0, 0, 0, 0, 0x49, 0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82}));
  EXPECT_EQ(Chunk("LOOP", Bytes({0x01, 0x7F, 0xFF, 0xFF, 0xFF})), kLoopForever);
  EXPECT_EQ(Chunk("MEND", ""), kMend);
  EXPECT_EQ(Chunk("MHDR", Bytes({0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 10}) + std::string(16, '\0')),
            SmallScriptOutput().substr(8, 40));
}

class Animation : public testing::Test {
 protected:
  // Writes kFrames frames into folder; the middle one as a palette PNG, as
  // the editor stores frames of few colours.
  void MakeFrames(const fs::path& folder) {
    fs::create_directories(folder);
    for (int i = 0; i < kFrames; ++i) {
      QImage image = MakeFrame(kWidth, kHeight, i);
      if (i == 1) {
        image = image.convertToFormat(QImage::Format_Indexed8);
      }
      const fs::path path = folder / ("frame" + std::to_string(i + 1) + ".png");
      png_.push_back(SavePng(path, image));
      frames_.push_back(QImage(QString::fromStdString(path.string()), "PNG"));
      paths_.push_back(path);
    }
  }

  // A script as the editor writes it, with the given loop lines around the
  // frames (none when loop is empty).
  std::string Script(const std::string& output, const std::string& loop, const std::string& endl,
                     bool bare_names) const {
    std::vector<std::string> lines = {
        "# MNG=" + output,
        "MHDR  " + std::to_string(kWidth) + "  " + std::to_string(kHeight) + " 10 0 0 0 0"};
    if (!loop.empty()) {
      lines.push_back(loop);
    }
    for (const fs::path& p : paths_) {
      lines.push_back("IHDR " + (bare_names ? p.filename().string() : p.string()));
    }
    if (!endl.empty()) {
      lines.push_back(endl);
    }
    lines.push_back("MEND");
    return CrLf(lines);
  }

  std::string Embedded() const {
    std::string bytes;
    for (const std::string& png : png_) {
      EXPECT_EQ(png.substr(0, 8), kPngSignature);
      bytes += png.substr(8);
    }
    return bytes;
  }

  static std::string Head() {
    return kMngSignature + Chunk("MHDR", BigEndian32(kWidth) + BigEndian32(kHeight) +
                                             BigEndian32(10) + std::string(16, '\0'));
  }

  // Compiles script at path and expects success.
  void Compile(const fs::path& script_path, const std::string& script, const std::string& name) {
    WriteFile(script_path, script);
    const Result r = RunVessik({script_path.string()}, dir_.path());
    ASSERT_EQ(r.status, 0) << Describe(r);
    ASSERT_EQ(r.out, Done(name));
    ASSERT_EQ(r.err, "");
  }

  // Decodes frames with Qt's MNG plugin and compares them with the frames in
  // order, count frames in all (the sequence repeats when count is larger).
  void ExpectQtDecodes(const fs::path& mng, int count, bool more) {
    SCOPED_TRACE("Qt's MNG reader");
    QImageReader reader(QString::fromStdString(mng.string()), "mng");
    ASSERT_TRUE(reader.canRead()) << reader.errorString().toStdString();
    EXPECT_TRUE(reader.supportsAnimation());
    for (int k = 0; k < count; ++k) {
      SCOPED_TRACE("frame " + std::to_string(k));
      const QImage image = reader.read();
      ASSERT_FALSE(image.isNull()) << reader.errorString().toStdString();
      EXPECT_EQ(FirstDifference(image, frames_[static_cast<std::size_t>(k % kFrames)]), "");
    }
    if (!more) {
      EXPECT_TRUE(reader.read().isNull()) << "a frame beyond the end";
    }
  }

  void ExpectMagickDecodes(const fs::path& mng, int count) {
    SCOPED_TRACE("ImageMagick");
    const char* program = OnPath("convert") ? "convert" : "magick";
    TempDir out;
    Invocation how;
    how.program = program;
    how.args = {mng.string(), (out / "frame-%02d.png").string()};
    how.cwd = out.path();
    const Result r = RunProgram(how);
    ASSERT_EQ(r.status, 0) << Describe(r);
    ASSERT_EQ(Names(out.path()).size(), static_cast<std::size_t>(count));
    for (int k = 0; k < count; ++k) {
      SCOPED_TRACE("frame " + std::to_string(k));
      char name[32];
      std::snprintf(name, sizeof name, "frame-%02d.png", k);
      const QImage image(QString::fromStdString((out / name).string()), "PNG");
      ASSERT_FALSE(image.isNull());
      EXPECT_EQ(FirstDifference(image, frames_[static_cast<std::size_t>(k % kFrames)]), "");
    }
  }

  TempDir dir_;
  std::vector<std::string> png_;
  std::vector<QImage> frames_;
  std::vector<fs::path> paths_;
};

bool HaveQtMng() {
  return QImageReader::supportedImageFormats().contains(QByteArray("mng"));
}
bool HaveMagick() {
  return OnPath("convert") || OnPath("magick");
}

TEST_F(Animation, EditorScriptGivesTheExactStream) {
  const struct {
    const char* name;
    const char* folder;
    bool bare_names;
  } kCases[] = {
      {"full paths", "out", false},
      {"bare names in a folder with a blank", "out put", true},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    png_.clear();
    frames_.clear();
    paths_.clear();
    const fs::path folder = dir_ / c.folder;
    MakeFrames(folder);
    ASSERT_NO_FATAL_FAILURE(Compile(
        folder / "anim_mng.txt",
        Script("mng_qoya.mng", "LOOP 1 0x7fffffff", "ENDL 1", c.bare_names), "mng_qoya.mng"));
    EXPECT_EQ(ReadFile(folder / "mng_qoya.mng"),
              Head() + kLoopForever + Embedded() + kEndl + kMend);
    EXPECT_EQ(Names(folder), (std::set<std::string>{"anim_mng.txt", "frame1.png", "frame2.png",
                                                    "frame3.png", "mng_qoya.mng"}));
  }
}

TEST_F(Animation, PngcheckAcceptsTheStream) {
  if (!OnPath("pngcheck")) {
    GTEST_SKIP() << "pngcheck is not installed (scripts/setup.sh installs it)";
  }
  MakeFrames(dir_.path());
  const struct {
    const char* name;
    const char* loop;
    const char* endl;
  } kCases[] = {
      {"endless loop", "LOOP 1 0x7fffffff", "ENDL 1"},
      {"two rounds", "LOOP 1 2", "ENDL 1"},
      {"no loop", "", ""},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    ASSERT_NO_FATAL_FAILURE(
        Compile(dir_ / "s.txt", Script("anim.mng", c.loop, c.endl, true), "anim.mng"));
    fs::path mng = dir_ / "anim.mng";
    Invocation how;
    how.program = "pngcheck";
    how.args = {mng.string()};
    const Result r = RunProgram(how);
    EXPECT_EQ(r.status, 0) << Describe(r);
    fs::remove(mng);
  }
}

TEST_F(Animation, QtDecodesEveryFrameOfAnEndlessLoop) {
  if (!HaveQtMng()) {
    GTEST_SKIP() << "Qt's MNG image plugin is not installed (qt6-image-formats-plugins)";
  }
  MakeFrames(dir_.path());
  ASSERT_NO_FATAL_FAILURE(Compile(
      dir_ / "s.txt", Script("anim.mng", "LOOP 1 0x7fffffff", "ENDL 1", false), "anim.mng"));
  // Twice round and on: the loop starts over with the first frame.
  ExpectQtDecodes(dir_ / "anim.mng", 2 * kFrames + 1, true);
}

TEST_F(Animation, FiniteAnimationsDecodeAlike) {
  const bool qt = HaveQtMng();
  const bool magick = HaveMagick();
  if (!qt && !magick) {
    GTEST_SKIP() << "neither Qt's MNG plugin nor ImageMagick is installed";
  }
  MakeFrames(dir_.path());
  const struct {
    const char* name;
    const char* loop;
    const char* endl;
    int frames;
  } kCases[] = {
      {"no loop", "", "", kFrames},
      {"two rounds", "LOOP 1 2", "ENDL 1", 2 * kFrames},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    ASSERT_NO_FATAL_FAILURE(
        Compile(dir_ / "s.txt", Script("anim.mng", c.loop, c.endl, true), "anim.mng"));
    if (qt) {
      ExpectQtDecodes(dir_ / "anim.mng", c.frames, false);
    }
    if (magick) {
      ExpectMagickDecodes(dir_ / "anim.mng", c.frames);
    }
    fs::remove(dir_ / "anim.mng");
  }
  if (!qt || !magick) {
    GTEST_SKIP() << (qt ? "ImageMagick" : "Qt's MNG plugin")
                 << " is not installed: checked one reader only";
  }
}

}  // namespace
}  // namespace cli
