#include "model/settings_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QRegularExpression>

#include "model/text_codec.h"
#include "platform/atomic_file.h"
#include "platform/message_text.h"

namespace tamrisk {

namespace {

constexpr QLatin1String kCrLf("\r\n");

QString quoted(const QString& text) {
  return QLatin1Char('"') + text + QLatin1Char('"');
}

QString flag(bool value) {
  return value ? QStringLiteral("#TRUE#") : QStringLiteral("#FALSE#");
}

// Paths written on Windows ("C:\..." or "\\server\...") count as full paths
// everywhere, so that such a file read elsewhere keeps them as they are.
bool is_full_path(const QString& path) {
  if (!QDir::isRelativePath(path)) {
    return true;
  }
  if (path.startsWith(QLatin1String("\\\\"))) {
    return true;
  }
  return path.size() >= 3 && path.at(0).isLetter() && path.at(1) == QLatin1Char(':') &&
         (path.at(2) == QLatin1Char('\\') || path.at(2) == QLatin1Char('/'));
}

// A relative path in a settings file is taken from the file's own folder, so
// that a project folder can be moved as a whole.
QString resolve(const QString& base_folder, const QString& path) {
  if (path.isEmpty() || is_full_path(path) || base_folder.isEmpty()) {
    return path;
  }
  return QDir::toNativeSeparators(QDir::cleanPath(QDir(base_folder).absoluteFilePath(path)));
}

// The texts of a model that go into the file, with the names a message uses.
std::vector<std::pair<QString, QString>> stored_texts(const ProjectModel& model) {
  std::vector<std::pair<QString, QString>> texts;
  for (int i = 0; i < kLayerCount; ++i) {
    texts.emplace_back(QCoreApplication::translate("tamrisk::SettingsFile", "%1のファイル名")
                           .arg(ProjectModel::layer_name(i)),
                       model.layer_path[i]);
  }
  texts.emplace_back(QCoreApplication::translate("tamrisk::SettingsFile", "アニメパターン"),
                     model.pattern_anime());
  texts.emplace_back(QCoreApplication::translate("tamrisk::SettingsFile", "保存先ドライブ"),
                     model.output_drive);
  texts.emplace_back(QCoreApplication::translate("tamrisk::SettingsFile", "保存先フォルダ"),
                     model.output_dir);
  texts.emplace_back(QCoreApplication::translate("tamrisk::SettingsFile", "ベース名"),
                     model.basename);
  texts.emplace_back(QCoreApplication::translate("tamrisk::SettingsFile", "画像フォルダ"),
                     model.path_ref);
  return texts;
}

// A quoted field of the main record ends at the first quote that is
// followed, blanks aside, by a comma.
bool ends_field_early(const QString& text) {
  static const QRegularExpression kQuoteComma(QStringLiteral("\"[ \t]*,"));
  return text.contains(kQuoteComma);
}

// A text with a line break would end its record early, and one of the main
// record with a quote before a comma its field; one the system encoding
// cannot hold would come back changed.
bool check_storable(const ProjectModel& model, QString* why) {
  const auto texts = stored_texts(model);
  for (size_t i = 0; i < texts.size(); ++i) {
    const auto& [name, text] = texts[i];
    if (text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'))) {
      *why = QCoreApplication::translate("tamrisk::SettingsFile", "%1に改行が含まれています。")
                 .arg(name);
      return false;
    }
    if (i >= static_cast<size_t>(kLayerCount) && ends_field_early(text)) {
      *why = QCoreApplication::translate("tamrisk::SettingsFile",
                                         "%1に、引用符の後にコンマが続く並びがあります。")
                 .arg(name);
      return false;
    }
    if (!encode_system_text(text)) {
      *why = QCoreApplication::translate("tamrisk::SettingsFile",
                                         "%1にシステムの文字コードで表せない文字があります。")
                 .arg(name);
      return false;
    }
  }
  return true;
}

void set_error(QString* error, const QString& text) {
  if (error != nullptr) {
    *error = text;
  }
}

// The whole file, refused early when it is too large to be a settings file.
bool read_bytes(const QString& path, QByteArray* bytes, QString* why) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    *why = QCoreApplication::translate("tamrisk::SettingsFile", "ファイルを開けません（%1）。")
               .arg(bare_reason(file.errorString()));
    return false;
  }
  const auto too_large = [&](qint64 size) {
    *why = QCoreApplication::translate(
               "tamrisk::SettingsFile",
               "ファイルが大きすぎます（%1 バイト。設定ファイルは %2 バイトまでです）。")
               .arg(size)
               .arg(kMaxSettingsFileSize);
    return false;
  };
  if (file.size() > kMaxSettingsFileSize) {
    return too_large(file.size());
  }
  // Devices and growing files report no true size: read one byte past the limit.
  *bytes = file.read(kMaxSettingsFileSize + 1);
  if (file.error() != QFileDevice::NoError) {
    *why = QCoreApplication::translate("tamrisk::SettingsFile", "ファイルを読めません（%1）。")
               .arg(bare_reason(file.errorString()));
    return false;
  }
  if (bytes->size() > kMaxSettingsFileSize) {
    return too_large(bytes->size());
  }
  return true;
}

