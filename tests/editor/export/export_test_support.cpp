#include "export_test_support.h"

#include <gtest/gtest.h>

#include "anim/animation_encoder.h"
#include "anim/frame_delta.h"

#include <webp/demux.h>

#include <cstdlib>

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtEndian>

#include <unistd.h>

#include <algorithm>
#include <cmath>

void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

namespace export_test {

bool Feeder::add(const QImage& frame, QString* error, int periods) {
  const QRect changed = previous_.isNull() ? frame.rect() : tamrisk::changed_rect(previous_, frame);
  previous_ = frame;
  return encoder_.add(tamrisk::FrameStep{frame, changed, periods}, error);
}

bool Feeder::finish(const QString& path, QString* error) {
  QByteArray bytes;
  if (!encoder_.finish(&bytes, error)) {
    return false;
  }
  write_file(path, bytes);
  return true;
}

QByteArray read_file(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(cannot be read)");
}

void write_file(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
    qFatal("cannot write %s", qPrintable(path));
  }
}

void write_program(const QString& path, const QByteArray& body) {
  write_file(path, "#!/bin/sh\n" + body);
  QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner);
}

QStringList names_in(const QString& folder) {
  return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

bool ignores_permissions() {
  return geteuid() == 0;
}

namespace {

// The programs found missing, and the test that looked for them.
struct Missing {
  std::string test;
  QStringList programs;
};
Missing& missing() {
  static Missing m;
  const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
  const std::string test =
      info != nullptr ? info->test_suite_name() + std::string(".") + info->name() : std::string();
  if (m.test != test) {
    m = Missing{test, {}};
  }
  return m;
}

}  // namespace

bool installed(const char* program) {
  if (!QStandardPaths::findExecutable(QString::fromLatin1(program)).isEmpty()) {
    return true;
  }
  QStringList& programs = missing().programs;
  if (!programs.contains(QString::fromLatin1(program))) {
    programs << QString::fromLatin1(program);
  }
  return false;
}

QString missing_readers() {
  return missing().programs.join(QStringLiteral(", "));
}

QString pngcheck_complaint(const QString& path) {
  if (!installed("pngcheck")) {
    return QString();
  }
  QProcess process;
  process.start("pngcheck", {path});
  process.waitForFinished(30000);
  const bool ok = process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
  return ok ? QString() : QString::fromLocal8Bit(process.readAll());
}

std::vector<QImage> decode_mng(const QString& path, int count) {
  std::vector<QImage> frames;
  QImageReader reader(path, "mng");
  for (QImage image;
       static_cast<int>(frames.size()) < count && !(image = reader.read()).isNull();) {
    frames.push_back(image);
  }
  return frames;
}

QString first_difference(const QImage& actual, const QImage& expected) {
  if (actual.size() != expected.size()) {
    return QStringLiteral("size %1x%2").arg(actual.width()).arg(actual.height());
  }
  for (int y = 0; y < actual.height(); ++y) {
    for (int x = 0; x < actual.width(); ++x) {
      if (actual.pixel(x, y) != expected.pixel(x, y)) {
        return QStringLiteral("pixel (%1, %2)").arg(x).arg(y);
      }
    }
  }
  return QString();
}

int colour_count(const QImage& image) {
  QSet<QRgb> colours;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      colours.insert(image.pixel(x, y));
    }
  }
  return static_cast<int>(colours.size());
}

double psnr(const QImage& actual, const QImage& expected) {
  double sum = 0;
  for (int y = 0; y < actual.height(); ++y) {
    for (int x = 0; x < actual.width(); ++x) {
      const QRgb p = actual.pixel(x, y);
      const QRgb q = expected.pixel(x, y);
      const double dr = qRed(p) - qRed(q), dg = qGreen(p) - qGreen(q), db = qBlue(p) - qBlue(q);
      sum += dr * dr + dg * dg + db * db;
    }
  }
  const double mse = sum / (3.0 * actual.width() * actual.height());
  return mse == 0 ? 99 : 10 * std::log10(255.0 * 255.0 / mse);
}

Shown read_with_qt(const QString& path, const char* format) {
  Shown shown;
  QImageReader reader(path, format);
  for (QImage image; shown.frames.size() < 1000 && !(image = reader.read()).isNull();) {
    shown.frames.push_back(image);
    shown.delays.push_back((reader.nextImageDelay() + 5) / 10);  // libmng adds 1 ms
  }
  shown.loop = reader.loopCount();
  shown.image_count = reader.imageCount();
  return shown;
}

