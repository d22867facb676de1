#pragma once

#include <QString>
#include <QStringList>

namespace tamrisk {

// The script that compiles frames into an endless MNG loop: the output-name
// directive, MHDR with the frame size at 10 ticks per second, LOOP, one IHDR
// line per frame name, ENDL and MEND, each line ended by CR LF.
QString mng_script_text(int width, int height, const QStringList& frame_names);

// Writes the script in the system's narrow encoding, replacing a file at
// path only once the whole text is written. False with a message when a
// character has no code there or the file cannot be written.
bool write_script(const QString& path, const QString& text, QString* error);

}  // namespace tamrisk
