#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "anim/animation_timing.h"

namespace tamrisk {

// The script that compiles frames into an MNG loop: the output-name
// directive, MHDR with the frame size and the frame rate as its ticks per
// second, LOOP (for ever for a loop count of 0, else that many times), one
// IHDR line per frame name, ENDL and MEND, each line ended by CR LF. Where a
// frame's hold (holds[k], frame periods; 1 where missing) is not 1, every
// IHDR line follows a FRAM line that gives its frame its delay.
QString mng_script_text(int width, int height, const QStringList& frame_names,
                        const AnimationTiming& timing = {}, const std::vector<int>& holds = {});

// Writes the script in the system's narrow encoding, replacing a file at
// path only once the whole text is written. False with a message when a
// character has no code there or the file cannot be written.
bool write_script(const QString& path, const QString& text, QString* error);

}  // namespace tamrisk
