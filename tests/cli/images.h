#pragma once

// Test pictures made with Qt and saved as PNG files.

#include <QImage>

#include <string>

#include "run_vessik.h"

namespace cli {

// Frame number index of a small animation: its own background colour, a
// rectangle that moves with the index and a diagonal line, so that frames
// differ both in colour and in shape.
QImage MakeFrame(int width, int height, int index);

// Noise that PNG cannot compress: a file of roughly width * height * 3 bytes.
QImage MakeNoise(int width, int height, unsigned seed);

// Saves image as PNG at path and returns the file's bytes.
std::string SavePng(const fs::path& path, const QImage& image);

// The first pixel that differs, or an empty text when both images are equal
// in size and in every pixel (compared as opaque RGB).
std::string FirstDifference(const QImage& actual, const QImage& expected);

}  // namespace cli
