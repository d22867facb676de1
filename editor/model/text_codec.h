#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// The text encodings of settings files: written in the system's narrow
// encoding, read as UTF-8 or, for files made on Japanese Windows, code page 932.
namespace tamrisk {

// The text in the system's narrow encoding (UTF-8 on Linux, the ANSI code
// page on Windows); nullopt when some character has no code there.
std::optional<QByteArray> encode_system_text(const QString& text);

// UTF-8 when the bytes are valid UTF-8 (a leading byte-order mark is
// dropped), otherwise code page 932; nullopt when they are neither.
std::optional<QString> decode_settings_text(const QByteArray& bytes);

// Code page 932 (Shift-JIS with the Windows extensions, 0x5C a backslash);
// nullopt for bytes that are not valid code page 932.
std::optional<QString> decode_cp932(const QByteArray& bytes);

namespace detail {
// The operating system's converter (iconv, or MultiByteToWideChar on
// Windows), used when Qt is built without a code page 932 codec.
std::optional<QString> decode_cp932_native(const QByteArray& bytes);
}  // namespace detail

}  // namespace tamrisk
