#include <gtest/gtest.h>

#include "model/text_codec.h"

namespace tamrisk {
namespace {

// Code page 932 bytes, looked up by hand, and the text they stand for.
const struct {
  const char* name;
  QByteArray cp932;
  const char* utf8;
} kCp932[] = {
    {"kanji and a backslash", "\x94\x77\x8c\x69\x5c\x83\x70", "背景\\パ"},
    {"tilde stays ASCII", "a~b", "a~b"},
    {"half-width katakana", "\xb1\xb2", "ｱｲ"},
    {"NEC circled digit", "\x87\x40", "①"},
    {"full-width digit", "\x82\x50", "１"},
};

TEST(TextCodec, ReadsCodePage932) {
  for (const auto& c : kCp932) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(decode_cp932(c.cp932), QString::fromUtf8(c.utf8));
#ifndef _WIN32
    EXPECT_EQ(detail::decode_cp932_native(c.cp932), QString::fromUtf8(c.utf8));
#endif
  }
}

TEST(TextCodec, RefusesBytesThatAreNotCodePage932) {
  for (const QByteArray& bad :
       {QByteArray("a\x82"), QByteArray("\x85\x40"), QByteArray("\x82\x20")}) {
    EXPECT_FALSE(decode_cp932(bad).has_value());
    EXPECT_FALSE(detail::decode_cp932_native(bad).has_value());
  }
}

TEST(TextCodec, PrefersUtf8) {
  // "背景" in UTF-8 is also a valid code page 932 byte string of other characters.
  EXPECT_EQ(decode_settings_text("\xe8\x83\x8c\xe6\x99\xaf"), QString::fromUtf8("背景"));
  EXPECT_EQ(decode_settings_text("\xef\xbb\xbf"
                                 "abc"),
            QStringLiteral("abc"));
  EXPECT_EQ(decode_settings_text("\x94\x77\x8c\x69"), QString::fromUtf8("背景"));
}

#ifndef _WIN32
TEST(TextCodec, WritesUtf8HereAndRefusesWhatItCannotHold) {
  EXPECT_EQ(encode_system_text(QString::fromUtf8("背景\\a")),
            QByteArray("\xe8\x83\x8c\xe6\x99\xaf\\a"));
  EXPECT_FALSE(encode_system_text(QString(QChar(0xD800))).has_value());  // a lone surrogate
}
#endif

}  // namespace
}  // namespace tamrisk
