#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

#include "export/animation_formats.h"
#include "export/compiler_run.h"
#include "model/project_model.h"

namespace tamrisk {

class AnimationTest;

struct ExportOptions {
  // The compiler to run; empty: vessik beside the editor.
  QString compiler;
  int compiler_timeout_ms = kCompilerTimeoutMs;
  // PNG frames encoded at once: 0 is one per processor, 1 encodes each frame
  // on the calling thread right after composing it. The files are the same.
  int encode_threads = 0;
  // Halted first, when given.
  AnimationTest* animation = nullptr;
  // PNG mode: the animations to make from the frames, at most one of Mng
  // and CompactMng (parse_formats); Mng runs the compiler over the script.
  // Empty: the frame files alone.
  QList<AnimationFormat> formats{AnimationFormat::Mng};
  // Asked with an animation's path before an existing file of that name is
  // replaced; true replaces it. Unset answers No.
  std::function<bool(const QString& path)> confirm_overwrite;
  // Progress, always on the calling thread: after frame k (0-based) of n is
  // written, in order; before the compiler starts; about every tenth of a
  // second while it runs.
  std::function<void(int k, int n)> frame_written;
  std::function<void(const QString& script)> compiling;
  std::function<void()> waiting;
  // Before an animation other than the compiled MNG is finished into path.
  std::function<void(AnimationFormat format, const QString& path)> finishing;
};

// An animation file an export wrote.
struct AnimationFile {
  AnimationFormat format = AnimationFormat::Mng;
  QString path;
  qint64 bytes = 0;
};

struct ExportResult {
  enum class Outcome {
    Failed,    // nothing or part written; message says why
    Written,   // BMP mode: frame files written
    Compiled,  // PNG mode: frames, script and every animation not declined
    Declined,  // PNG mode: frames and script written, every existing animation kept
  };
  Outcome outcome = Outcome::Failed;
  bool ok() const { return outcome == Outcome::Written || outcome == Outcome::Compiled; }
  // For Compiled and for a failed compile, the compiler's own caption and
  // message (after a compile, naming the final animation where it named
  // its own output); otherwise ours ("完了" or "エラー"; no caption for
  // Declined, which the window does not report).
  QString caption;
  QString message;
  // The compiler's own message, when it gave one; message holds it too.
  QString compiler_said;
  QStringList files;    // frame files and script, in the order written
  QString script_text;  // PNG mode: the script, for the script text box
  QString animation;    // the compiled MNG's path, once written
  // Every animation written, in the order of their formats; after a failure,
  // those written before or besides it.
  QList<AnimationFile> animations;
  // Existing animations kept because the user declined to replace them.
  QStringList kept;
  // What the encoders want the user to know (frames whose colours were
  // reduced), one line each.
  QStringList notes;
};

// "コマ作成": composes every frame of the sequence into win_main and writes
// it to the output folder as PNG (png_output) or 24-bit BMP. In PNG mode it
// then makes the animations of options.formats: for Mng it writes the
// script, asks before replacing the final animation, runs the compiler in
// the output folder and renames its output to the base name; every other
// format is encoded while the frames are written and finished into its own
// file (format_suffix), asked about like the MNG. One animation that fails
// leaves its older file as it was and does not stop the others; the result
// then fails, naming it. A base name that cannot name the files, or a
// missing output folder, is refused before anything changes. cur_frame ends
// on the last frame.
ExportResult export_frames(ProjectModel& model, const ExportOptions& options = {});

}  // namespace tamrisk
