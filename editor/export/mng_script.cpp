#include "export/mng_script.h"

#include <QCoreApplication>
#include <QDir>

#include "export/export_paths.h"
#include "model/text_codec.h"
#include "platform/atomic_file.h"

namespace tamrisk {
namespace {

// A number with a place for its sign: a blank before a non-negative value,
// as the MHDR line gives width and height ("MHDR  16  8 ...").
QString signed_text(int value) {
  return value < 0 ? QString::number(value) : QLatin1Char(' ') + QString::number(value);
}

}  // namespace

QString mng_script_text(int width, int height, const QStringList& frame_names,
                        const AnimationTiming& timing, const std::vector<int>& holds) {
  const QString kEnd = QStringLiteral("\r\n");
  QString text = QStringLiteral("# MNG=") + QLatin1String(kCompilerOutputName) + kEnd;
  text += QStringLiteral("MHDR ") + signed_text(width) + QLatin1Char(' ') + signed_text(height) +
          QStringLiteral(" %1 0 0 0 0").arg(timing.frame_rate) + kEnd;
  text += (timing.loop_count == 0 ? QStringLiteral("LOOP 1 0x7fffffff")
                                  : QStringLiteral("LOOP 1 %1").arg(timing.loop_count)) +
          kEnd;
  const auto hold = [&holds](qsizetype k) {
    return k < static_cast<qsizetype>(holds.size()) ? holds[static_cast<size_t>(k)] : 1;
  };
  bool held = false;
  for (qsizetype k = 0; k < frame_names.size(); ++k) {
    held = held || hold(k) != 1;
  }
  for (qsizetype k = 0; k < frame_names.size(); ++k) {
    if (held) {
      // Framing mode 1, no name, the delay of the next frame in ticks. The
      // timeout (deterministic, infinite) is there for ImageMagick 6, which
      // reads a delay only when more fields follow it.
      text += QStringLiteral("FRAM 1 \\0 1 1 0 0 %1 0x7fffffff").arg(hold(k)) + kEnd;
    }
    text += QStringLiteral("IHDR ") + frame_names[k] + kEnd;
  }
  text += QStringLiteral("ENDL 1") + kEnd;
  text += QStringLiteral("MEND") + kEnd;
  return text;
}

bool write_script(const QString& path, const QString& text, QString* error) {
  const QString shown = QDir::toNativeSeparators(path);
  const std::optional<QByteArray> bytes = encode_system_text(text);
  if (!bytes) {
    *error = QCoreApplication::translate(
                 "tamrisk::MngScript",
                 "スクリプト「%1」に、この環境の文字コードで書けない文字があります。")
                 .arg(shown);
    return false;
  }
  QString why;
  if (!write_file_atomically(path, *bytes, &why)) {
    *error = QCoreApplication::translate("tamrisk::MngScript",
                                         "スクリプト「%1」を書き出せませんでした（%2）。")
                 .arg(shown, why);
    return false;
  }
  return true;
}

}  // namespace tamrisk
