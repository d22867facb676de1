#include "export/compiler_run.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>

namespace tamrisk {
namespace {

constexpr int kStartMs = 10 * 1000;
constexpr int kSliceMs = 100;
// The compiler's own captions, as parse_compiler_message finds them in its
// output; the outcome carries the caption_done and caption_error shown.
const QString kCaptionDone = QStringLiteral("完了");
const QString kCaptionError = QStringLiteral("エラー");

CompilerRun failure(const QString& message) {
  return CompilerRun{false, caption_error(), message};
}

}  // namespace

QString caption_done() {
  return QCoreApplication::translate("tamrisk::CompilerRun", "完了");
}

QString caption_error() {
  return QCoreApplication::translate("tamrisk::CompilerRun", "エラー");
}

bool parse_compiler_message(const QString& output, QString* caption, QString* message) {
  const QStringList lines = output.split(QLatin1Char('\n'));
  for (qsizetype i = 0; i < lines.size(); ++i) {
    for (const QString& name : {kCaptionDone, kCaptionError}) {
      const QString head = name + QStringLiteral(": ");
      if (lines[i].startsWith(head)) {
        *caption = name;
        QString rest = lines.mid(i).join(QLatin1Char('\n')).mid(head.size());
        while (rest.endsWith(QLatin1Char('\n')) || rest.endsWith(QLatin1Char('\r'))) {
          rest.chop(1);
        }
        *message = rest;
        return true;
      }
    }
  }
  return false;
}

QString compiler_outcome(const QString& message, bool ok, const QString& animation) {
  const auto says = [&message](const char* words) {
    return message.contains(QString::fromUtf8(words));
  };
  static const QRegularExpression line_head(QStringLiteral("^\\((\\d+)行目\\)"));
  const QRegularExpressionMatch line = line_head.match(message);
  if (line.hasMatch()) {
    return QCoreApplication::translate("tamrisk::CompilerRun",
                                       "MNGコンパイラは台本の%1行目で止まりました。")
        .arg(line.captured(1));
  }
  if (says("リソースファイルの読込に失敗しました")) {
    return QCoreApplication::translate("tamrisk::CompilerRun",
                                       "MNGコンパイラは台本を読み込めませんでした。");
  }
  if (says("MNGファイルの書出に失敗しました")) {
    return QCoreApplication::translate("tamrisk::CompilerRun",
                                       "MNGコンパイラはMNGファイルを作れませんでした。");
  }
  if (says("MNGファイルの書出を中止しました")) {
    return QCoreApplication::translate("tamrisk::CompilerRun",
                                       "MNGコンパイラはMNGファイルを作らずに終わりました。");
  }
  if (says("カレントディレクトリの移動に失敗しました")) {
    return QCoreApplication::translate("tamrisk::CompilerRun",
                                       "MNGコンパイラは出力フォルダに移れませんでした。");
  }
  if (ok) {
    return animation.isEmpty()
               ? QCoreApplication::translate("tamrisk::CompilerRun",
                                             "MNGファイルを書き出しました。")
               : QCoreApplication::translate("tamrisk::CompilerRun", "「%1」を書き出しました。")
                     .arg(QFileInfo(animation).fileName());
  }
  return QCoreApplication::translate("tamrisk::CompilerRun",
                                     "MNGコンパイラがエラーを知らせました。");
}

CompilerRun run_compiler(const QString& program, const QString& script, const QString& folder,
                         int timeout_ms, const std::function<void()>& waiting) {
  const QString shown = QDir::toNativeSeparators(program);
  QProcess process;
  process.setWorkingDirectory(folder);
  process.setStandardInputFile(QProcess::nullDevice());
  QStringList arguments;
#ifdef _WIN32
  // Messages on the console streams rather than in message boxes.
  arguments << QStringLiteral("--console");
#endif
  arguments << QStringLiteral("--") << script;
  process.start(program, arguments);
  if (!process.waitForStarted(kStartMs)) {
    return failure(QCoreApplication::translate("tamrisk::CompilerRun",
                                               "MNGコンパイラ「%1」を起動できませんでした（%2）。")
                       .arg(shown, process.errorString()));
  }

  QElapsedTimer clock;
  clock.start();
  while (!process.waitForFinished(kSliceMs) && process.state() != QProcess::NotRunning) {
    if (clock.elapsed() >= timeout_ms) {
      process.kill();
      process.waitForFinished(kStartMs);
      return failure(
          QCoreApplication::translate("tamrisk::CompilerRun",
                                      "MNGコンパイラが%1秒たっても終わらないため、止めました。")
              .arg(timeout_ms / 1000.0));
    }
    if (waiting) {
      waiting();
    }
  }

  const QString output = QString::fromLocal8Bit(process.readAllStandardOutput()) +
                         QString::fromLocal8Bit(process.readAllStandardError());
  if (process.exitStatus() != QProcess::NormalExit) {
    return failure(QCoreApplication::translate("tamrisk::CompilerRun",
                                               "MNGコンパイラが異常終了しました（%1）。")
                       .arg(process.errorString()));
  }
  const int code = process.exitCode();
  CompilerRun run;
  if (!parse_compiler_message(output, &run.caption, &run.message)) {
    if (code == 0) {
      return CompilerRun{true, caption_done(), QString()};
    }
    return failure(QCoreApplication::translate("tamrisk::CompilerRun",
                                               "MNGコンパイラが終了コード %1 で終わりました。%2")
                       .arg(code)
                       .arg(output.trimmed()));
  }
  run.compiler_said = true;
  run.ok = code == 0 && run.caption == kCaptionDone;
  run.caption = run.ok ? caption_done() : caption_error();
  return run;
}

}  // namespace tamrisk
