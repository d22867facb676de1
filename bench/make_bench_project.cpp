// make_bench_project FOLDER WIDTH HEIGHT [--colours palette|rgb]: writes the
// benchmark project (its layer pictures and bench.pst, paths relative to the
// folder) into FOLDER; --colours rgb writes the variant whose frames have
// more than 256 colours. make_bench_project FOLDER [WIDTH HEIGHT] --kind KIND
// writes a project of another kind (see bench_project.h), by default at that
// kind's own size.
#include <QCoreApplication>
#include <QDir>
#include <QSet>
#include <QString>
#include <algorithm>
#include <cstdio>

#include "bench_project.h"

namespace {

int colours_of(const QImage& image) {
  QSet<QRgb> seen;
  for (int y = 0; y < image.height(); ++y) {
    const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      seen.insert(row[x] & 0xFFFFFFu);
    }
  }
  return static_cast<int>(seen.size());
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  using tamrisk::bench::BenchColours;
  using tamrisk::bench::BenchKind;
  QStringList args = app.arguments();
  const auto take = [&](const QString& name, QString* value) {
    const qsizetype option = args.indexOf(name);
    if (option < 0) {
      return false;
    }
    *value = option + 1 < args.size() ? args[option + 1] : QString();
    args.remove(option, std::min<qsizetype>(2, args.size() - option));
    return true;
  };
  QString value;
  BenchColours variant = BenchColours::kPalette;
  const bool has_colours = take(QStringLiteral("--colours"), &value);
  bool ok_variant =
      !has_colours || value == QStringLiteral("palette") || value == QStringLiteral("rgb");
  if (value == QStringLiteral("rgb")) {
    variant = BenchColours::kRgb;
  }
  BenchKind kind = BenchKind::kMeadow;
  bool ok_kind = true;
  if (take(QStringLiteral("--kind"), &value)) {
    ok_kind = tamrisk::bench::parse_bench_kind(value, &kind);
  }
  // The colour variants are the meadow's.
  ok_variant = ok_variant && (!has_colours || kind == BenchKind::kMeadow);
  const bool meadow = kind == BenchKind::kMeadow;
  bool ok_w = false;
  bool ok_h = false;
  int width = 0;
  int height = 0;
  if (args.size() == 4) {
    width = args[2].toInt(&ok_w);
    height = args[3].toInt(&ok_h);
  } else if (args.size() == 2 && !meadow) {
    width = tamrisk::bench::bench_kind_size(kind).width();
    height = tamrisk::bench::bench_kind_size(kind).height();
    ok_w = ok_h = true;
  }
  const int least = meadow ? 64 : 16;
  if (!ok_variant || !ok_kind || !ok_w || !ok_h || width < least || height < least ||
      width > 2184 || height > 2184) {
    std::fprintf(stderr,
                 "usage: make_bench_project FOLDER WIDTH HEIGHT [--colours palette|rgb]"
                 " (64..2184 pixels)\n"
                 "       make_bench_project FOLDER [WIDTH HEIGHT] --kind KIND (16..2184 pixels)\n"
                 "KIND: %s (meadow, the default, needs the size)\n",
                 qPrintable(tamrisk::bench::bench_kind_names().join(QStringLiteral(", "))));
    return 2;
  }
  if (meadow) {
    // The palette variant's frames are palette pictures only if its background
    // holds exactly the 256 colours the other layers are drawn from.
    const int colours = colours_of(tamrisk::bench::make_layers(width, height, variant).pic[0]);
    if (variant == BenchColours::kPalette ? colours != 256 : colours <= 256) {
      std::fprintf(stderr, "make_bench_project: the background has %d colours\n", colours);
      return 1;
    }
  }
  QString error;
  if (!QDir().mkpath(args[1]) ||
      !tamrisk::bench::write_bench_scene(
          args[1], tamrisk::bench::make_scene(kind, width, height, variant), &error)) {
    std::fprintf(stderr, "make_bench_project: %s\n", qPrintable(error));
    return 1;
  }
  return 0;
}
