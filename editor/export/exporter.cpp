#include "export/exporter.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <algorithm>
#include <filesystem>
#include <memory>
#include <system_error>
#include <vector>

#include "anim/animation_encoder.h"
#include "anim/frame_delta.h"
#include "anim/pixel_scale.h"
#include "export/export_paths.h"
#include "export/frame_encoder.h"
#include "export/mng_script.h"
#include "platform/atomic_file.h"
#include "platform/png_codec.h"
#include "platform/program_folder.h"
#include "playback/animation_test.h"
#include "render/compose.h"

namespace tamrisk {
namespace {

QString shown(const QString& path) {
  return QDir::toNativeSeparators(path);
}

// A reason as it stands inside the brackets of a longer message: without
// the full stop of its own sentence, which the message ends with.
QString clause(QString why) {
  why = why.trimmed();
  while (why.endsWith(QChar(0x3002)) || why.endsWith(QLatin1Char('.'))) {
    why.chop(1);
  }
  return why;
}

QString frame_failure(const QString& file, const QString& why) {
  return QCoreApplication::translate("tamrisk::Exporter",
                                     "コマのファイル「%1」を書き出せませんでした（%2）。")
      .arg(shown(file), clause(why));
}

// The frame as a 24-bit BMP, made in memory and written in one step.
bool write_bmp(const QImage& frame, const QString& path, QString* error) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, "bmp");
  if (!writer.write(frame.convertToFormat(QImage::Format_RGB32))) {
    *error = writer.errorString();
    return false;
  }
  return write_file_atomically(path, bytes, error);
}

// Moves from onto to, replacing a file there in one step, so that to is
// either the old file or the new one.
bool replace_file(const QString& from, const QString& to, QString* error) {
  std::error_code code;
  std::filesystem::rename(std::filesystem::path(from.toStdU16String()),
                          std::filesystem::path(to.toStdU16String()), code);
  if (code) {
    *error = QString::fromLocal8Bit(code.message());
    return false;
  }
  return true;
}

// One export under way: what its steps read and the result they build. Each
// step returns false when the export ends there, failed or declined, with
// the result saying which.
struct ExportRun {
  ExportRun(ProjectModel& m, const ExportOptions& o)
      : model(m),
        options(o),
        paths(m.output_dir, m.basename),
        png(m.png_output),
        scale(std::clamp(m.export_scale, 1, ProjectModel::kMaxExportScale)) {}

  // An animation encoded beside the frames; null once it has failed.
  struct Encoding {
    AnimationFormat format;
    std::unique_ptr<AnimationEncoder> encoder;
  };

  bool fail(const QString& message) {
    result.outcome = ExportResult::Outcome::Failed;
    result.caption = caption_error();
    result.message = message;
    return false;
  }

  ProjectModel& model;
  const ExportOptions& options;
  const ExportPaths paths;
  const bool png;
  const int scale;  // of the animations
  // Whether the script and the compiler make the whole-frame MNG.
  const bool compiled_mng = png && options.formats.contains(AnimationFormat::Mng);
  QSize frame_size;  // of win_main, once prepared
  ExportResult result;
  // The frames' names in the script, in order: the scaled frames' at a
  // scale above 1.
  QStringList script_names;
  std::vector<Encoding> encodings;
  QStringList failures;  // one line for each animation that failed
};

// The frame files. PNG frames are encoded on worker threads while later
// frames are composed, and each file is written here, in order, once its
// bytes are ready; a BMP frame is written as it comes. The outcome is that
// of composing and writing one frame after the other.
class FrameFiles {
 public:
  explicit FrameFiles(ExportRun& run)
      : run_(run),
        encoder_(run.png ? run.options.encode_threads : 1,
                 run.compiled_mng && run.scale == 1 ? PngEffort::kMngFrame : PngEffort::kFrame) {}

  // The frames written so far; after a failure, the number of the frame
  // that failed.
  int written() const { return written_; }

