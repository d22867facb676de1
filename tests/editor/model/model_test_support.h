#pragma once

#include <gtest/gtest.h>
#include <QByteArray>
#include <QString>

#include "model/project_model.h"

namespace tamrisk::test {

// Every field of two models, the pictures pixel by pixel.
::testing::AssertionResult SameModel(const ProjectModel& a, const ProjectModel& b);

// A model whose every field differs from the start-up defaults.
ProjectModel BusyModel(const QString& program_folder);

// Text with "\n" line ends turned into CR LF.
QByteArray Crlf(const char* text);
// A settings file: the given layer paths quoted, empty records up to eleven,
// then the rest of the records.
QByteArray Records(const QStringList& layers, const char* rest);

bool WriteFile(const QString& path, const QByteArray& bytes);
QByteArray ReadFile(const QString& path);

// A picture file of one colour, written by Qt.
bool WritePicture(const QString& path, int width, int height, QRgb colour);

}  // namespace tamrisk::test
