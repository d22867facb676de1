#pragma once

#include <QString>
#include <functional>

namespace tamrisk {

// How long the export waits for the compiler before it stops it.
inline constexpr int kCompilerTimeoutMs = 60 * 1000;

// The outcome of one compiler run, in the compiler's own words where it
// gave them: caption "完了" or "エラー" (translated for display) and the
// message after it.
struct CompilerRun {
  bool ok = false;
  QString caption;
  QString message;
  // The message is the compiler's own (not ours about a compiler that could
  // not start, crashed or said nothing).
  bool compiler_said = false;
};

// The captions of a finished and of a failed export or compile, in the
// user's language: "完了" and "エラー".
QString caption_done();
QString caption_error();

// Runs `program -- script` in folder with standard input closed (an
// overwrite question then answers No) and waits for it to end. A program
// that cannot be started, crashes, prints no message or is still running
// after timeout_ms (it is killed then) fails with a message of our own.
// `waiting`, when set, is called about every tenth of a second meanwhile.
CompilerRun run_compiler(const QString& program, const QString& script, const QString& folder,
                         int timeout_ms = kCompilerTimeoutMs,
                         const std::function<void()>& waiting = {});

// Splits the compiler's console output into caption and message: from the
// first line that begins with "完了: " or "エラー: " to the end, without the
// final line feed. False when there is no such line.
bool parse_compiler_message(const QString& output, QString* caption, QString* message);

// Our own sentence, in the user's language, for what the compiler said
// (the message of parse_compiler_message; ok: it succeeded): that the MNG
// file `animation` was written, that the script could not be read, that a
// line of it was refused (naming the line), and so on. The compiler's
// words stay the detail.
QString compiler_outcome(const QString& message, bool ok, const QString& animation);

}  // namespace tamrisk
