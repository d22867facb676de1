#pragma once

#include <QString>

#include "export/animation_formats.h"

namespace tamrisk {

// The name under which the compiler writes; the export renames it.
inline constexpr char kCompilerOutputName[] = "mng_qoya.mng";

// Whether text holds a blank, a tab or a line break, which end a token of a
// script line.
bool has_token_break(const QString& text);

// "00" to "90": k in decimal, with a "0" in front when it has one digit.
QString frame_number(int k);

// Whether basename can name the files of an export. False with a message
// when it holds a blank, a tab, a line break or a path separator: the first
// two would split the script's IHDR lines, the rest would write elsewhere.
bool check_basename(const QString& basename, QString* error);

// The files of one export, from the output folder F and the base name B.
// F is used unchanged: a root folder that ends in a separator gives two
// separators in a row, which the file system reads as one. A relative F is
// taken from the current directory, since the compiler runs elsewhere.
class ExportPaths {
 public:
  ExportPaths(const QString& folder, const QString& basename);

  const QString& folder() const { return folder_; }
  // F, separator, B.
  QString prefix() const;
  // P + NN + ".png" or ".bmp"; a frame scaled for the whole-frame MNG is
  // P + "_x" + scale + "_" + NN + ".png".
  QString frame_file(int k, bool png, int scale = 1) const;
  QString script_file() const;      // P + "_mng.txt"
  QString final_animation() const;  // P + ".mng"
  // P + format_suffix(format).
  QString animation_file(AnimationFormat format) const;
  // P + format_companion_suffix(format); empty for a format of one file.
  QString companion_file(AnimationFormat format) const;
  QString compiler_output() const;  // F, separator, "mng_qoya.mng"

  // Whether the script names frames by their bare file names: a folder
  // holding a blank, a tab or a line break cannot be one script token; the
  // compiler reads bare names from the script's own folder.
  bool bare_names() const;
  // The name of frame k (scaled by scale) in its IHDR line.
  QString script_frame_name(int k, int scale = 1) const;

 private:
  QString folder_;
  QString basename_;
};

}  // namespace tamrisk