// False, the layer as it was, when the picture cannot be read.
bool load_layer(ProjectModel& model, int layer, const QString& path, const PictureReaders& readers,
                QStringList* warnings) {
  QString why;
  const bool ok = read_layer_picture(model, layer, path, is_png_name(path), readers, &why);
  if (!ok && warnings != nullptr) {
    QString warning =
        QCoreApplication::translate("tamrisk::SettingsFile", "%1の画像を読み込めません: %2")
            .arg(ProjectModel::layer_name(layer), QDir::toNativeSeparators(path));
    if (!why.isEmpty()) {
      warning += QLatin1Char('\n') + why;
    }
    warnings->append(warning);
  }
  return ok;
}

}  // namespace

bool read_layer_picture(ProjectModel& model, int layer, const QString& path, bool png_reader,
                        const PictureReaders& readers, QString* why) {
  const PictureReader& chosen = png_reader ? readers.png : readers.other;
  const PictureReader& reader = chosen ? chosen : PictureReader(read_picture);
  QImage canvas = model.pic[layer];
  QString reason;
  const bool ok = reader(canvas, path, &reason);
  if (!ok) {
    // A picture read in part is no picture: the layer keeps what it showed.
    if (why != nullptr) {
      *why = reason;
    }
    return false;
  }
  if (!canvas.isNull()) {
    model.pic[layer] = canvas.format() == QImage::Format_RGB32
                           ? canvas
                           : canvas.convertToFormat(QImage::Format_RGB32);
  }
  return true;
}

bool is_png_name(const QString& path) {
  return path.right(3).compare(QLatin1String("png"), Qt::CaseInsensitive) == 0;
}

bool read_picture(QImage& canvas, const QString& path, QString* why) {
  QImageReader reader(path);
  reader.setAutoTransform(false);
  QImage image;
  if (!reader.read(&image) || image.isNull()) {
    if (why != nullptr) {
      *why = QCoreApplication::translate("tamrisk::SettingsFile", "画像を読めません（%1）。")
                 .arg(bare_reason(reader.errorString()));
    }
    return false;
  }
  if (image.hasAlphaChannel()) {
    QImage flat(image.size(), QImage::Format_RGB32);
    flat.fill(colour_to_qrgb(kWindowColour));
    QPainter painter(&flat);
    painter.drawImage(0, 0, image);
    painter.end();
    canvas = flat;
  } else {
    canvas = image.convertToFormat(QImage::Format_RGB32);
  }
  return true;
}

QString format_settings(const ProjectModel& model) {
  QString text;
  for (int i = 0; i < kLayerCount; ++i) {
    text += quoted(model.layer_path[i]) + kCrLf;
  }
  text +=
      QStringLiteral("%1,%2,%3,").arg(model.adjust_x()).arg(model.adjust_y()).arg(model.sc_bar());
  text += QStringList{quoted(model.pattern_anime()), quoted(model.output_drive),
                      quoted(model.output_dir), quoted(model.basename), quoted(model.path_ref)}
              .join(QLatin1Char(','));
  text += kCrLf;
  for (int k = 0; k < model.frame_count() && k < kMaxFrames; ++k) {
    text += QStringLiteral("%1,%2").arg(model.frame_dx[k]).arg(model.frame_dy[k]) + kCrLf;
  }
  text += QStringLiteral("%1,%2,%3,%4")
              .arg(flag(model.bg_from_file))
              .arg(model.bg_colour)
              .arg(model.bg_width)
              .arg(model.bg_height);
  text += kCrLf;
  // Named records, only where a value is not its default, so that a project
  // with the default timing reads as before in any reader.
  const auto named = [](const char* name) { return quoted(QLatin1String(name)); };
  if (model.timing.frame_rate != AnimationTiming::kDefaultFrameRate) {
    text += named(kFrameRateRecord) + QStringLiteral(",%1").arg(model.timing.frame_rate) + kCrLf;
  }
  if (model.timing.loop_count != 0) {
    text += named(kLoopCountRecord) + QStringLiteral(",%1").arg(model.timing.loop_count) + kCrLf;
  }
  if (model.export_scale != 1) {
    text += named(kScaleRecord) + QStringLiteral(",%1").arg(model.export_scale) + kCrLf;
  }
  const int frames = std::min(model.frame_count(), kMaxFrames);
  if (model.periods_of(frames) != frames) {
    text += named(kHoldsRecord);
    for (int k = 0; k < frames; ++k) {
      text += QStringLiteral(",%1").arg(model.hold(k));
    }
    text += kCrLf;
  }
  return text;
}

