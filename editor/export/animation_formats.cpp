#include "export/animation_formats.h"

#include <QCoreApplication>
#include <QStringList>

#include "anim/apng_encoder.h"
#include "anim/compact_mng_encoder.h"
#include "anim/gif_encoder.h"
#include "anim/sprite_sheet_encoder.h"
#include "anim/webp_encoder.h"

namespace tamrisk {

namespace {

struct FormatRow {
  AnimationFormat format;
  const char* name;
  const char* suffix;
  // Translated by format_title and format_label.
  const char* title;
  const char* label;
  EncoderFactory make;
  const char* companion_suffix = "";
};

const FormatRow kFormatRows[] = {
    {AnimationFormat::Mng, "mng", ".mng", QT_TRANSLATE_NOOP("tamrisk::AnimationFormats", "MNG"),
     QT_TRANSLATE_NOOP("tamrisk::AnimationFormats", "MNG（全コマ）"), nullptr},
    {AnimationFormat::CompactMng, "compact-mng", ".mng",
     QT_TRANSLATE_NOOP("tamrisk::AnimationFormats", "MNG（差分）"),
     QT_TRANSLATE_NOOP("tamrisk::AnimationFormats", "MNG（差分・小さい）"),
     make_compact_mng_encoder},
    {AnimationFormat::Apng, "apng", ".png", QT_TRANSLATE_NOOP("tamrisk::AnimationFormats", "APNG"),
     QT_TRANSLATE_NOOP("tamrisk::AnimationFormats", "APNG (.png)"), make_apng_encoder},
    {AnimationFormat::Gif, "gif", ".gif", QT_TRANSLATE_NOOP("tamrisk::AnimationFormats", "GIF"),
     QT_TRANSLATE_NOOP("tamrisk::AnimationFormats", "GIF (.gif)"), make_gif_encoder},
    {AnimationFormat::Webp, "webp", ".webp", QT_TRANSLATE_NOOP("tamrisk::AnimationFormats", "WebP"),
     QT_TRANSLATE_NOOP("tamrisk::AnimationFormats", "WebP (.webp)"), make_webp_encoder},
    {AnimationFormat::Sheet, "sheet", "_sheet.png",
     QT_TRANSLATE_NOOP("tamrisk::AnimationFormats", "スプライトシート"),
     QT_TRANSLATE_NOOP("tamrisk::AnimationFormats", "スプライトシート (PNG + JSON)"),
     make_sprite_sheet_encoder, "_sheet.json"},
};

const FormatRow& row_of(AnimationFormat format) {
  for (const FormatRow& row : kFormatRows) {
    if (row.format == format) {
      return row;
    }
  }
  return kFormatRows[0];
}

}  // namespace

const QList<AnimationFormat>& all_animation_formats() {
  static const QList<AnimationFormat> formats = [] {
    QList<AnimationFormat> all;
    for (const FormatRow& row : kFormatRows) {
      all << row.format;
    }
    return all;
  }();
  return formats;
}

EncoderFactory encoder_factory(AnimationFormat format) {
  return row_of(format).make;
}

QString format_name(AnimationFormat format) {
  return QString::fromLatin1(row_of(format).name);
}

QString format_suffix(AnimationFormat format) {
  return QString::fromLatin1(row_of(format).suffix);
}

QString format_companion_suffix(AnimationFormat format) {
  return QString::fromLatin1(row_of(format).companion_suffix);
}

QString format_title(AnimationFormat format) {
  return QCoreApplication::translate("tamrisk::AnimationFormats", row_of(format).title);
}

QString format_label(AnimationFormat format) {
  return QCoreApplication::translate("tamrisk::AnimationFormats", row_of(format).label);
}

bool parse_formats(const QString& list, QList<AnimationFormat>* formats, QString* error) {
  QList<AnimationFormat> chosen;
  for (const QString& word : list.split(QLatin1Char(','))) {
    const QString name = word.trimmed().toLower();
    bool known = false;
    for (const AnimationFormat format : all_animation_formats()) {
      if (name == format_name(format)) {
        known = true;
        if (!chosen.contains(format)) {
          chosen << format;
        }
      }
    }
    if (!known) {
      *error = name.isEmpty()
                   ? QCoreApplication::translate("tamrisk::AnimationFormats",
                                                 "an empty animation format in \"%1\"")
                         .arg(list)
                   : QCoreApplication::translate("tamrisk::AnimationFormats",
                                                 "unknown animation format \"%1\" (%2)")
                         .arg(word.trimmed(), format_list(all_animation_formats(), ", "));
      return false;
    }
  }
  if (chosen.contains(AnimationFormat::Mng) && chosen.contains(AnimationFormat::CompactMng)) {
    *error = QCoreApplication::translate(
        "tamrisk::AnimationFormats", "mng and compact-mng both write <basename>.mng: choose one");
    return false;
  }
  formats->clear();
  for (const AnimationFormat format : all_animation_formats()) {
    if (chosen.contains(format)) {
      *formats << format;
    }
  }
  return true;
}

QString format_list(const QList<AnimationFormat>& formats, const QString& separator) {
  QStringList names;
  for (const AnimationFormat format : formats) {
    names << format_name(format);
  }
  return names.join(separator);
}

}  // namespace tamrisk
