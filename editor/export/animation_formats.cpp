#include "export/animation_formats.h"

#include <QStringList>

namespace tamrisk {

QString format_name(AnimationFormat format) {
  switch (format) {
    case AnimationFormat::Mng:
      return QStringLiteral("mng");
    case AnimationFormat::CompactMng:
      return QStringLiteral("compact-mng");
    case AnimationFormat::Apng:
      return QStringLiteral("apng");
    case AnimationFormat::Gif:
      return QStringLiteral("gif");
  }
  return {};
}

QString format_suffix(AnimationFormat format) {
  switch (format) {
    case AnimationFormat::Mng:
    case AnimationFormat::CompactMng:
      return QStringLiteral(".mng");
    case AnimationFormat::Apng:
      return QStringLiteral(".png");
    case AnimationFormat::Gif:
      return QStringLiteral(".gif");
  }
  return {};
}

bool parse_formats(const QString& list, QList<AnimationFormat>* formats, QString* error) {
  QList<AnimationFormat> chosen;
  for (const QString& word : list.split(QLatin1Char(','))) {
    const QString name = word.trimmed().toLower();
    bool known = false;
    for (const AnimationFormat format : kAllAnimationFormats) {
      if (name == format_name(format)) {
        known = true;
        if (!chosen.contains(format)) {
          chosen << format;
        }
      }
    }
    if (!known) {
      *error = name.isEmpty()
                   ? QStringLiteral("an empty animation format in \"%1\"").arg(list)
                   : QStringLiteral("unknown animation format \"%1\" (mng, compact-mng, apng, gif)")
                         .arg(word.trimmed());
      return false;
    }
  }
  if (chosen.contains(AnimationFormat::Mng) && chosen.contains(AnimationFormat::CompactMng)) {
    *error = QStringLiteral("mng and compact-mng both write <basename>.mng: choose one");
    return false;
  }
  formats->clear();
  for (const AnimationFormat format : kAllAnimationFormats) {
    if (chosen.contains(format)) {
      *formats << format;
    }
  }
  return true;
}

QString format_list(const QList<AnimationFormat>& formats) {
  QStringList names;
  for (const AnimationFormat format : formats) {
    names << format_name(format);
  }
  return names.join(QLatin1Char(','));
}

}  // namespace tamrisk
