#pragma once

#include <QString>
#include <QStringList>
#include <functional>

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
  // Asked with the final animation's path before it is replaced; true
  // replaces it. Unset answers No.
  std::function<bool(const QString& path)> confirm_overwrite;
  // Progress, always on the calling thread: after frame k (0-based) of n is
  // written, in order; before the compiler starts; about every tenth of a
  // second while it runs.
  std::function<void(int k, int n)> frame_written;
  std::function<void(const QString& script)> compiling;
  std::function<void()> waiting;
};

struct ExportResult {
  enum class Outcome {
    Failed,    // nothing or part written; message says why
    Written,   // BMP mode: frame files written
    Compiled,  // PNG mode: frames, script and the final animation
    Declined,  // PNG mode: frames and script written, the existing animation kept
  };
  Outcome outcome = Outcome::Failed;
  bool ok() const { return outcome == Outcome::Written || outcome == Outcome::Compiled; }
  // For Compiled and for a failed compile, the compiler's own caption and
  // message; otherwise ours ("完了" or "エラー"; no caption for Declined,
  // which the window does not report).
  QString caption;
  QString message;
  QStringList files;    // frame files and script, in the order written
  QString script_text;  // PNG mode: the script, for the script text box
  QString animation;    // Compiled: the final animation's path
};

// "コマ作成": composes every frame of the sequence into win_main and writes
// it to the output folder as PNG (png_output) or 24-bit BMP; in PNG mode
// writes the script, asks before replacing the final animation, runs the
// compiler in the output folder and renames its output to the base name.
// A base name that cannot name the files, or a missing output folder, is
// refused before anything changes. cur_frame ends on the last frame.
ExportResult export_frames(ProjectModel& model, const ExportOptions& options = {});

}  // namespace tamrisk