namespace {

// What the program writes on its standard output.
QString output_of(const QString& program, const QStringList& arguments, const QString& cwd = {}) {
  QProcess process;
  process.setWorkingDirectory(cwd);
  process.start(program, arguments);
  process.waitForFinished(60000);
  return QString::fromLocal8Bit(process.readAllStandardOutput());
}

// The images in folder whose names match pattern, in order of their names.
std::vector<QImage> images_in(const QString& folder, const QString& pattern) {
  std::vector<QImage> images;
  for (const QString& name : QDir(folder).entryList({pattern}, QDir::Files, QDir::Name)) {
    images.push_back(QImage(QDir(folder).filePath(name)));
  }
  return images;
}

}  // namespace

Shown read_with_magick(const QString& path) {
  Shown shown;
  QTemporaryDir out;
  output_of("convert", {path, "-coalesce", out.filePath("frame%03d.png")});
  shown.frames = images_in(out.path(), "frame*.png");
  for (const QString& delay : output_of("identify", {"-format", "%T\n", path}).split('\n')) {
    if (!delay.isEmpty()) {
      shown.delays.push_back(delay.toInt());
    }
  }
  const QString verbose = output_of("identify", {"-verbose", path});
  const qsizetype at = verbose.indexOf("Iterations: ");
  shown.loop = at < 0 ? -1 : verbose.mid(at + 12, 12).section('\n', 0, 0).toInt();
  return shown;
}

Shown read_with_apngdis(const QString& path) {
  Shown shown;
  const QByteArray bytes = read_file(path);
  const qsizetype at = bytes.indexOf("acTL");
  shown.loop = at < 0 ? -1 : qFromBigEndian<qint32>(bytes.constData() + at + 8);
  QTemporaryDir out;  // apngdis writes beside the file
  write_file(out.filePath("anim.png"), bytes);
  output_of("apngdis", {"anim.png"}, out.path());
  shown.frames = images_in(out.path(), "apngframe*.png");
  const QRegularExpression delay("delay=(\\d+)/(\\d+)");
  for (const QString& name : QDir(out.path()).entryList({"apngframe*.txt"}, QDir::Files)) {
    const QRegularExpressionMatch match =
        delay.match(QString::fromLatin1(read_file(out.filePath(name))));
    shown.delays.push_back(match.captured(1).toInt() * 100 /
                           std::max(1, match.captured(2).toInt()));
  }
  return shown;
}

std::vector<QImage> read_with_ffmpeg(const QString& path) {
  QTemporaryDir out;
  QProcess ffmpeg;
  ffmpeg.start("ffmpeg", {"-loglevel", "error", "-i", path, "-vsync", "0", "-f", "image2",
                          out.filePath("%04d.png")});
  ffmpeg.waitForFinished(60000);
  return images_in(out.path(), "*.png");
}

QString sequence_difference(const std::vector<QImage>& shown, const std::vector<QImage>& frames) {
  const auto runs = [](const std::vector<QImage>& images) {
    std::vector<QImage> once;
    for (const QImage& image : images) {
      if (once.empty() || !first_difference(image, once.back()).isEmpty()) {
        once.push_back(image);
      }
    }
    return once;
  };
  const std::vector<QImage> a = runs(shown);
  const std::vector<QImage> b = runs(frames);
  for (std::size_t k = 0; k < std::min(a.size(), b.size()); ++k) {
    const QString difference = first_difference(a[k], b[k]);
    if (!difference.isEmpty()) {
      return QStringLiteral("picture %1: %2").arg(k).arg(difference);
    }
  }
  return a.size() == b.size() ? QString()
                              : QStringLiteral("%1 pictures, not %2").arg(a.size()).arg(b.size());
}

