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

QString mng_script_text(int width, int height, const QStringList& frame_names) {
  const QString kEnd = QStringLiteral("\r\n");
  QString text = QStringLiteral("# MNG=") + QLatin1String(kCompilerOutputName) + kEnd;
  text += QStringLiteral("MHDR ") + signed_text(width) + QLatin1Char(' ') + signed_text(height) +
          QStringLiteral(" 10 0 0 0 0") + kEnd;
  text += QStringLiteral("LOOP 1 0x7fffffff") + kEnd;
  for (const QString& name : frame_names) {
    text += QStringLiteral("IHDR ") + name + kEnd;
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
