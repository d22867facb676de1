// make_bench_project FOLDER WIDTH HEIGHT [--colours palette|rgb]: writes the
// benchmark project (its layer pictures and bench.pst, paths relative to the
// folder) into FOLDER; --colours rgb writes the variant whose frames have
// more than 256 colours.
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
  QStringList args = app.arguments();
  BenchColours variant = BenchColours::kPalette;
  bool ok_variant = true;
  const qsizetype option = args.indexOf(QStringLiteral("--colours"));
  if (option >= 0) {
    const QString value = option + 1 < args.size() ? args[option + 1] : QString();
    ok_variant = value == QStringLiteral("palette") || value == QStringLiteral("rgb");
    variant = value == QStringLiteral("rgb") ? BenchColours::kRgb : BenchColours::kPalette;
    args.remove(option, std::min<qsizetype>(2, args.size() - option));
  }
  bool ok_w = false;
  bool ok_h = false;
  const int width = args.size() == 4 ? args[2].toInt(&ok_w) : 0;
  const int height = args.size() == 4 ? args[3].toInt(&ok_h) : 0;
  if (!ok_variant || !ok_w || !ok_h || width < 64 || height < 64 || width > 2184 || height > 2184) {
    std::fprintf(stderr,
                 "usage: make_bench_project FOLDER WIDTH HEIGHT [--colours palette|rgb]"
                 " (64..2184 pixels)\n");
    return 2;
  }
  // The palette variant's frames are palette pictures only if its background
  // holds exactly the 256 colours the other layers are drawn from.
  const int colours = colours_of(tamrisk::bench::make_layers(width, height, variant).pic[0]);
  if (variant == BenchColours::kPalette ? colours != 256 : colours <= 256) {
    std::fprintf(stderr, "make_bench_project: the background has %d colours\n", colours);
    return 1;
  }
  QString error;
  if (!QDir().mkpath(args[1]) ||
      !tamrisk::bench::write_bench_project(args[1], width, height, &error, variant)) {
    std::fprintf(stderr, "make_bench_project: %s\n", qPrintable(error));
    return 1;
  }
  return 0;
}
