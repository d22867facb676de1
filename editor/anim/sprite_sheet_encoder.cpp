#include "anim/sprite_sheet_encoder.h"

#include <QCoreApplication>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/png_encode.h"

namespace tamrisk {
namespace {

QJsonObject rect_object(QRect rect) {
  return {{QStringLiteral("x"), rect.x()},
          {QStringLiteral("y"), rect.y()},
          {QStringLiteral("w"), rect.width()},
          {QStringLiteral("h"), rect.height()}};
}

QJsonObject size_object(QSize size) {
  return {{QStringLiteral("w"), size.width()}, {QStringLiteral("h"), size.height()}};
}

class SpriteSheetEncoder final : public AnimationEncoder {
 public:
  SpriteSheetEncoder(QSize size, const AnimationTiming& timing, int frame_count)
      : AnimationEncoder(size, timing) {
    cell_of_.reserve(static_cast<std::size_t>(std::max(frame_count, 1)));
  }

  QByteArray companion(const QString& image_name, const QStringList& frame_names,
                       int scale) const override {
    QJsonObject frames;
    long long periods = 0;
    for (std::size_t k = 0; k < cell_of_.size(); ++k) {
      const auto start = milliseconds_until(periods, timing().frame_rate);
      periods += periods_[k];
      const QRect frame(place(cell_of_[k]), size());
      const QString name = static_cast<qsizetype>(k) < frame_names.size()
                               ? frame_names[static_cast<qsizetype>(k)]
                               : QString::number(k);
      frames.insert(
          name, QJsonObject{
                    {QStringLiteral("frame"), rect_object(frame)},
                    {QStringLiteral("rotated"), false},
                    {QStringLiteral("trimmed"), false},
                    {QStringLiteral("spriteSourceSize"), rect_object(QRect({}, size()))},
                    {QStringLiteral("sourceSize"), size_object(size())},
                    {QStringLiteral("duration"),
                     static_cast<int>(milliseconds_until(periods, timing().frame_rate) - start)},
                });
    }
    const QJsonObject meta{
        {QStringLiteral("app"), QStringLiteral("Tamrisk")},
        {QStringLiteral("version"), QCoreApplication::applicationVersion()},
        {QStringLiteral("image"), image_name},
        {QStringLiteral("format"), QStringLiteral("RGB888")},
        {QStringLiteral("size"), size_object(sheet_size_)},
        {QStringLiteral("scale"), QString::number(scale)},
    };
    return QJsonDocument(
               QJsonObject{{QStringLiteral("frames"), frames}, {QStringLiteral("meta"), meta}})
        .toJson(QJsonDocument::Indented);
  }

 protected:
  bool folds_unchanged() const override { return false; }

  bool take(const FrameStep& step, QString* /*error: nothing fails here*/) override {
    // A frame that shows what an earlier one showed shares its cell.
    const size_t key =
        qHashBits(step.frame.constBits(), static_cast<size_t>(step.frame.sizeInBytes()));
    int cell = -1;
    for (const int candidate : cells_by_hash_.values(key)) {
      if (cells_[static_cast<std::size_t>(candidate)] == step.frame) {
        cell = candidate;
        break;
      }
    }
    if (cell < 0) {
      cell = static_cast<int>(cells_.size());
      cells_.push_back(step.frame);
      cells_by_hash_.insert(key, cell);
    }
    cell_of_.push_back(cell);
    periods_.push_back(step.periods);
    return true;
  }

  bool assemble(QByteArray* bytes, QString* error) override {
    // A grid that keeps the sheet near square, and one row; the smaller
    // file is kept.
    const int n = static_cast<int>(cells_.size());
    int best = n;
    double best_ratio = 0;
    for (int columns = 1; columns <= n; ++columns) {
      const int rows = (n + columns - 1) / columns;
      const double w = static_cast<double>(columns) * size().width();
      const double h = static_cast<double>(rows) * size().height();
      const double ratio = std::max(w, h) / std::min(w, h);
      if (columns == 1 || ratio < best_ratio) {
        best = columns;
        best_ratio = ratio;
      }
    }
    QByteArray smallest;
    int chosen = 0;
    for (const int columns : {best, n}) {
      QByteArray png;
      if (!encode_sheet(columns, &png, error)) {
        return false;
      }
      if (smallest.isEmpty() || png.size() < smallest.size()) {
        smallest = std::move(png);
        chosen = columns;
      }
      if (best == n) {
        break;
      }
    }
    columns_ = chosen;
    sheet_size_ =
        QSize(columns_ * size().width(), ((n + columns_ - 1) / columns_) * size().height());
    *bytes = std::move(smallest);
    return true;
  }

 private:
  QPoint place(int cell, int columns = 0) const {
    columns = columns > 0 ? columns : columns_;
    return QPoint(cell % columns * size().width(), cell / columns * size().height());
  }

  bool encode_sheet(int columns, QByteArray* png, QString* error) const {
    const int n = static_cast<int>(cells_.size());
    const int rows = (n + columns - 1) / columns;
    if (static_cast<qint64>(columns) * size().width() > kMaxSheetSide ||
        static_cast<qint64>(rows) * size().height() > kMaxSheetSide) {
      *error = QCoreApplication::translate("tamrisk::SpriteSheetEncoder",
                                           "スプライトシートが縦横 %1 ピクセルに収まりません。")
                   .arg(kMaxSheetSide);
      return false;
    }
    QImage sheet(columns * size().width(), rows * size().height(), QImage::Format_RGB32);
    if (sheet.isNull()) {
      *error = out_of_memory();
      return false;
    }
    sheet.fill(Qt::black);
    const auto row_bytes = static_cast<std::size_t>(size().width()) * 4;
    for (int cell = 0; cell < n; ++cell) {
      const QImage& frame = cells_[static_cast<std::size_t>(cell)];
      const QPoint at = place(cell, columns);
      for (int y = 0; y < size().height(); ++y) {
        std::memcpy(sheet.scanLine(at.y() + y) + static_cast<std::size_t>(at.x()) * 4,
                    frame.constScanLine(y), row_bytes);
      }
    }
    return encode_png(sheet, sheet.width(), sheet.height(), png, error, PngEffort::kStrong);
  }

  // A side PNG readers and game engines take.
  static constexpr qint64 kMaxSheetSide = 32767;

  std::vector<QImage> cells_;  // each distinct frame once
  QMultiHash<size_t, int> cells_by_hash_;
  std::vector<int> cell_of_;  // for every frame
  std::vector<int> periods_;  // for every frame
  int columns_ = 1;
  QSize sheet_size_;
};

}  // namespace

std::unique_ptr<AnimationEncoder> make_sprite_sheet_encoder(QSize size,
                                                            const AnimationTiming& timing,
                                                            int frame_count) {
  return std::make_unique<SpriteSheetEncoder>(size, timing, frame_count);
}

}  // namespace tamrisk