Shown read_with_webp(const QString& path) {
  Shown shown;
  const QByteArray bytes = read_file(path);
  WebPData data{reinterpret_cast<const uint8_t*>(bytes.constData()),
                static_cast<size_t>(bytes.size())};
  WebPAnimDecoderOptions options;
  if (!WebPAnimDecoderOptionsInit(&options)) {
    return shown;
  }
  options.color_mode = MODE_BGRA;
  WebPAnimDecoder* decoder = WebPAnimDecoderNew(&data, &options);
  if (decoder == nullptr) {
    return shown;
  }
  WebPAnimInfo info;
  WebPAnimDecoderGetInfo(decoder, &info);
  shown.loop = static_cast<int>(info.loop_count);
  int before = 0;
  uint8_t* pixels = nullptr;
  int timestamp = 0;
  while (WebPAnimDecoderHasMoreFrames(decoder) &&
         WebPAnimDecoderGetNext(decoder, &pixels, &timestamp)) {
    const QImage frame(pixels, static_cast<int>(info.canvas_width),
                       static_cast<int>(info.canvas_height), QImage::Format_ARGB32);
    shown.frames.push_back(frame.convertToFormat(QImage::Format_RGB32));
    // Each frame's end in hundredths, rounded as a reader rounds.
    shown.delays.push_back((timestamp + 5) / 10 - (before + 5) / 10);
    before = timestamp;
  }
  WebPAnimDecoderDelete(decoder);
  return shown;
}

QString timing_difference(const Shown& shown, const std::vector<QImage>& frames,
                          const std::vector<int>& delays, int plays) {
  struct Run {
    QImage image;
    int delay = 0;
    int pieces = 0;
  };
  const auto runs_of = [](const std::vector<QImage>& images, const std::vector<int>& times) {
    std::vector<Run> runs;
    for (std::size_t i = 0; i < images.size() && i < times.size(); ++i) {
      if (runs.empty() || !first_difference(images[i], runs.back().image).isEmpty()) {
        runs.push_back({images[i], 0, 0});
      }
      runs.back().delay += times[i];
      ++runs.back().pieces;
    }
    return runs;
  };
  if (shown.delays.size() != shown.frames.size()) {
    return QStringLiteral("%1 delays for %2 frames")
        .arg(shown.delays.size())
        .arg(shown.frames.size());
  }
  const std::vector<Run> wanted = runs_of(frames, delays);
  const std::vector<Run> seen = runs_of(shown.frames, shown.delays);
  if (plays > 0 && seen.size() != wanted.size() * static_cast<std::size_t>(plays)) {
    return QStringLiteral("%1 pictures shown, not %2 plays of %3")
        .arg(seen.size())
        .arg(plays)
        .arg(wanted.size());
  }
  for (std::size_t k = 0; k < wanted.size(); ++k) {
    if (k >= seen.size()) {
      return QStringLiteral("only %1 pictures shown").arg(seen.size());
    }
    const QString difference = first_difference(seen[k].image, wanted[k].image);
    if (!difference.isEmpty()) {
      return QStringLiteral("picture %1: %2").arg(k).arg(difference);
    }
    const bool last = plays > 0 && k + 1 == seen.size();
    if (!last && std::abs(seen[k].delay - wanted[k].delay) > seen[k].pieces) {
      return QStringLiteral("picture %1 shown %2 hundredths, not %3")
          .arg(k)
          .arg(seen[k].delay)
          .arg(wanted[k].delay);
    }
  }
  return QString();
}

QString shown_difference(const Shown& shown, const std::vector<QImage>& frames, bool lossy,
                         const std::vector<int>& reduced) {
  if (shown.delays.size() != shown.frames.size()) {
    return QStringLiteral("%1 delays for %2 frames")
        .arg(shown.delays.size())
        .arg(shown.frames.size());
  }
  std::size_t k = 0;
  for (std::size_t at = 0; at < shown.frames.size(); ++at) {
    for (int t = 0; t < shown.delays[at]; t += 10, ++k) {
      if (k >= frames.size()) {
        return QStringLiteral("more than %1 frames shown").arg(frames.size());
      }
      const QImage& frame = frames[k];
      const QString difference = first_difference(shown.frames[at], frame);
      const bool may_differ =
          colour_count(frame) > 256 ||
          std::find(reduced.begin(), reduced.end(), static_cast<int>(k) + 1) != reduced.end();
      if (lossy && may_differ && shown.frames[at].size() == frame.size()) {
        if (psnr(shown.frames[at], frame) < 35) {
          return QStringLiteral("frame %1: %2 dB").arg(k).arg(psnr(shown.frames[at], frame));
        }
      } else if (!difference.isEmpty()) {
        return QStringLiteral("frame %1: %2").arg(k).arg(difference);
      }
    }
  }
  return k == frames.size() ? QString() : QStringLiteral("%1 frames shown").arg(k);
}

}  // namespace export_test
