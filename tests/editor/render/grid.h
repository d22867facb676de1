#pragma once

#include <QImage>
#include <QString>
#include <string>

#include "model/project_model.h"

namespace tamrisk::test {

// Small pictures written as text, one character a pixel and "/" between
// rows, so that expected frames can be drawn by hand. 'w' is the window
// colour of an empty canvas; every other character has a colour of its own.
inline QRgb grid_colour(char c) {
  if (c == 'w') {
    return colour_to_qrgb(kWindowColour);
  }
  const int v = static_cast<unsigned char>(c);
  return qRgb(v, (v * 3) & 0xFF, 255 - v);
}

inline QImage grid(const std::string& text) {
  int width = 0;
  int height = 1;
  int column = 0;
  for (char c : text) {
    if (c == '/') {
      ++height;
      column = 0;
    } else {
      width = std::max(width, ++column);
    }
  }
  QImage image(width, height, QImage::Format_RGB32);
  int x = 0;
  int y = 0;
  for (char c : text) {
    if (c == '/') {
      ++y;
      x = 0;
    } else {
      image.setPixel(x++, y, grid_colour(c));
    }
  }
  return image;
}

// The inverse of grid(); '?' for a colour no character has.
inline std::string text_of(const QImage& image) {
  std::string text;
  for (int y = 0; y < image.height(); ++y) {
    if (y > 0) {
      text += '/';
    }
    for (int x = 0; x < image.width(); ++x) {
      char found = '?';
      for (int c = 33; c < 127; ++c) {
        if (grid_colour(static_cast<char>(c)) == (image.pixel(x, y) | 0xFF000000u)) {
          found = static_cast<char>(c);
          break;
        }
      }
      text += found;
    }
  }
  return text;
}

}  // namespace tamrisk::test
