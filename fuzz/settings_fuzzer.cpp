// libFuzzer target: reads arbitrary bytes as a settings file and applies what
// the reader accepts to a fresh project, as loading does.
//
// Relative paths in the input are taken from a private folder that holds small
// real pictures (PNG with and without alpha, BMP, a broken PNG, one whose
// header claims 100000 x 100000 pixels, a text file) and two folders, so that
// the layer records reach the real picture readers. Pictures outside that
// folder are refused by the harness: an input may name any path.
//
// Checked besides crashes: a refused file comes with a message; an applied one
// leaves a model within its own rules (at most 91 frames, every canvas a
// picture in Format_RGB32, the frame canvas the size of the background); and
// the model saved as text reads back to the same values.
#include <QBuffer>
#include <QByteArray>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_workspace.h"
#include "model/project_model.h"
#include "model/settings_file.h"
#include "render/read_png_file.h"

namespace {

constexpr char kTarget[] = "settings_fuzzer";

[[noreturn]] void Fail(const char* what) {
  fuzz::Fail(kTarget, what);
}

std::string Encoded(const QImage& image, const char* format) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, format)) {
    Fail("cannot make the sample pictures");
  }
  return bytes.toStdString();
}

// A PNG signature and an IHDR chunk for 100000 x 100000 8-bit RGB, no pixels.
std::string HugeHeader() {
  std::string png("\x89PNG\r\n\x1A\n", 8);
  png += std::string("\0\0\0\x0DIHDR\0\x01\x86\xA0\0\x01\x86\xA0\x08\x02\0\0\0", 21);
  png += std::string(4, '\0');  // the CRC, filled in below
  return fuzz::RepairChunkCrcs(png);
}

std::vector<fuzz::SampleFile> Samples() {
  QImage background(6, 4, QImage::Format_RGB32);
  background.fill(qRgb(10, 120, 200));
  QImage sprite(3, 3, QImage::Format_ARGB32);
  sprite.fill(qRgba(200, 30, 30, 255));
  sprite.setPixel(0, 0, qRgba(0, 0, 0, 0));
  sprite.setPixel(2, 2, qRgba(0, 255, 0, 128));
  QImage bitmap(2, 5, QImage::Format_RGB32);
  bitmap.fill(qRgb(1, 2, 3));
  const std::string sprite_png = Encoded(sprite, "PNG");
  return {
      {"bg.png", Encoded(background, "PNG")},
      {"walk.png", sprite_png},
      {"UPPER.PNG", sprite_png},
      {"pic.bmp", Encoded(bitmap, "BMP")},
      {"broken.png", sprite_png.substr(0, sprite_png.size() / 2)},
      {"huge.png", HugeHeader()},
      {"notes.txt", "not a picture\r\n"},
  };
}

const fuzz::Workspace& Folder() {
  static const fuzz::Workspace workspace(kTarget, Samples(), {"out", "dir.png"});
  return workspace;
}

// Whether path names a file inside the private folder.
bool Inside(const QString& path) {
  static const QString root =
      QFileInfo(QString::fromStdString(Folder().Path().string())).canonicalFilePath() + '/';
  return QFileInfo(path).canonicalFilePath().startsWith(root);
}

tamrisk::PictureReaders Readers() {
  tamrisk::PictureReaders readers;
  readers.png = [](QImage& canvas, const QString& path, QString* why) {
    return Inside(path) && tamrisk::ReadPNGFile(canvas, path, why);
  };
  readers.other = [](QImage& canvas, const QString& path, QString* why) {
    return Inside(path) && tamrisk::read_picture(canvas, path, why);
  };
  return readers;
}

void CheckModel(const tamrisk::ProjectModel& model) {
  for (const QImage& picture : model.pic) {
    if (picture.isNull() || picture.format() != QImage::Format_RGB32) {
      Fail("a layer canvas is no RGB32 picture");
    }
  }
  if (model.win_main.size() != model.pic[tamrisk::kBackground].size()) {
    Fail("the frame canvas is not the size of the background");
  }
  if (model.frame_count() > tamrisk::kMaxFrames) {
    Fail("more frames than the tables hold");
  }
  const tamrisk::Range x = model.adjust_x_range();
  const tamrisk::Range y = model.adjust_y_range();
  if (model.adjust_x() < x.min || model.adjust_x() > x.max || model.adjust_y() < y.min ||
      model.adjust_y() > y.max || model.sc_bar() < tamrisk::kScBarMin ||
      model.sc_bar() > tamrisk::kScBarMax) {
    Fail("a placement value outside its range");
  }
}

// Saves the model as text, reads it back and compares every stored value.
void CheckRoundTrip(const tamrisk::ProjectModel& model) {
  tamrisk::SettingsRecords again;
  QString error;
  if (!tamrisk::parse_settings_text(tamrisk::format_settings(model), &again, &error)) {
    Fail("a model saved as text does not read back");
  }
  if (again.layer_path != model.layer_path) {
    Fail("layer paths change in a round trip");
  }
  if (again.adjust_x != model.adjust_x() || again.adjust_y != model.adjust_y() ||
      again.sc_bar != model.sc_bar()) {
    Fail("placement changes in a round trip");
  }
  if (again.pattern_anime != model.pattern_anime() || again.output_drive != model.output_drive ||
      again.output_dir != model.output_dir || again.basename != model.basename ||
      again.path_ref != model.path_ref) {
    Fail("a text of the main record changes in a round trip");
  }
  if (again.offsets.size() != static_cast<std::size_t>(model.frame_count())) {
    Fail("the number of frame records changes in a round trip");
  }
  for (std::size_t k = 0; k < again.offsets.size(); ++k) {
    if (again.offsets[k].x != model.frame_dx[k] || again.offsets[k].y != model.frame_dy[k]) {
      Fail("a frame offset changes in a round trip");
    }
  }
  if (!again.background || again.background->from_file != model.bg_from_file ||
      again.background->colour != model.bg_colour || again.background->width != model.bg_width ||
      again.background->height != model.bg_height) {
    Fail("the background record changes in a round trip");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const fuzz::Workspace& folder = Folder();
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  tamrisk::SettingsRecords records;
  QString error;
  if (!tamrisk::parse_settings(bytes, &records, &error)) {
    if (error.isEmpty()) {
      Fail("a refused file without a message");
    }
    return 0;
  }
  const QString base = QString::fromStdString(folder.Path().string());
  tamrisk::ProjectModel model(base);
  QStringList warnings;
  tamrisk::apply_settings(model, records, base, Readers(), &warnings);
  CheckModel(model);
  CheckRoundTrip(model);
  if (folder.CountEntries() != folder.InitialEntries()) {
    Fail("loading wrote into the folder");
  }
  return 0;
}
