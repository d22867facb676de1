#include "export/exporter.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <filesystem>
#include <system_error>

#include "export/animation_test.h"
#include "export/export_paths.h"
#include "export/frame_encoder.h"
#include "export/mng_script.h"
#include "platform/atomic_file.h"
#include "platform/png_codec.h"
#include "platform/program_folder.h"
#include "render/compose.h"

namespace tamrisk {
namespace {

const QString kCaptionDone = QStringLiteral("完了");
const QString kCaptionError = QStringLiteral("エラー");

QString shown(const QString& path) {
  return QDir::toNativeSeparators(path);
}

ExportResult failed(ExportResult result, const QString& message) {
  result.outcome = ExportResult::Outcome::Failed;
  result.caption = kCaptionError;
  result.message = message;
  return result;
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

}  // namespace

ExportResult export_frames(ProjectModel& model, const ExportOptions& options) {
  ExportResult result;
  QString why;
  if (!check_basename(model.basename, &why)) {
    return failed(result, why);
  }
  const ExportPaths paths(model.output_dir, model.basename);
  if (model.output_dir.isEmpty() || !QFileInfo(paths.folder()).isDir()) {
    return failed(result,
                  QStringLiteral("出力先のフォルダ「%1」がありません。").arg(paths.folder()));
  }

  if (options.animation != nullptr) {
    options.animation->halt();
  }
  const int n = model.frame_count();
  if (model.win_main.isNull()) {
    model.fit_frame_canvas();
  }
  model.win_main.fill(colour_to_qrgb(kWindowColour));
  const int width = model.win_main.width();
  const int height = model.win_main.height();
  const bool png = model.png_output;

  // Frames are composed here in order. PNG frames are encoded on worker
  // threads meanwhile; each file is written here, in order, once its bytes
  // are ready. The outcome is that of composing and writing one frame after
  // the other.
  QStringList script_names;
  FrameEncoder encoder(png ? options.encode_threads : 1);
  int written = 0;
  // Writes frame `written` from the encoder or, in BMP mode, from win_main.
  const auto write_next = [&]() {
    const QString file = paths.frame_file(written, png);
    QByteArray bytes;
    const bool ok = png ? encoder.take(&bytes, &why) && write_png_bytes(bytes, file, &why)
                        : write_bmp(model.win_main, file, &why);
    if (!ok) {
      why = QStringLiteral("コマのファイル「%1」を書き出せませんでした（%2）。")
                .arg(shown(file), why);
      return false;
    }
    result.files << file;
    script_names << paths.script_frame_name(written);
    if (options.frame_written) {
      options.frame_written(written, n);
    }
    ++written;
    return true;
  };
  // After a failure the model shows the frame that failed, as if no later
  // frame had been composed.
  const auto fail_frame = [&]() {
    if (model.cur_frame != written) {
      model.cur_frame = static_cast<std::int16_t>(written);
      compose_frame(model, false);
    }
    return failed(result, why);
  };
  for (int k = 0; k < n; ++k) {
    model.cur_frame = static_cast<std::int16_t>(k);
    compose_frame(model, false);
    if (png) {
      encoder.add(model.win_main.copy(), width, height);
    }
    // BMP mode writes this frame; PNG mode the oldest ones while the encoder
    // is full, and all that are left after the last frame.
    while (png ? encoder.full() || (k == n - 1 && !encoder.empty()) : written <= k) {
      if (!write_next()) {
        return fail_frame();
      }
    }
  }
  if (!png) {
    result.outcome = ExportResult::Outcome::Written;
    result.caption = kCaptionDone;
    result.message = QStringLiteral("%1コマをBMPファイルに書き出しました。").arg(n);
    return result;
  }

  result.script_text = mng_script_text(width, height, script_names);
  const QString script = paths.script_file();
  if (!write_script(script, result.script_text, &why)) {
    return failed(result, why);
  }
  result.files << script;

  // An existing animation is kept until the new one replaces it.
  const QString animation = paths.final_animation();
  if (QFileInfo::exists(animation) &&
      !(options.confirm_overwrite && options.confirm_overwrite(animation))) {
    result.outcome = ExportResult::Outcome::Declined;
    result.message =
        QStringLiteral("「%1」を残し、MNGファイルは作りませんでした。").arg(shown(animation));
    return result;
  }
  const QString output = paths.compiler_output();
  if (QFileInfo::exists(output) && !QFile::remove(output)) {
    return failed(result,
                  QStringLiteral("前回の出力「%1」を削除できませんでした。").arg(shown(output)));
  }

  if (options.compiling) {
    options.compiling(script);
  }
  const QString compiler = options.compiler.isEmpty() ? default_compiler_path() : options.compiler;
  const CompilerRun run =
      run_compiler(compiler, script, paths.folder(), options.compiler_timeout_ms, options.waiting);
  if (!run.ok) {
    return failed(result, run.message);
  }
  if (!QFileInfo::exists(output)) {
    QString message = run.message.isEmpty() ? QString() : run.message + QLatin1Char('\n');
    return failed(
        result,
        message + QStringLiteral("MNGコンパイラの出力「%1」が見つかりません。").arg(shown(output)));
  }
  if (!replace_file(output, animation, &why)) {
    return failed(result, QStringLiteral("「%1」を「%2」に置き換えられませんでした（%3）。")
                              .arg(shown(output), shown(animation), why));
  }
  result.outcome = ExportResult::Outcome::Compiled;
  result.caption = run.caption;
  result.message = run.message;
  result.animation = animation;
  return result;
}

}  // namespace tamrisk
