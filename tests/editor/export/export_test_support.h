#pragma once

// Files, independent checkers (pngcheck, Qt's MNG reader) and pixel
// comparison for the export tests.

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>

#include <vector>

namespace export_test {

QByteArray read_file(const QString& path);
void write_file(const QString& path, const QByteArray& bytes);
// An executable shell script, for compilers that misbehave.
void write_program(const QString& path, const QByteArray& body);
// The names in folder, sorted.
QStringList names_in(const QString& folder);
// Whether permissions fail to stop this process (root).
bool ignores_permissions();

// pngcheck's complaint; empty when it accepts the file or is not installed.
QString pngcheck_complaint(const QString& path);
// The first count frames that Qt's MNG plugin decodes; fewer when it stops.
std::vector<QImage> decode_mng(const QString& path, int count);
// Every frame of an animation as ImageMagick's `convert` writes it (none when
// it fails), and in timing the "Delay" and "Iterations" lines of `identify
// -verbose`, in order.
std::vector<QImage> read_with_magick(const QString& path, QStringList* timing);
// The first pixel that differs as opaque RGB; empty when the images agree.
QString first_difference(const QImage& actual, const QImage& expected);

}  // namespace export_test
