// Reading the records of a settings file. Nothing here touches a model or
// the file system, so that a file is read whole before anything changes.

#include <QCoreApplication>
#include <QRegularExpression>
#include <array>
#include <limits>
#include <vector>

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
// The most fields a record may have: the holds record, its name and one
// field for every frame.
constexpr int kMostFields = 1 + kMaxFrames;

struct Field {
  QString text;
  bool quoted = false;
};

// The fields of one record. No record has more than kMostFields fields,
// so only that many are kept; the rest are counted, which bounds the memory a
// line of a million commas can take.
struct Fields {
  std::vector<Field> kept;
  size_t count = 0;

  void clear() {
    kept.clear();
    count = 0;
  }
  void add(QStringView text, bool quoted) {
    if (kept.size() < static_cast<size_t>(kMostFields)) {
      kept.push_back({text.toString(), quoted});
    }
    ++count;
  }
  const Field& operator[](size_t index) const { return kept[index]; }
};

bool is_blank(QChar c) {
  return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

QStringView trim_blanks(QStringView s) {
  qsizetype begin = 0;
  qsizetype end = s.size();
  while (begin < end && is_blank(s[begin])) {
    ++begin;
  }
  while (end > begin && is_blank(s[end - 1])) {
    --end;
  }
  return s.mid(begin, end - begin);
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
bool split_fields(QStringView line, Fields* fields) {
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
      fields->add(line.mid(pos + 1, close - pos - 1), true);
      pos = after;
    } else {
      qsizetype end = line.indexOf(QLatin1Char(','), pos);
      if (end < 0) {
        end = line.size();
      }
      fields->add(trim_blanks(line.mid(pos, end - pos)), false);
      pos = end;
    }
    if (pos >= line.size()) {
      return true;
    }
    ++pos;  // the comma
  }
}

QString at_line(int line, const QString& what) {
  return QCoreApplication::translate("tamrisk::SettingsParse", "(%1行目) %2").arg(line).arg(what);
}

// Reads one integer field within [min, max]; on failure leaves a message
// naming the line and the field.
bool read_integer(const Fields& fields, size_t index, int line, qint64 min, qint64 max,
                  qint64* value, QString* error) {
  const Field& field = fields[index];
  const int number = static_cast<int>(index) + 1;
  static const QRegularExpression kInteger(QStringLiteral("^[+-]?[0-9]+$"));
  if (field.quoted || !kInteger.match(field.text).hasMatch()) {
    *error = at_line(line, QCoreApplication::translate("tamrisk::SettingsParse",
                                                       "%1番目の項目が整数ではありません: \"%2\"")
                               .arg(number)
                               .arg(field.text.left(40)));
    return false;
  }
  bool ok = false;
  const qint64 v = field.text.toLongLong(&ok);
  if (!ok || v < min || v > max) {
    *error =
        at_line(line, QCoreApplication::translate("tamrisk::SettingsParse",
                                                  "%1番目の項目が範囲外です（%2 から %3 まで）: %4")
                          .arg(number)
                          .arg(min)
                          .arg(max)
                          .arg(field.text.left(40)));
    return false;
  }
  *value = v;
  return true;
}

bool read_int16(const Fields& fields, size_t index, int line, int* value, QString* error) {
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
  return at_line(
      line, QCoreApplication::translate("tamrisk::SettingsParse",
                                        "%1の項目数が正しくありません（%2個必要なところ%3個）。")
                .arg(record)
                .arg(wanted)
                .arg(found));
}

// A layer record holds one text. When it is quoted, the text is everything
// between the first and the last quote, so any path reads back as written.
bool parse_layer(QStringView raw, int line, QString* path, QString* error) {
  const QStringView trimmed = trim_blanks(raw);
  if (trimmed.startsWith(QLatin1Char('"'))) {
    if (trimmed.size() < 2 || !trimmed.endsWith(QLatin1Char('"'))) {
      *error = at_line(
          line, QCoreApplication::translate("tamrisk::SettingsParse", "引用符が閉じていません。"));
      return false;
    }
    *path = trimmed.mid(1, trimmed.size() - 2).toString();
    return true;
  }
  Fields fields;
  split_fields(raw, &fields);
  if (fields.count != 1) {
    *error = field_count_message(
        line, QCoreApplication::translate("tamrisk::SettingsParse", "レイヤーのレコード"), 1,
        fields.count);
    return false;
  }
  *path = fields[0].text;
  return true;
}

