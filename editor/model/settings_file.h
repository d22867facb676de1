#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "model/project_model.h"

// Settings files (.pst): the project saved as text records, one a line,
// in the system's encoding with CR LF line ends.
namespace tamrisk {

// Files larger than this are refused before they are read.
inline constexpr qint64 kMaxSettingsFileSize = qint64{4} << 20;

// The background record.
struct SettingsBackground {
  bool from_file = true;
  Colour colour = 0xFFFFFF;
  std::int16_t width = 80;   // twips
  std::int16_t height = 50;  // twips
};

// A settings file as read, before anything of it reaches a model.
struct SettingsRecords {
  std::array<QString, kLayerCount> layer_path;  // as stored, possibly relative
  int adjust_x = 0;
  int adjust_y = 0;
  int sc_bar = 0;
  QString pattern_anime;  // as stored, possibly longer than kMaxFrames
  QString output_drive;
  QString output_dir;
  QString basename;
  QString path_ref;
  // The per-frame records present, frame 0 first, at most kMaxFrames kept.
  std::vector<ProjectModel::Offset> offsets;
  // Absent in older files.
  std::optional<SettingsBackground> background;
  // The named records after the background record, each present only when
  // its value differs from the default: the timing, holds frame 0 first.
  std::optional<int> frame_rate;
  std::optional<int> loop_count;
  std::vector<int> holds;
  std::optional<int> scale;
};

// The names of the records after the background record.
inline constexpr char kFrameRateRecord[] = "frame_rate";
inline constexpr char kLoopCountRecord[] = "loop_count";
inline constexpr char kHoldsRecord[] = "holds";
inline constexpr char kScaleRecord[] = "scale";

// Reads a picture file into a layer canvas; true when it was read. On false
// whatever the reader left in the canvas is dropped, and the reader may say
// why in *why (never null).
using PictureReader = std::function<bool(QImage& canvas, const QString& path, QString* why)>;
struct PictureReaders {
  PictureReader png;    // names whose last three characters are "png", any case
  PictureReader other;  // every other name
};

// The general picture loader (BMP, JPEG and whatever QImageReader knows):
// the canvas becomes the picture in Format_RGB32, alpha flattened over the
// window colour. False, canvas untouched, when the file cannot be read;
// *why (when not null) then says why.
bool read_picture(QImage& canvas, const QString& path, QString* why = nullptr);
// Whether a layer file goes to the PNG reader.
bool is_png_name(const QString& path);

// Reads the picture at path into layer's canvas: readers.png when png_reader,
// else readers.other (read_picture where a reader is not set), in
// Format_RGB32. false, the canvas untouched, when the read failed; *why (when
// not null) then holds the reader's reason, if it gave one.
bool read_layer_picture(ProjectModel& model, int layer, const QString& path, bool png_reader,
                        const PictureReaders& readers = {}, QString* why = nullptr);

// Parses a whole settings file. Returns false and leaves a message when the
// bytes cannot be read as a settings file; *out is then unspecified.
bool parse_settings(const QByteArray& bytes, SettingsRecords* out, QString* error);
bool parse_settings_text(const QString& text, SettingsRecords* out, QString* error);

// The file's text for the model, CR LF line ends, paths as the model holds them.
QString format_settings(const ProjectModel& model);

// Writes the model to path atomically, replacing any file there. Returns
// false with a message, and leaves an existing file as it was, when a text
// cannot be stored (a line break, a character the system encoding lacks) or
// the file cannot be written.
bool save_settings(const ProjectModel& model, const QString& path, QString* error);

// Loads path into the model in the order of the editor's LOAD. No file at
// path: nothing happens, true. A file that cannot be read as a settings file:
// false with a message, the model as it was. Relative paths in the file are
// taken from the file's own folder. Pictures that exist but cannot be read
// leave their layer as it was, path and picture, and add a line to
// *warnings; the load still succeeds.
bool load_settings(ProjectModel& model, const QString& path, QString* error,
                   const PictureReaders& readers = {}, QStringList* warnings = nullptr);

// Applies parsed records; the second half of load_settings. base_folder
// resolves relative paths.
void apply_settings(ProjectModel& model, const SettingsRecords& records, const QString& base_folder,
                    const PictureReaders& readers = {}, QStringList* warnings = nullptr);

// The main window's LOAD and SAVE: pst_mode 1 loads model.file_path, 2 saves
// to it, anything else does nothing (true).
bool load_save(ProjectModel& model, QString* error, const PictureReaders& readers = {},
               QStringList* warnings = nullptr);

}  // namespace tamrisk
