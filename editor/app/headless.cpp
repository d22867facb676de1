#include "app/headless.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <cstdio>
#include <cstring>
#include <optional>

#include "export/export_paths.h"
#include "export/exporter.h"
#include "model/settings_file.h"
#include "platform/program_folder.h"
#include "render/picture_readers.h"

namespace tamrisk {
namespace {

void print(std::FILE* stream, const QString& text) {
  const QByteArray bytes = text.toLocal8Bit();
  std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
  std::fflush(stream);
}

int fail(const QString& text) {
  print(stderr, QCoreApplication::translate("tamrisk::Headless", "Tamrisk: %1\n").arg(text));
  return 1;
}

int usage_error(const QString& text) {
  return fail(text + QCoreApplication::translate("tamrisk::Headless", "\nTry 'Tamrisk --help'."));
}

// The export of a loaded project, reporting as it goes.
int export_project(ProjectModel& model, const QString& compiler, bool force,
                   const QList<AnimationFormat>& formats) {
  const ExportPaths paths(model.output_dir, model.basename);
  if (model.png_output && !force && check_basename(model.basename, nullptr)) {
    for (const AnimationFormat format : formats) {
      for (const QString& animation :
           {paths.animation_file(format), paths.companion_file(format)}) {
        if (animation.isEmpty() || !QFileInfo::exists(animation)) {
          continue;
        }
        return fail(
            QCoreApplication::translate("tamrisk::Headless", "%1 exists; add --force to replace it")
                .arg(QDir::toNativeSeparators(animation)));
      }
    }
  }
  ExportOptions options;
  options.compiler = compiler;
  options.formats = formats;
  options.confirm_overwrite = [force](const QString&) { return force; };
  options.frame_written = [&paths, &model](int k, int n) {
    print(stdout, QCoreApplication::translate("tamrisk::Headless", "frame %1/%2 %3\n")
                      .arg(k + 1)
                      .arg(n)
                      .arg(paths.frame_file(k, model.png_output)));
  };
  options.compiling = [](const QString& script) {
    print(stdout, QCoreApplication::translate("tamrisk::Headless", "compiling %1\n").arg(script));
  };
  options.finishing = [](AnimationFormat format, const QString& path) {
    print(stdout, QCoreApplication::translate("tamrisk::Headless", "writing %1 %2\n")
                      .arg(format_name(format), path));
  };
  const ExportResult result = export_frames(model, options);
  for (const QString& note : result.notes) {
    print(stdout, note + QLatin1Char('\n'));
  }
  // What was written, also when a later step failed.
  for (const AnimationFile& file : result.animations) {
    print(stdout, QCoreApplication::translate("tamrisk::Headless", "wrote %1 (%2 bytes)\n")
                      .arg(file.path)
                      .arg(file.bytes));
  }
  const QString line = result.caption.isEmpty() ? result.message + QLatin1Char('\n')
                                                : result.caption + QStringLiteral(": ") +
                                                      result.message + QLatin1Char('\n');
  if (result.ok()) {
    print(stdout, line);
    return 0;
  }
  print(stderr, line);
  return 1;
}

}  // namespace

bool wants_headless(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (argv[i][0] == '-' && std::strcmp(argv[i], "-") != 0) {
      return true;
    }
  }
  return false;
}