  // Takes the next frame, a copy that no one writes to any more, and writes
  // the oldest ones while the encoder is full.
  bool add(const QImage& frame, QString* why) {
    if (!run_.png) {
      return write_next(&frame, why);
    }
    encoder_.add(frame, frame.width(), frame.height());
    while (encoder_.full()) {
      if (!write_next(nullptr, why)) {
        return false;
      }
    }
    return true;
  }

  // Writes the frames still being encoded.
  bool finish(QString* why) {
    while (!encoder_.empty()) {
      if (!write_next(nullptr, why)) {
        return false;
      }
    }
    return true;
  }

 private:
  // Writes frame written_: the BMP frame given, or the encoder's oldest.
  bool write_next(const QImage* bmp_frame, QString* why) {
    const QString file = run_.paths.frame_file(written_, run_.png);
    QByteArray bytes;
    const bool ok = bmp_frame != nullptr
                        ? write_bmp(*bmp_frame, file, why)
                        : encoder_.take(&bytes, why) && write_png_bytes(bytes, file, why);
    if (!ok) {
      *why = frame_failure(file, *why);
      return false;
    }
    run_.result.files << file;
    run_.script_names << run_.paths.script_frame_name(written_, run_.scale);
    if (run_.options.frame_written) {
      run_.options.frame_written(written_, run_.model.frame_count());
    }
    ++written_;
    return true;
  }

  ExportRun& run_;
  FrameEncoder encoder_;
  int written_ = 0;
};

// An empty sequence, a base name that cannot name the files, or a missing
// output folder, ends the export before anything changes.
bool check_output(ExportRun& run) {
  if (run.model.frame_count() == 0) {
    return run.fail(QCoreApplication::translate(
        "tamrisk::Exporter",
        "書き出すコマがありません。コマの並びにパターンの番号を入力してください。"));
  }
  QString why;
  if (!check_basename(run.model.basename, &why)) {
    return run.fail(why);
  }
  const QSize frame =
      run.model.win_main.isNull() ? run.model.pic[kBackground].size() : run.model.win_main.size();
  if (run.png && !run.options.formats.isEmpty() && run.scale > 1 &&
      std::max(frame.width(), frame.height()) * run.scale > kMaxScaledSide) {
    return run.fail(
        QCoreApplication::translate("tamrisk::Exporter",
                                    "%1倍に拡大すると %2 × %3 ピクセルになり、"
                                    "アニメーションにできる大きさ（縦横 %4 ピクセルまで）を"
                                    "超えます。")
            .arg(run.scale)
            .arg(frame.width() * run.scale)
            .arg(frame.height() * run.scale)
            .arg(kMaxScaledSide));
  }
  if (run.model.output_dir.isEmpty() || !QFileInfo(run.paths.folder()).isDir()) {
    return run.fail(
        QCoreApplication::translate("tamrisk::Exporter", "出力先のフォルダ「%1」がありません。")
            .arg(run.paths.folder()));
  }
  return true;
}

// Halts the animation test and clears the frame canvas.
void prepare_canvas(ExportRun& run) {
  if (run.options.animation != nullptr) {
    run.options.animation->halt();
  }
  if (run.model.win_main.isNull()) {
    run.model.fit_frame_canvas();
  }
  run.model.win_main.fill(colour_to_qrgb(kWindowColour));
  run.frame_size = run.model.win_main.size();
}

// PNG mode: an encoder for every chosen format but the compiled MNG.
void start_encodings(ExportRun& run) {
  if (!run.png) {
    return;
  }
  for (const AnimationFormat format : run.options.formats) {
    if (format != AnimationFormat::Mng) {
      run.encodings.push_back(
          {format, encoder_factory(format)(run.frame_size * run.scale, run.model.timing,
                                           run.model.frame_count())});
    }
  }
}

