#pragma once

// Files, independent checkers (pngcheck, Qt's readers, ImageMagick, apngdis)
// and pixel comparison for the export tests.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>

#include <ostream>
#include <vector>

// How GoogleTest shows a QString: as its text.
void PrintTo(const QString& text, std::ostream* out);

namespace tamrisk {
class AnimationEncoder;
}

namespace export_test {

// Hands frames to an encoder as the export does: each with the rectangle
// that changed since the frame before, and its periods.
class Feeder {
 public:
  explicit Feeder(tamrisk::AnimationEncoder& encoder) : encoder_(encoder) {}
  bool add(const QImage& frame, QString* error, int periods = 1);
  // finish(), then the bytes written to path.
  bool finish(const QString& path, QString* error);

 private:
  tamrisk::AnimationEncoder& encoder_;
  QImage previous_;
};

QByteArray read_file(const QString& path);
void write_file(const QString& path, const QByteArray& bytes);
// An executable shell script, for compilers that misbehave.
void write_program(const QString& path, const QByteArray& body);
// The names in folder, sorted.
QStringList names_in(const QString& folder);
// Whether permissions fail to stop this process (root).
bool ignores_permissions();

// Whether a program is installed; when it is not, the test that asked is
// skipped with its name once the rest of it has run (skip_for_missing).
bool installed(const char* program);
// Skips the running test, naming every program installed() found missing;
// nothing when none was. Call it last in the test body.
#define SKIP_FOR_MISSING_READERS()                                              \
  do {                                                                          \
    const QString missing = export_test::missing_readers();                     \
    if (!missing.isEmpty()) {                                                   \
      GTEST_SKIP() << "not installed, so not checked: " << qPrintable(missing); \
    }                                                                           \
  } while (false)
// The programs installed() found missing in the running test.
QString missing_readers();

// pngcheck's complaint; empty when it accepts the file. Without pngcheck:
// empty, and the test is marked for skip_for_missing.
QString pngcheck_complaint(const QString& path);
// The first count frames that Qt's MNG plugin decodes; fewer when it stops.
std::vector<QImage> decode_mng(const QString& path, int count);
// The first pixel that differs, a transparent one from an opaque one too;
// empty when the images agree.
QString first_difference(const QImage& actual, const QImage& expected);

int colour_count(const QImage& image);
// The peak signal-to-noise ratio of actual against expected in dB; 99 when equal.
double psnr(const QImage& actual, const QImage& expected);

// The frames a reader shows, each with its delay in hundredths of a second,
// and how often it plays them (-1 when it says nothing, or for ever for Qt).
struct Shown {
  std::vector<QImage> frames;
  std::vector<int> delays;
  int loop = 0;
  int image_count = 0;  // what Qt's reader says once it has read them
};
// Qt's reader of format ("gif", "mng"), up to 1000 frames.
Shown read_with_qt(const QString& path, const char* format);
// ImageMagick's coalesced frames, its delays (%T) and its "Iterations".
Shown read_with_magick(const QString& path);
// The frames libwebp's animation decoder shows, their delays rounded to
// hundredths, and the file's loop count (0 for ever).
Shown read_with_webp(const QString& path);
// The frames ffmpeg decodes from a file, each once (no delays).
std::vector<QImage> read_with_ffmpeg(const QString& path);
// The first difference between two sequences of pictures, each run of equal
// pictures taken once; empty when they show the same.
QString sequence_difference(const std::vector<QImage>& shown, const std::vector<QImage>& frames);
// The frames apngdis takes out of an APNG, their delays, and acTL's plays.
Shown read_with_apngdis(const QString& path);
// The first mismatch between what a reader shows and frames shown for
// delays (hundredths of a second): consecutive equal pictures count as one
// on both sides, each must be the frame expected, exactly, for its time
// within one hundredth for every image it is made of (a reader rounds each).
// The first play is compared; when plays > 0 the reader must show that many
// plays one after the other (a loop it unrolls), and the time of the last
// picture is not compared (it stays once the animation ends).
QString timing_difference(const Shown& shown, const std::vector<QImage>& frames,
                          const std::vector<int>& delays, int plays);

// Every frame against the frame shown at its time, 10 hundredths of a second
// each: exact, or at least 35 dB where lossy and the frame has more than 256
// colours or is one of `reduced` (numbered from 1). The first mismatch; empty
// when every frame is shown.
QString shown_difference(const Shown& shown, const std::vector<QImage>& frames, bool lossy,
                         const std::vector<int>& reduced = {});

}  // namespace export_test
