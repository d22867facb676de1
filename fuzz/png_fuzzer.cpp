// libFuzzer target: the PNG reader of the layer canvases.
//
// Each input is decoded twice: as it is, from memory (read_png over a
// QBuffer), and with the CRC of every whole chunk repaired, from a file
// (ReadPNGFile, as a settings file's layer is loaded). The first sees what
// mutations do to the framing; the second lets them past the CRC check into
// the decoder.
//
// Checked besides crashes: a decoded picture is a Format_RGB32 image within
// the reader's size limits; a refusal comes with a message and leaves the
// canvas exactly as it was; and where repairing changed nothing, both ways
// agree on the outcome and on every pixel.
#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "fuzz_workspace.h"
#include "platform/png_codec.h"
#include "render/read_png_file.h"

namespace {

constexpr char kTarget[] = "png_fuzzer";

[[noreturn]] void Fail(const char* what) {
  fuzz::Fail(kTarget, what);
}

// A canvas with something on it, to see that a refusal leaves it alone.
QImage Canvas() {
  QImage canvas(3, 2, QImage::Format_RGB32);
  canvas.fill(qRgb(1, 2, 3));
  return canvas;
}

// Checks one outcome; true when the picture was decoded.
bool Check(bool ok, const QImage& picture, qint64 old_key, const QString& error) {
  if (!ok) {
    if (error.isEmpty()) {
      Fail("a refusal without a message");
    }
    if (picture.cacheKey() != old_key) {
      Fail("a refusal changed the canvas");
    }
    return false;
  }
  if (picture.isNull() || picture.format() != QImage::Format_RGB32) {
    Fail("a decoded picture is no RGB32 image");
  }
  if (static_cast<quint32>(picture.width()) > tamrisk::kMaxPngSide ||
      static_cast<quint32>(picture.height()) > tamrisk::kMaxPngSide ||
      qint64{picture.width()} * picture.height() > tamrisk::kMaxPngPixels) {
    Fail("a decoded picture beyond the size limits");
  }
  return true;
}

// Pictures the reader accepts may take up to a gigabyte of pixels. A handful
// of such inputs, with ASan holding freed memory back for a while, exhaust
// the fuzzer's memory limit without anything being wrong, so inputs whose
// header claims more than this many pixels but no more than the reader's
// limit are skipped. Claims beyond the limit are kept: they are refused
// before anything is allocated. The large sizes are tried by the fault tests.
constexpr qint64 kMostPixelsTried = qint64{1} << 22;

bool ClaimsALargeAcceptablePicture(const std::uint8_t* data, std::size_t size) {
  // Signature (8), length (4), "IHDR" (4), width (4), height (4).
  if (size < 24 || std::memcmp(data + 12, "IHDR", 4) != 0) {
    return false;
  }
  const std::uint32_t width = fuzz::ReadBigEndian32(data + 16);
  const std::uint32_t height = fuzz::ReadBigEndian32(data + 20);
  if (width > tamrisk::kMaxPngSide || height > tamrisk::kMaxPngSide) {
    return false;
  }
  const qint64 pixels = qint64{width} * qint64{height};  // at most 2^40
  return pixels <= tamrisk::kMaxPngPixels && pixels > kMostPixelsTried;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const fuzz::Workspace workspace(kTarget, {}, {});
  static const QString path = QString::fromStdString((workspace.Path() / "layer.png").string());
  const std::string_view raw(reinterpret_cast<const char*>(data), size);
  if (ClaimsALargeAcceptablePicture(data, size)) {
    return -1;  // not added to the corpus
  }

  QBuffer buffer;
  buffer.setData(raw.data(), static_cast<qsizetype>(raw.size()));
  buffer.open(QIODevice::ReadOnly);
  QImage from_memory = Canvas();
  const qint64 memory_key = from_memory.cacheKey();
  QString memory_error;
  const bool memory_ok = Check(tamrisk::read_png(buffer, &from_memory, &memory_error), from_memory,
                               memory_key, memory_error);

  const std::string repaired = fuzz::RepairChunkCrcs(raw);
  {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(repaired.data(), static_cast<qint64>(repaired.size())) !=
            static_cast<qint64>(repaired.size())) {
      Fail("cannot write the picture file");
    }
  }
  QImage from_file = Canvas();
  const qint64 file_key = from_file.cacheKey();
  QString file_error;
  const bool file_ok =
      Check(tamrisk::ReadPNGFile(from_file, path, &file_error), from_file, file_key, file_error);

  if (repaired == raw) {
    if (memory_ok != file_ok) {
      Fail("memory and file disagree on the outcome");
    }
    if (memory_ok && from_memory != from_file) {
      Fail("memory and file disagree on the pixels");
    }
  }
  return 0;
}