QString animation_failure(AnimationFormat format, const QString& path, const QString& why) {
  return QCoreApplication::translate("tamrisk::Exporter",
                                     "%1のファイル「%2」を書き出せませんでした（%3）。")
      .arg(format_title(format), shown(path), clause(why));
}

// The whole-frame MNG of a scaled export is made of frames of its own size,
// written beside the frame files.
bool write_scaled_frame(ExportRun& run, int k, const QImage& scaled, QString* why) {
  const QString file = run.paths.frame_file(k, true, run.scale);
  if (!write_png(scaled, scaled.width(), scaled.height(), file, why)) {
    *why = frame_failure(file, *why);
    return false;
  }
  run.result.files << file;
  return true;
}

// Composes every frame into win_main in order and hands it to the frame
// files, then with the rectangle that changed since the frame before and its
// hold to each animation's encoder; an encoder that fails is dropped and
// named in run.failures. After a failure of the frame files the model shows
// the frame that failed, as if no later frame had been composed.
bool write_frames(ExportRun& run) {
  ProjectModel& model = run.model;
  FrameFiles files(run);
  QString why;
  const auto fail_frame = [&]() {
    if (model.cur_frame != files.written()) {
      model.cur_frame = static_cast<std::int16_t>(files.written());
      compose_frame(model);
    }
    return run.fail(why);
  };
  const int n = model.frame_count();
  QImage previous;
  for (int k = 0; k < n; ++k) {
    model.cur_frame = static_cast<std::int16_t>(k);
    compose_frame(model);
    // The frame files and the encoders share one copy; the canvas is drawn
    // over for the next frame.
    const QImage frame = run.png ? model.win_main.copy() : model.win_main;
    if (!files.add(frame, &why)) {
      return fail_frame();
    }
    if (!run.png) {
      continue;
    }
    // The animations show every pixel scale x scale times; the whole-frame
    // MNG then needs frame files of that size of its own.
    const QImage scaled = scaled_up(frame, run.scale);
    if (scaled.isNull()) {
      why = AnimationEncoder::out_of_memory();
      return fail_frame();
    }
    if (run.compiled_mng && run.scale > 1 && !write_scaled_frame(run, k, scaled, &why)) {
      return fail_frame();
    }
    const QRect changed = k == 0 ? frame.rect() : changed_rect(previous, frame);
    const FrameStep step{scaled, scaled_up(changed, run.scale), model.hold(k)};
    for (ExportRun::Encoding& encoding : run.encodings) {
      if (encoding.encoder && !encoding.encoder->add(step, &why)) {
        run.failures << animation_failure(encoding.format,
                                          run.paths.animation_file(encoding.format), why);
        encoding.encoder.reset();
      }
    }
    previous = frame;
  }
  return files.finish(&why) || fail_frame();
}

// BMP mode ends with the frame files.
void report_frames(ExportRun& run) {
  run.result.outcome = ExportResult::Outcome::Written;
  run.result.caption = caption_done();
  run.result.message =
      QCoreApplication::translate("tamrisk::Exporter", "%nコマをBMPファイルに書き出しました。",
                                  nullptr, run.model.frame_count());
}

bool write_frame_script(ExportRun& run) {
  std::vector<int> holds;
  for (int k = 0; k < run.script_names.size(); ++k) {
    holds.push_back(run.model.hold(k));
  }
  run.result.script_text =
      mng_script_text(run.frame_size.width() * run.scale, run.frame_size.height() * run.scale,
                      run.script_names, run.model.timing, holds);
  const QString script = run.paths.script_file();
  QString why;
  if (!write_script(script, run.result.script_text, &why)) {
    return run.fail(why);
  }
  run.result.files << script;
  return true;
}

// Whether the animation at path may be written: it is new, or the user lets
// it replace the older file (which stays until the new one does). A file
// the user keeps is listed in result.kept.
bool may_write(ExportRun& run, const QString& path) {
  const ExportOptions& options = run.options;
  if (QFileInfo::exists(path) && !(options.confirm_overwrite && options.confirm_overwrite(path))) {
    run.result.kept << path;
    return false;
  }
  return true;
}

