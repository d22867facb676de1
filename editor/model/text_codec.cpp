#include "model/text_codec.h"

#include <QStringDecoder>
#include <QStringEncoder>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <iconv.h>

#include <cerrno>
#endif

namespace tamrisk {

std::optional<QByteArray> encode_system_text(const QString& text) {
  QStringEncoder encoder(QStringConverter::System, QStringConverter::Flag::Stateless);
  QByteArray bytes = encoder(text);
  if (encoder.hasError()) {
    return std::nullopt;
  }
  // Some code pages put a '?' in silently: only a faithful round trip counts.
  QStringDecoder decoder(QStringConverter::System, QStringConverter::Flag::Stateless);
  const QString back = decoder(bytes);
  if (decoder.hasError() || back != text) {
    return std::nullopt;
  }
  return bytes;
}

std::optional<QString> decode_settings_text(const QByteArray& bytes) {
  QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
  QString text = utf8(bytes);
  if (!utf8.hasError()) {
    return text;
  }
  return decode_cp932(bytes);
}

std::optional<QString> decode_cp932(const QByteArray& bytes) {
  // Qt knows code page 932 only when it is built with ICU.
  QStringDecoder decoder("windows-31j", QStringConverter::Flag::Stateless);
  if (!decoder.isValid()) {
    return detail::decode_cp932_native(bytes);
  }
  QString text = decoder(bytes);
  if (decoder.hasError()) {
    return std::nullopt;
  }
  return text;
}

namespace detail {

#ifdef _WIN32

std::optional<QString> decode_cp932_native(const QByteArray& bytes) {
  if (bytes.isEmpty()) {
    return QString();
  }
  if (bytes.size() > 0x7FFFFFFF) {
    return std::nullopt;
  }
  const int in_size = static_cast<int>(bytes.size());
  const int count =
      MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes.constData(), in_size, nullptr, 0);
  if (count <= 0) {
    return std::nullopt;
  }
  std::wstring wide(static_cast<size_t>(count), L'\0');
  if (MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes.constData(), in_size, wide.data(),
                          count) != count) {
    return std::nullopt;
  }
  return QString::fromStdWString(wide);
}

#else

std::optional<QString> decode_cp932_native(const QByteArray& bytes) {
  // "SHIFT_JIS" in glibc reads 0x5C as a yen sign; paths need the backslash.
  iconv_t cd = iconv_open("UTF-8", "CP932");
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    cd = iconv_open("UTF-8", "WINDOWS-31J");
  }
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    return std::nullopt;
  }
  // One byte of code page 932 gives at most three bytes of UTF-8.
  QByteArray out(bytes.size() * 3 + 4, '\0');
  QByteArray in = bytes;
  char* in_ptr = in.data();
  size_t in_left = static_cast<size_t>(in.size());
  char* out_ptr = out.data();
  size_t out_left = static_cast<size_t>(out.size());
  const size_t result = iconv(cd, &in_ptr, &in_left, &out_ptr, &out_left);
  iconv_close(cd);
  if (result == static_cast<size_t>(-1) || in_left != 0) {
    return std::nullopt;
  }
  out.truncate(out_ptr - out.data());
  QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
  QString text = utf8(out);
  if (utf8.hasError()) {
    return std::nullopt;
  }
  return text;
}

#endif

}  // namespace detail

}  // namespace tamrisk
