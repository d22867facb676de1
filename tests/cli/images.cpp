#include "images.h"

#include <QColor>
#include <QPainter>
#include <QString>

#include <random>
#include <stdexcept>

namespace cli {

QImage MakeFrame(int width, int height, int index) {
  static const QRgb kBackground[] = {qRgb(200, 30, 30), qRgb(30, 160, 40), qRgb(20, 40, 210),
                                     qRgb(240, 220, 20), qRgb(120, 0, 140)};
  static const QRgb kShape[] = {qRgb(255, 255, 255), qRgb(0, 0, 0), qRgb(255, 128, 0)};
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(kBackground[index % 5]);
  QPainter painter(&image);
  painter.fillRect(1 + 3 * index, 2 + index, width / 3, height / 3, QColor(kShape[index % 3]));
  painter.setPen(QColor(kShape[(index + 1) % 3]));
  painter.drawLine(0, height - 1 - index, width - 1, index);
  painter.end();
  return image;
}

QImage MakeNoise(int width, int height, unsigned seed) {
  std::mt19937 random(seed);
  QImage image(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      image.setPixel(x, y, 0xFF000000u | (random() & 0xFFFFFFu));
    }
  }
  return image;
}

std::string SavePng(const fs::path& path, const QImage& image) {
  if (!image.save(QString::fromStdString(path.string()), "PNG")) {
    throw std::runtime_error("cannot save " + path.string());
  }
  return ReadFile(path);
}

std::string FirstDifference(const QImage& actual, const QImage& expected) {
  if (actual.size() != expected.size()) {
    return "size " + std::to_string(actual.width()) + "x" + std::to_string(actual.height()) +
           ", expected " + std::to_string(expected.width()) + "x" +
           std::to_string(expected.height());
  }
  const QImage a = actual.convertToFormat(QImage::Format_RGB32);
  const QImage e = expected.convertToFormat(QImage::Format_RGB32);
  for (int y = 0; y < e.height(); ++y) {
    for (int x = 0; x < e.width(); ++x) {
      if (a.pixel(x, y) != e.pixel(x, y)) {
        return "pixel (" + std::to_string(x) + "," + std::to_string(y) + ") is " +
               QColor(a.pixel(x, y)).name().toStdString() + ", expected " +
               QColor(e.pixel(x, y)).name().toStdString();
      }
    }
  }
  return {};
}

}  // namespace cli