bool confirm_replace(ExportRun& run) {
  const QString animation = run.paths.final_animation();
  if (!may_write(run, animation)) {
    run.result.outcome = ExportResult::Outcome::Declined;
    run.result.message = QCoreApplication::translate(
                             "tamrisk::Exporter", "「%1」を残し、MNGファイルは作りませんでした。")
                             .arg(shown(animation));
    return false;
  }
  return true;
}

// The compiler's message names the file it wrote, quoted as the script gave
// it; once that file is renamed, the message names the animation instead.
QString renamed_in_message(QString message, const QString& output, const QString& animation) {
  const auto quoted = [](const QString& path) {
    return QLatin1Char('"') + QFileInfo(path).fileName() + QLatin1Char('"');
  };
  return message.replace(quoted(output), quoted(animation));
}

// Runs the compiler over the script in the output folder and renames its
// output to the final animation.
bool compile_and_rename(ExportRun& run) {
  const QString output = run.paths.compiler_output();
  if (QFileInfo::exists(output) && !QFile::remove(output)) {
    return run.fail(
        QCoreApplication::translate("tamrisk::Exporter", "前回の出力「%1」を削除できませんでした。")
            .arg(shown(output)));
  }
  const ExportOptions& options = run.options;
  const QString script = run.paths.script_file();
  if (options.compiling) {
    options.compiling(script);
  }
  const QString compiler = options.compiler.isEmpty() ? default_compiler_path() : options.compiler;
  const CompilerRun compiled = run_compiler(compiler, script, run.paths.folder(),
                                            options.compiler_timeout_ms, options.waiting);
  if (compiled.compiler_said) {
    run.result.compiler_said = compiled.message;
  }
  if (!compiled.ok) {
    return run.fail(compiled.message);
  }
  if (!QFileInfo::exists(output)) {
    const QString message =
        compiled.message.isEmpty() ? QString() : compiled.message + QLatin1Char('\n');
    return run.fail(message +
                    QCoreApplication::translate("tamrisk::Exporter",
                                                "MNGコンパイラの出力「%1」が見つかりません。")
                        .arg(shown(output)));
  }
  const QString animation = run.paths.final_animation();
  QString why;
  if (!replace_file(output, animation, &why)) {
    return run.fail(QCoreApplication::translate("tamrisk::Exporter",
                                                "「%1」を「%2」に置き換えられませんでした（%3）。")
                        .arg(shown(output), shown(animation), clause(why)));
  }
  run.result.outcome = ExportResult::Outcome::Compiled;
  run.result.caption = compiled.caption;
  run.result.message = renamed_in_message(compiled.message, output, animation);
  if (compiled.compiler_said) {
    run.result.compiler_said = run.result.message;
  }
  run.result.animation = animation;
  run.result.animations << AnimationFile{AnimationFormat::Mng, animation,
                                         QFileInfo(animation).size()};
  return true;
}

// The compiled MNG, when chosen: script, question, compiler.
void make_compiled_mng(ExportRun& run) {
  if (run.options.formats.contains(AnimationFormat::Mng) && write_frame_script(run) &&
      confirm_replace(run)) {
    compile_and_rename(run);
  }
}

// The file that goes with an animation just written (a sprite sheet's frame
// list), asked about and written as the animation was.
void write_companion(ExportRun& run, const ExportRun::Encoding& encoding) {
  const QString path = run.paths.companion_file(encoding.format);
  if (path.isEmpty() || !may_write(run, path)) {
    return;
  }
  QStringList frame_names;
  for (int k = 0; k < run.model.frame_count(); ++k) {
    frame_names << QFileInfo(run.paths.frame_file(k, true)).fileName();
  }
  const QByteArray bytes = encoding.encoder->companion(
      QFileInfo(run.paths.animation_file(encoding.format)).fileName(), frame_names, run.scale);
  QString why;
  if (write_file_atomically(path, bytes, &why)) {
    run.result.animations << AnimationFile{encoding.format, path, bytes.size()};
  } else {
    run.failures << animation_failure(encoding.format, path, why);
  }
}