bool parse_main(QStringView raw, int line, SettingsRecords* out, QString* error) {
  Fields fields;
  if (!split_fields(raw, &fields)) {
    *error = at_line(
        line, QCoreApplication::translate("tamrisk::SettingsParse", "引用符が閉じていません。"));
    return false;
  }
  if (fields.count != kMainFieldCount) {
    *error = field_count_message(
        line, QCoreApplication::translate("tamrisk::SettingsParse", "メインレコード"),
        kMainFieldCount, fields.count);
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

bool parse_frame(const Fields& fields, int line, ProjectModel::Offset* offset, QString* error) {
  if (fields.count != kFrameFieldCount) {
    *error = field_count_message(
        line, QCoreApplication::translate("tamrisk::SettingsParse", "コマ別補正値のレコード"),
        kFrameFieldCount, fields.count);
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

bool parse_background(const Fields& fields, int line, SettingsBackground* out, QString* error) {
  if (fields.count != kBackgroundFieldCount) {
    *error = field_count_message(
        line, QCoreApplication::translate("tamrisk::SettingsParse", "背景のレコード"),
        kBackgroundFieldCount, fields.count);
    return false;
  }
  const std::optional<bool> from_file = flag_value(fields[0]);
  if (!from_file) {
    *error = at_line(line, QCoreApplication::translate(
                               "tamrisk::SettingsParse",
                               "1番目の項目が #TRUE# でも #FALSE# でもありません: \"%1\"")
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

bool read_background(const Fields& fields, int line, SettingsRecords* out, QString* error) {
  SettingsBackground background;
  if (!parse_background(fields, line, &background, error)) {
    return false;
  }
  out->background = background;
  return true;
}

// One of the named records after the background record: a quoted name, then
// integers. Lines that are not such a record, and records this reader does
// not know, are passed over, as everything after the background record once
// was, so that files of other versions still load.
bool parse_named(const Fields& fields, int line, SettingsRecords* out, QString* error) {
  if (fields.count == 0 || !fields[0].quoted) {
    return true;
  }
  const QString& name = fields[0].text;
  const auto one_value = [&](int min, int max, std::optional<int>* value) {
    if (fields.count != 2) {
      *error = field_count_message(line, name, 2, fields.count);
      return false;
    }
    qint64 v = 0;
    if (!read_integer(fields, 1, line, min, max, &v, error)) {
      return false;
    }
    *value = static_cast<int>(v);
    return true;
  };
  if (name == QLatin1String(kFrameRateRecord)) {
    return one_value(AnimationTiming::kMinFrameRate, AnimationTiming::kMaxFrameRate,
                     &out->frame_rate);
  }
  if (name == QLatin1String(kLoopCountRecord)) {
    return one_value(0, AnimationTiming::kMaxLoopCount, &out->loop_count);
  }
  if (name == QLatin1String(kScaleRecord)) {
    return one_value(1, ProjectModel::kMaxExportScale, &out->scale);
  }
  if (name == QLatin1String(kHoldsRecord)) {
    if (fields.count < 2 || fields.count > static_cast<size_t>(kMostFields)) {
      *error = field_count_message(line, name, kMostFields, fields.count);
      return false;
    }
    out->holds.clear();
    for (size_t i = 1; i < fields.count; ++i) {
      qint64 v = 0;
      if (!read_integer(fields, i, line, AnimationTiming::kMinHold, AnimationTiming::kMaxHold, &v,
                        error)) {
        return false;
      }
      out->holds.push_back(static_cast<int>(v));
    }
  }
  return true;
}

// Hands out the lines of a text one after another, split at CR LF, LF or
// CR, without copying them. Blank lines at the end of the text are dropped.
class LineReader {
 public:
  explicit LineReader(QStringView text) : text_(text) {
    qsizetype end = text_.size();
    while (end > 0 && (is_blank(text_[end - 1]) || text_[end - 1] == QLatin1Char('\r') ||
                       text_[end - 1] == QLatin1Char('\n'))) {
      --end;
    }
    text_.truncate(end);
    at_end_ = text_.isEmpty();
  }

  bool at_end() const { return at_end_; }
  // The number of lines handed out so far.
  int count() const { return count_; }

  QStringView next() {
    qsizetype end = pos_;
    while (end < text_.size() && text_[end] != QLatin1Char('\r') &&
           text_[end] != QLatin1Char('\n')) {
      ++end;
    }
    const QStringView line = text_.mid(pos_, end - pos_);
    if (end == text_.size()) {
      at_end_ = true;
    } else {
      pos_ = end + 1;
      if (text_[end] == QLatin1Char('\r') && pos_ < text_.size() &&
          text_[pos_] == QLatin1Char('\n')) {
        ++pos_;
      }
    }
    ++count_;
    return line;
  }

 private:
  QStringView text_;
  qsizetype pos_ = 0;
  bool at_end_ = false;
  int count_ = 0;
};

// The named records to the end of the file.
bool read_named(LineReader& lines, SettingsRecords* out, QString* error) {
  Fields fields;
  while (!lines.at_end()) {
    const QStringView record = lines.next();
    if (split_fields(record, &fields) && !parse_named(fields, lines.count(), out, error)) {
      return false;
    }
  }
  return true;
}

}  // namespace

bool parse_settings(const QByteArray& bytes, SettingsRecords* out, QString* error) {
  if (bytes.contains('\0')) {
    *error = QCoreApplication::translate("tamrisk::SettingsParse",
                                         "テキストファイルではありません（NUL 文字を含みます）。");
    return false;
  }
  const std::optional<QString> text = decode_settings_text(bytes);
  if (!text) {
    *error = QCoreApplication::translate("tamrisk::SettingsParse",
                                         "文字コードが UTF-8 でもシフトJIS でもありません。");
    return false;
  }
  return parse_settings_text(*text, out, error);
}

bool parse_settings_text(const QString& text, SettingsRecords* out, QString* error) {
  LineReader lines(text);
  const int required = kLayerCount + 1;
  std::array<QStringView, kLayerCount + 1> records;
  for (QStringView& record : records) {
    if (lines.at_end()) {
      *error = QCoreApplication::translate(
          "tamrisk::SettingsParse",
          "レコードが足りません（%n行しかありません。レイヤー11行とメインレコード"
          "1行が必要です）。",
          nullptr, lines.count());
      return false;
    }
    record = lines.next();
  }
  *out = SettingsRecords{};
  for (int i = 0; i < kLayerCount; ++i) {
    if (!parse_layer(records[i], i + 1, &out->layer_path[i], error)) {
      return false;
    }
  }
  if (!parse_main(records[kLayerCount], required, out, error)) {
    return false;
  }

  // One per-frame record for each character of the stored sequence; a file
  // may end, or go on to the background record, before all of them.
  Fields fields;
  for (qsizetype k = 0; k < out->pattern_anime.size() && !lines.at_end(); ++k) {
    const QStringView record = lines.next();
    const int line = lines.count();
    if (!split_fields(record, &fields)) {
      *error = at_line(
          line, QCoreApplication::translate("tamrisk::SettingsParse", "引用符が閉じていません。"));
      return false;
    }
    if (fields.count > 0 && flag_value(fields[0])) {
      // The background record, after fewer per-frame records than frames.
      return read_background(fields, line, out, error) && read_named(lines, out, error);
    }
    ProjectModel::Offset offset{};
    if (!parse_frame(fields, line, &offset, error)) {
      return false;
    }
    if (out->offsets.size() < static_cast<size_t>(kMaxFrames)) {
      out->offsets.push_back(offset);
    }
  }
  if (lines.at_end()) {
    return true;
  }
  const QStringView record = lines.next();
  if (!split_fields(record, &fields)) {
    *error = at_line(lines.count(), QCoreApplication::translate("tamrisk::SettingsParse",
                                                                "引用符が閉じていません。"));
    return false;
  }
  return read_background(fields, lines.count(), out, error) && read_named(lines, out, error);
}

}  // namespace tamrisk