bool save_settings(const ProjectModel& model, const QString& path, QString* error) {
  const auto fail = [&](const QString& why) {
    set_error(error, QCoreApplication::translate("tamrisk::SettingsFile",
                                                 "設定ファイル「%1」を保存できません。\n%2")
                         .arg(QDir::toNativeSeparators(path), why));
    return false;
  };
  QString why;
  if (!check_storable(model, &why)) {
    return fail(why);
  }
  const std::optional<QByteArray> bytes = encode_system_text(format_settings(model));
  if (!bytes) {
    return fail(QCoreApplication::translate("tamrisk::SettingsFile",
                                            "システムの文字コードで表せない文字があります。"));
  }
  if (!write_file_atomically(path, *bytes, &why)) {
    return fail(why);
  }
  return true;
}

bool load_settings(ProjectModel& model, const QString& path, QString* error,
                   const PictureReaders& readers, QStringList* warnings) {
  const QFileInfo info(path);
  if (!info.isFile()) {
    return true;  // nothing to load: nothing changes
  }
  QByteArray bytes;
  SettingsRecords records;
  QString why;
  if (!read_bytes(path, &bytes, &why) || !parse_settings(bytes, &records, &why)) {
    set_error(error, QCoreApplication::translate(
                         "tamrisk::SettingsFile",
                         "設定ファイル「%1」を読み込めません。設定は変更していません。\n%2")
                         .arg(QDir::toNativeSeparators(path), why));
    return false;
  }
  apply_settings(model, records, info.absolutePath(), readers, warnings);
  return true;
}

void apply_settings(ProjectModel& model, const SettingsRecords& records, const QString& base_folder,
                    const PictureReaders& readers, QStringList* warnings) {
  // Layers: an empty record empties the layer, a missing file leaves it be.
  for (int i = 0; i < kLayerCount; ++i) {
    if (records.layer_path[i].isEmpty()) {
      model.clear_layer(i);
      continue;
    }
    const QString path = resolve(base_folder, records.layer_path[i]);
    if (!QFileInfo(path).isFile()) {
      continue;
    }
    if (load_layer(model, i, path, readers, warnings)) {
      model.layer_path[i] = path;
    }
  }
  model.set_background_ranges();
  model.adjust_on = false;
  model.set_adjust_x(records.adjust_x);
  model.set_adjust_y(records.adjust_y);
  model.set_sc_bar(records.sc_bar);
  model.set_pattern_anime(records.pattern_anime);
  if (records.pattern_anime.size() > kMaxFrames && warnings != nullptr) {
    warnings->append(QCoreApplication::translate(
                         "tamrisk::SettingsFile",
                         "アニメパターンは %1 コマありますが、%2 コマまでしか使えません。"
                         "先頭の %2 コマを読み込みました。")
                         .arg(records.pattern_anime.size())
                         .arg(kMaxFrames));
  }

  const QString output_dir = resolve(base_folder, records.output_dir);
  if (!output_dir.isEmpty() && QFileInfo(output_dir).isDir()) {
    // A folder found through the file's own folder lies on that folder's drive.
    model.output_drive = output_dir == records.output_dir ? records.output_drive
                                                          : ProjectModel::drive_of(output_dir);
    model.output_dir = output_dir;
  } else {
    model.set_output_folder(model.program_folder());
  }
  model.path_ref = resolve(base_folder, records.path_ref);

  model.reset_frame_offsets();
  const size_t frames = std::min(records.offsets.size(), static_cast<size_t>(model.frame_count()));
  for (size_t k = 0; k < frames; ++k) {
    model.frame_dx[k] = records.offsets[k].x;
    model.frame_dy[k] = records.offsets[k].y;
  }
  if (records.background) {
    const SettingsBackground& background = *records.background;
    model.bg_from_file = background.from_file;
    model.bg_colour = background.colour;
    model.bg_width = background.width;
    model.bg_height = background.height;
    if (!model.bg_from_file) {
      model.set_plain_background();
    }
  }
  model.timing.frame_rate = records.frame_rate.value_or(AnimationTiming::kDefaultFrameRate);
  model.timing.loop_count = records.loop_count.value_or(0);
  model.export_scale = records.scale.value_or(1);
  model.reset_frame_holds();
  for (size_t k = 0; k < records.holds.size() && k < static_cast<size_t>(kMaxFrames); ++k) {
    model.frame_hold[k] = static_cast<std::uint8_t>(records.holds[k]);
  }
  model.basename = records.basename;
  model.fit_frame_canvas();
}

bool load_save(ProjectModel& model, QString* error, const PictureReaders& readers,
               QStringList* warnings) {
  const QString path = model.file_path;
  switch (model.pst_mode) {
    case 1:
      return load_settings(model, path, error, readers, warnings);
    case 2:
      return save_settings(model, path, error);
    default:
      return true;
  }
}

}  // namespace tamrisk