// Finishes every animation encoded beside the frames into its file.
void finish_animations(ExportRun& run) {
  for (ExportRun::Encoding& encoding : run.encodings) {
    const QString path = run.paths.animation_file(encoding.format);
    if (!encoding.encoder || !may_write(run, path)) {
      continue;
    }
    if (run.options.finishing) {
      run.options.finishing(encoding.format, path);
    }
    QString why;
    QByteArray bytes;
    if (encoding.encoder->finish(&bytes, &why) && write_file_atomically(path, bytes, &why)) {
      run.result.animations << AnimationFile{encoding.format, path, bytes.size()};
      run.result.notes << encoding.encoder->notes();
      write_companion(run, encoding);
    } else {
      run.failures << animation_failure(encoding.format, path, why);
    }
    encoding.encoder.reset();
  }
}

// The outcome of PNG mode over all animations. With the compiled MNG alone
// the result is that of its steps. Otherwise a failure of any animation
// fails the export, naming every failed one after what the compiler said; a
// failed compile stays the failure; nothing written because the user kept
// every older file is Declined; anything else is Compiled, under the
// compiler's caption and message when it ran, or Written when no animation
// was chosen.
void settle_outcome(ExportRun& run) {
  ExportResult& result = run.result;
  const QList<AnimationFormat>& formats = run.options.formats;
  const bool mng = formats.contains(AnimationFormat::Mng);
  if (mng && formats.size() == 1) {
    return;
  }
  if (!run.failures.isEmpty()) {
    const QString before = mng ? result.message.trimmed() : QString();
    run.fail((before.isEmpty() ? run.failures : QStringList{before} + run.failures)
                 .join(QLatin1Char('\n')));
    return;
  }
  if (mng && result.outcome == ExportResult::Outcome::Failed) {
    return;
  }
  if (formats.isEmpty()) {
    result.outcome = ExportResult::Outcome::Written;
    result.caption = caption_done();
    result.message =
        QCoreApplication::translate("tamrisk::Exporter", "%nコマをPNGファイルに書き出しました。",
                                    nullptr, run.model.frame_count());
    return;
  }
  if (result.animations.isEmpty()) {
    QStringList kept;
    for (const QString& path : result.kept) {
      kept << shown(path);
    }
    result.outcome = ExportResult::Outcome::Declined;
    result.caption.clear();
    //: Joins the names of the kept files inside the quotes of the message
    //: 「%1」を残し、アニメーションは作りませんでした。
    const QString between = QCoreApplication::translate("tamrisk::Exporter", "」「");
    result.message = QCoreApplication::translate("tamrisk::Exporter",
                                                 "「%1」を残し、アニメーションは作りませんでした。")
                         .arg(kept.join(between));
    return;
  }
  if (result.outcome != ExportResult::Outcome::Compiled) {
    result.outcome = ExportResult::Outcome::Compiled;
    result.caption = caption_done();
    result.message =
        QCoreApplication::translate("tamrisk::Exporter", "アニメーションを書き出しました。");
  }
}

}  // namespace

ExportResult export_frames(ProjectModel& model, const ExportOptions& options) {
  ExportRun run(model, options);
  if (!check_output(run)) {
    return run.result;
  }
  prepare_canvas(run);
  start_encodings(run);
  if (!write_frames(run)) {
    return run.result;
  }
  if (!run.png) {
    report_frames(run);
    return run.result;
  }
  make_compiled_mng(run);
  finish_animations(run);
  settle_outcome(run);
  return run.result;
}

}  // namespace tamrisk
