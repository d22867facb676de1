#pragma once

#include <QList>
#include <QString>

#include "anim/animation_encoder.h"

namespace tamrisk {

// The animations an export in PNG mode can make besides its frame files. A
// new format is an enumerator here, a row of the table in
// animation_formats.cpp (its names and its encoder's factory) and the
// encoder itself; the export, the window's menu, --format and the messages
// take it from the table.
enum class AnimationFormat {
  Mng,         // BASE.mng: every frame whole, through the script and the compiler
  CompactMng,  // BASE.mng: the first frame whole, then the changed rectangles
  Apng,        // BASE.png
  Gif,         // BASE.gif
  Webp,        // BASE.webp
  Sheet,       // BASE_sheet.png and BASE_sheet.json
};

// Every format, in the order of the table: the order of menus and lists.
const QList<AnimationFormat>& all_animation_formats();

// "mng", "compact-mng", "apng", "gif": the names of --format and of the
// remembered choice.
QString format_name(AnimationFormat format);
// ".mng", ".png" or ".gif": what follows the base name in the file's name.
QString format_suffix(AnimationFormat format);
// What follows the base name in the name of the file that goes with the
// animation ("_sheet.json"); empty for formats of one file.
QString format_companion_suffix(AnimationFormat format);
// How messages name the format ("APNG") and how a menu offers it.
QString format_title(AnimationFormat format);
QString format_label(AnimationFormat format);
// The encoder of a format made from frame steps; null for Mng, which the
// compiler makes from the frame files and the script.
EncoderFactory encoder_factory(AnimationFormat format);

// Reads a comma-separated list of format names into *formats, in the order
// of all_animation_formats(), each once. False with a message, leaving *formats
// as it was, for an empty list, an unknown name, or two formats that write
// the same file (mng and compact-mng).
bool parse_formats(const QString& list, QList<AnimationFormat>* formats, QString* error);
// The names of formats, comma-separated: what parse_formats reads back.
QString format_list(const QList<AnimationFormat>& formats, const QString& separator = ",");

}  // namespace tamrisk
