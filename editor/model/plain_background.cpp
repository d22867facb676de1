#include "model/plain_background.h"

#include <QCoreApplication>
#include <QLocale>
#include <cmath>
#include <limits>

namespace tamrisk {

namespace {

constexpr double kHalfTolerance = 1e-9;

void set_error(QString* error, const QString& text) {
  if (error != nullptr) {
    *error = text;
  }
}

}  // namespace

double round_half_even(double value) {
  const double floor = std::floor(value);
  const double fraction = value - floor;
  if (std::fabs(fraction - 0.5) <= kHalfTolerance) {
    return std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
  }
  return std::round(value);
}

std::optional<std::int16_t> plain_size_twips(const QString& text, const QString& what,
                                             QString* error) {
  // NFKC turns full-width digits and points into ASCII ones.
  const QString plain = text.normalized(QString::NormalizationForm_KC).trimmed();
  bool ok = false;
  const double pixels = QLocale::c().toDouble(plain, &ok);
  if (!ok || !std::isfinite(pixels)) {
    set_error(error, QCoreApplication::translate("tamrisk::PlainBackground",
                                                 "%1の大きさ「%2」は数ではありません。"
                                                 "1 から %3 までのピクセル数を入れてください。")
                         .arg(what, text)
                         .arg(kMaxPlainPixels));
    return std::nullopt;
  }
  const double twips = round_half_even(pixels * kTwipsPerPixel);
  if (pixels <= 0.0 || twips <= 0.0) {
    set_error(error, QCoreApplication::translate("tamrisk::PlainBackground",
                                                 "%1の大きさ「%2」では背景を作れません。"
                                                 "0 より大きいピクセル数を入れてください。")
                         .arg(what, text));
    return std::nullopt;
  }
  if (twips > std::numeric_limits<std::int16_t>::max()) {
    set_error(error,
              QCoreApplication::translate("tamrisk::PlainBackground",
                                          "%1の大きさ「%2」は大きすぎます。%3 ピクセルまでです。")
                  .arg(what, text)
                  .arg(kMaxPlainPixels));
    return std::nullopt;
  }
  return static_cast<std::int16_t>(twips);
}

bool apply_plain_background(ProjectModel& model, const QString& width_text,
                            const QString& height_text, QString* error) {
  const std::optional<std::int16_t> width = plain_size_twips(
      width_text, QCoreApplication::translate("tamrisk::PlainBackground", "よこ"), error);
  if (!width) {
    return false;
  }
  const std::optional<std::int16_t> height = plain_size_twips(
      height_text, QCoreApplication::translate("tamrisk::PlainBackground", "たて"), error);
  if (!height) {
    return false;
  }
  model.bg_from_file = false;
  model.bg_width = *width;
  model.bg_height = *height;
  model.set_plain_background();
  model.fit_frame_canvas();
  return true;
}

}  // namespace tamrisk
