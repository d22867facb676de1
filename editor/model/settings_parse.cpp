// Reading the records of a settings file. Nothing here touches a model or
// the file system, so that a file is read whole before anything changes.

#include <QRegularExpression>
#include <limits>

#include "model/settings_file.h"
#include "model/text_codec.h"

namespace tamrisk {

namespace {

constexpr int kMainFieldCount = 8;
constexpr int kFrameFieldCount = 2;
constexpr int kBackgroundFieldCount = 4;
constexpr qint64 kInt16Min = std::numeric_limits<std::int16_t>::min();
constexpr qint64 kInt16Max = std::numeric_limits<std::int16_t>::max();
constexpr qint64 kColourMax = 0xFFFFFF;

struct Field {
  QString text;
  bool quoted = false;
};

bool is_blank(QChar c) {
  return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

QString trim_blanks(QStringView s) {
  qsizetype begin = 0;
  qsizetype end = s.size();
  while (begin < end && is_blank(s[begin])) {
    ++begin;
  }
  while (end > begin && is_blank(s[end - 1])) {
    --end;
  }
  return s.mid(begin, end - begin).toString();
}

// Where the blanks from pos on end.
qsizetype skip_blanks(QStringView line, qsizetype pos) {
  while (pos < line.size() && is_blank(line[pos])) {
    ++pos;
  }
  return pos;
}

// Splits a record at its commas. A quoted field runs to the first quote that
// is followed, blanks aside, by a comma or the end of the line, so it may hold
// commas and quotes. Unquoted fields lose their surrounding blanks. Returns
// false for a quote that is never closed so.
bool split_fields(QStringView line, std::vector<Field>* fields) {
  fields->clear();
  qsizetype pos = 0;
  for (;;) {
    pos = skip_blanks(line, pos);
    if (pos < line.size() && line[pos] == QLatin1Char('"')) {
      qsizetype close = -1;
      qsizetype after = line.size();
      for (qsizetype q = pos + 1; q < line.size(); ++q) {
        if (line[q] != QLatin1Char('"')) {
          continue;
        }
        const qsizetype next = skip_blanks(line, q + 1);
        if (next == line.size() || line[next] == QLatin1Char(',')) {
          close = q;
          after = next;
          break;
        }
      }
      if (close < 0) {
        return false;
      }
      fields->push_back({line.mid(pos + 1, close - pos - 1).toString(), true});
      pos = after;
    } else {
      qsizetype end = line.indexOf(QLatin1Char(','), pos);
      if (end < 0) {
        end = line.size();
      }
      fields->push_back({trim_blanks(line.mid(pos, end - pos)), false});
      pos = end;
    }
    if (pos >= line.size()) {
      return true;
    }
    ++pos;  // the comma
  }
}

QString at_line(int line, const QString& what) {
  return QStringLiteral("(%1行目) %2").arg(line).arg(what);
}

// Reads one integer field within [min, max]; on failure leaves a message
// naming the line and the field.
bool read_integer(const std::vector<Field>& fields, size_t index, int line, qint64 min, qint64 max,
                  qint64* value, QString* error) {
  const Field& field = fields[index];
  const int number = static_cast<int>(index) + 1;
  static const QRegularExpression kInteger(QStringLiteral("^[+-]?[0-9]+$"));
  if (field.quoted || !kInteger.match(field.text).hasMatch()) {
    *error = at_line(line, QStringLiteral("%1番目の項目が整数ではありません: \"%2\"")
                               .arg(number)
                               .arg(field.text.left(40)));
    return false;
  }
  bool ok = false;
  const qint64 v = field.text.toLongLong(&ok);
  if (!ok || v < min || v > max) {
    *error = at_line(line, QStringLiteral("%1番目の項目が範囲外です（%2 から %3 まで）: %4")
                               .arg(number)
                               .arg(min)
                               .arg(max)
                               .arg(field.text.left(40)));
    return false;
  }
  *value = v;
  return true;
}

bool read_int16(const std::vector<Field>& fields, size_t index, int line, int* value,
                QString* error) {
  qint64 v = 0;
  if (!read_integer(fields, index, line, kInt16Min, kInt16Max, &v, error)) {
    return false;
  }
  *value = static_cast<int>(v);
  return true;
}

std::optional<bool> flag_value(const Field& field) {
  if (field.quoted) {
    return std::nullopt;
  }
  if (field.text.compare(QLatin1String("#TRUE#"), Qt::CaseInsensitive) == 0) {
    return true;
  }
  if (field.text.compare(QLatin1String("#FALSE#"), Qt::CaseInsensitive) == 0) {
    return false;
  }
  return std::nullopt;
}

QString field_count_message(int line, const QString& record, int wanted, size_t found) {
  return at_line(line, QStringLiteral("%1の項目数が正しくありません（%2個必要なところ%3個）。")
                           .arg(record)
                           .arg(wanted)
                           .arg(found));
}

// A layer record holds one text. When it is quoted, the text is everything
// between the first and the last quote, so any path reads back as written.
bool parse_layer(const QString& raw, int line, QString* path, QString* error) {
  const QString trimmed = trim_blanks(raw);
  if (trimmed.startsWith(QLatin1Char('"'))) {
    if (trimmed.size() < 2 || !trimmed.endsWith(QLatin1Char('"'))) {
      *error = at_line(line, QStringLiteral("引用符が閉じていません。"));
      return false;
    }
    *path = trimmed.mid(1, trimmed.size() - 2);
    return true;
  }
  std::vector<Field> fields;
  split_fields(raw, &fields);
  if (fields.size() != 1) {
    *error = field_count_message(line, QStringLiteral("レイヤーのレコード"), 1, fields.size());
    return false;
  }
  *path = fields[0].text;
  return true;
}

bool parse_main(const QString& raw, int line, SettingsRecords* out, QString* error) {
  std::vector<Field> fields;
  if (!split_fields(raw, &fields)) {
    *error = at_line(line, QStringLiteral("引用符が閉じていません。"));
    return false;
  }
  if (fields.size() != kMainFieldCount) {
    *error =
        field_count_message(line, QStringLiteral("メインレコード"), kMainFieldCount, fields.size());
    return false;
  }
  if (!read_int16(fields, 0, line, &out->adjust_x, error) ||
      !read_int16(fields, 1, line, &out->adjust_y, error) ||
      !read_int16(fields, 2, line, &out->sc_bar, error)) {
    return false;
  }
  out->pattern_anime = fields[3].text;
  out->output_drive = fields[4].text;
  out->output_dir = fields[5].text;
  out->basename = fields[6].text;
  out->path_ref = fields[7].text;
  return true;
}

bool parse_frame(const std::vector<Field>& fields, int line, ProjectModel::Offset* offset,
                 QString* error) {
  if (fields.size() != kFrameFieldCount) {
    *error = field_count_message(line, QStringLiteral("コマ別補正値のレコード"), kFrameFieldCount,
                                 fields.size());
    return false;
  }
  int dx = 0;
  int dy = 0;
  if (!read_int16(fields, 0, line, &dx, error) || !read_int16(fields, 1, line, &dy, error)) {
    return false;
  }
  *offset = {static_cast<std::int16_t>(dx), static_cast<std::int16_t>(dy)};
  return true;
}

bool parse_background(const std::vector<Field>& fields, int line, SettingsBackground* out,
                      QString* error) {
  if (fields.size() != kBackgroundFieldCount) {
    *error = field_count_message(line, QStringLiteral("背景のレコード"), kBackgroundFieldCount,
                                 fields.size());
    return false;
  }
  const std::optional<bool> from_file = flag_value(fields[0]);
  if (!from_file) {
    *error =
        at_line(line, QStringLiteral("1番目の項目が #TRUE# でも #FALSE# でもありません: \"%1\"")
                          .arg(fields[0].text.left(40)));
    return false;
  }
  qint64 colour = 0;
  int width = 0;
  int height = 0;
  if (!read_integer(fields, 1, line, 0, kColourMax, &colour, error) ||
      !read_int16(fields, 2, line, &width, error) || !read_int16(fields, 3, line, &height, error)) {
    return false;
  }
  out->from_file = *from_file;
  out->colour = static_cast<Colour>(colour);
  out->width = static_cast<std::int16_t>(width);
  out->height = static_cast<std::int16_t>(height);
  return true;
}

// Splits text into lines at CR LF, LF or CR. Blank lines at the end of the
// file are dropped.
QStringList split_lines(const QString& text) {
  static const QRegularExpression kLineEnd(QStringLiteral("\r\n|\n|\r"));
  QStringList lines = text.split(kLineEnd);
  while (!lines.isEmpty() && trim_blanks(lines.last()).isEmpty()) {
    lines.removeLast();
  }
  return lines;
}

}  // namespace

bool parse_settings(const QByteArray& bytes, SettingsRecords* out, QString* error) {
  if (bytes.contains('\0')) {
    *error = QStringLiteral("テキストファイルではありません（NUL 文字を含みます）。");
    return false;
  }
  const std::optional<QString> text = decode_settings_text(bytes);
  if (!text) {
    *error = QStringLiteral("文字コードが UTF-8 でもシフトJIS でもありません。");
    return false;
  }
  return parse_settings_text(*text, out, error);
}

bool parse_settings_text(const QString& text, SettingsRecords* out, QString* error) {
  const QStringList lines = split_lines(text);
  const int required = kLayerCount + 1;
  if (lines.size() < required) {
    *error = QStringLiteral(
                 "レコードが足りません（%1行しかありません。レイヤー11行とメインレコード"
                 "1行が必要です）。")
                 .arg(lines.size());
    return false;
  }
  *out = SettingsRecords{};
  for (int i = 0; i < kLayerCount; ++i) {
    if (!parse_layer(lines[i], i + 1, &out->layer_path[i], error)) {
      return false;
    }
  }
  if (!parse_main(lines[kLayerCount], kLayerCount + 1, out, error)) {
    return false;
  }

  // One per-frame record for each character of the stored sequence; a file
  // may end, or go on to the background record, before all of them.
  std::vector<Field> fields;
  qsizetype index = required;
  for (qsizetype k = 0; k < out->pattern_anime.size() && index < lines.size(); ++k, ++index) {
    const int line = static_cast<int>(index) + 1;
    if (!split_fields(lines[index], &fields)) {
      *error = at_line(line, QStringLiteral("引用符が閉じていません。"));
      return false;
    }
    if (!fields.empty() && flag_value(fields[0])) {
      break;
    }
    ProjectModel::Offset offset{};
    if (!parse_frame(fields, line, &offset, error)) {
      return false;
    }
    if (out->offsets.size() < static_cast<size_t>(kMaxFrames)) {
      out->offsets.push_back(offset);
    }
  }
  if (index >= lines.size()) {
    return true;
  }
  const int line = static_cast<int>(index) + 1;
  if (!split_fields(lines[index], &fields)) {
    *error = at_line(line, QStringLiteral("引用符が閉じていません。"));
    return false;
  }
  SettingsBackground background;
  if (!parse_background(fields, line, &background, error)) {
    return false;
  }
  out->background = background;
  // Whatever follows the background record is not read.
  return true;
}

}  // namespace tamrisk