int run_headless(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setApplicationDescription(QCoreApplication::translate(
      "tamrisk::Headless",
      "Makes frames and an MNG animation from a settings file, without a window.\n"
      "Relative paths in the file are taken from its own folder. Without --output-dir\n"
      "the frames go to the output folder the file names. An existing animation is\n"
      "replaced only with --force."));
  const QCommandLineOption export_option(
      QStringLiteral("export"),
      QCoreApplication::translate("tamrisk::Headless", "Export the project in <FILE.pst>."),
      QStringLiteral("FILE.pst"));
  const QCommandLineOption png_option(
      QStringLiteral("png"),
      QCoreApplication::translate("tamrisk::Headless",
                                  "PNG frames compiled into <basename>.mng (default)."));
  const QCommandLineOption bmp_option(
      QStringLiteral("bmp"),
      QCoreApplication::translate("tamrisk::Headless", "BMP frames only, no animation."));
  const QCommandLineOption dir_option(
      QStringLiteral("output-dir"),
      QCoreApplication::translate("tamrisk::Headless",
                                  "Write into <DIR> instead (created when missing)."),
      QStringLiteral("DIR"));
  const QCommandLineOption force_option(
      QStringLiteral("force"),
      QCoreApplication::translate("tamrisk::Headless", "Replace an existing <basename>.mng."));
  const QCommandLineOption format_option(
      QStringLiteral("format"),
      QCoreApplication::translate(
          "tamrisk::Headless",
          "PNG mode: the animations to make, comma-separated: mng (every frame "
          "whole, through the compiler; the default), compact-mng (<basename>.mng "
          "of the changed rectangles), apng (<basename>.png), gif (<basename>.gif), "
          "webp (<basename>.webp, lossless), sheet (<basename>_sheet.png and "
          "<basename>_sheet.json, a sprite sheet)."),
      QStringLiteral("LIST"));
  const QCommandLineOption fps_option(
      QStringLiteral("fps"),
      QCoreApplication::translate("tamrisk::Headless",
                                  "Frames a second of the animations, %1 to %2, instead of the "
                                  "project's own.")
          .arg(AnimationTiming::kMinFrameRate)
          .arg(AnimationTiming::kMaxFrameRate),
      QStringLiteral("N"));
  const QCommandLineOption loop_option(
      QStringLiteral("loop"),
      QCoreApplication::translate("tamrisk::Headless",
                                  "How often the animations play, 1 to %1, or 0 for ever, instead "
                                  "of the project's own.")
          .arg(AnimationTiming::kMaxLoopCount),
      QStringLiteral("N"));
  const QCommandLineOption scale_option(
      QStringLiteral("scale"),
      QCoreApplication::translate(
          "tamrisk::Headless",
          "Show every pixel of the animations as an N x N block, 1 to %1, "
          "instead of the project's scale; the frame files keep their size.")
          .arg(ProjectModel::kMaxExportScale),
      QStringLiteral("N"));
  const QCommandLineOption compiler_option(
      QStringLiteral("compiler"),
      QCoreApplication::translate("tamrisk::Headless",
                                  "The MNG compiler to run (default: vessik beside Tamrisk)."),
      QStringLiteral("PATH"));
  parser.addOptions({export_option, png_option, bmp_option, format_option, fps_option, loop_option,
                     scale_option, dir_option, force_option, compiler_option});
  const QCommandLineOption help_option = parser.addHelpOption();
  const QCommandLineOption version_option = parser.addVersionOption();

  if (!parser.parse(arguments)) {
    return usage_error(parser.errorText());
  }
  if (parser.isSet(help_option)) {
    // Qt's help names the options; the first line is ours.
    QString help = parser.helpText();
    help = help.mid(help.indexOf(QLatin1Char('\n')) + 1);
    print(stdout, QCoreApplication::translate(
                      "tamrisk::Headless",
                      "Usage: Tamrisk --export FILE.pst [--png|--bmp] [--format LIST] "
                      "[--fps N] [--loop N] [--scale N] [--output-dir DIR] [--force]\n") +
                      help);
    return 0;
  }
  if (parser.isSet(version_option)) {
    print(stdout, QCoreApplication::translate("tamrisk::Headless", "Tamrisk %1\n")
                      .arg(QCoreApplication::applicationVersion()));
    return 0;
  }
  if (!parser.isSet(export_option)) {
    return usage_error(
        QCoreApplication::translate("tamrisk::Headless", "these options need --export FILE.pst"));
  }
  if (!parser.positionalArguments().isEmpty()) {
    return usage_error(QCoreApplication::translate("tamrisk::Headless", "unexpected argument %1")
                           .arg(parser.positionalArguments().first()));
  }
  if (parser.isSet(png_option) && parser.isSet(bmp_option)) {
    return usage_error(
        QCoreApplication::translate("tamrisk::Headless", "--png and --bmp exclude each other"));
  }
  QList<AnimationFormat> formats{AnimationFormat::Mng};
  if (parser.isSet(format_option)) {
    QString why;
    if (parser.isSet(bmp_option)) {
      return usage_error(QCoreApplication::translate(
          "tamrisk::Headless", "--format makes animations of PNG frames; drop --bmp"));
    }
    if (!parse_formats(parser.value(format_option), &formats, &why)) {
      return usage_error(why);
    }
  }
  // A value out of range is refused before anything is read or written.
  const auto number = [&parser](const QCommandLineOption& option, int min, int max,
                                std::optional<int>* value, QString* why) {
    if (!parser.isSet(option)) {
      return true;
    }
    bool ok = false;
    const int v = parser.value(option).toInt(&ok);
    if (!ok || v < min || v > max) {
      *why = QCoreApplication::translate("tamrisk::Headless",
                                         "--%1 takes a whole number from %2 to %3, not \"%4\"")
                 .arg(option.names().first())
                 .arg(min)
                 .arg(max)
                 .arg(parser.value(option));
      return false;
    }
    *value = v;
    return true;
  };
  std::optional<int> fps;
  std::optional<int> loop;
  std::optional<int> scale;
  QString why;
  if (!number(fps_option, AnimationTiming::kMinFrameRate, AnimationTiming::kMaxFrameRate, &fps,
              &why) ||
      !number(loop_option, 0, AnimationTiming::kMaxLoopCount, &loop, &why) ||
      !number(scale_option, 1, ProjectModel::kMaxExportScale, &scale, &why)) {
    return usage_error(why);
  }

  const QString file = parser.value(export_option);
  const QFileInfo info(file);
  if (!info.exists()) {
    return fail(
        QCoreApplication::translate("tamrisk::Headless", "%1: no such settings file").arg(file));
  }
  if (!info.isFile()) {
    return fail(QCoreApplication::translate("tamrisk::Headless",
                                            "%1: not a settings file (a folder or a device)")
                    .arg(file));
  }
  ProjectModel model(program_folder());
  QString error;
  QStringList warnings;
  if (!load_settings(model, QFileInfo(file).absoluteFilePath(), &error, editor_picture_readers(),
                     &warnings)) {
    return fail(error);
  }
  for (const QString& warning : warnings) {
    for (const QString& line : warning.split(QLatin1Char('\n'))) {
      print(stderr, QCoreApplication::translate("tamrisk::Headless", "Tamrisk: %1\n").arg(line));
    }
  }
  model.png_output = !parser.isSet(bmp_option);
  model.timing.frame_rate = fps.value_or(model.timing.frame_rate);
  model.timing.loop_count = loop.value_or(model.timing.loop_count);
  model.export_scale = scale.value_or(model.export_scale);
  if (parser.isSet(dir_option)) {
    const QString dir = QFileInfo(parser.value(dir_option)).absoluteFilePath();
    if (!QDir().mkpath(dir)) {
      return fail(QCoreApplication::translate("tamrisk::Headless", "cannot create the folder %1")
                      .arg(QDir::toNativeSeparators(dir)));
    }
    model.set_output_folder(QDir::toNativeSeparators(dir));
  }
  QString compiler;
  if (parser.isSet(compiler_option)) {
    compiler = QFileInfo(parser.value(compiler_option)).absoluteFilePath();
  }
  return export_project(model, compiler, parser.isSet(force_option), formats);
}

}  // namespace tamrisk
