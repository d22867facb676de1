#include <gtest/gtest.h>
#include <QDir>

#include "model/settings_name.h"

namespace tamrisk {
namespace {

TEST(SettingsName, AppendsTheExtensionUnlessTheNameEndsInIt) {
  const struct {
    const char* typed;
    const char* used;
  } kCases[] = {
      {"a", "a.pst"},
      {"anime.pst", "anime.pst"},
      {"anime.PST", "anime.PST"},
      {"anime.Pst", "anime.Pst.pst"},  // case-sensitive
      {"", ".pst"},
      {".pst", ".pst.pst"},  // four characters: no extension
      {"a.pst", "a.pst"},
      {"anime.pst ", "anime.pst .pst"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.typed);
    EXPECT_EQ(settings_file_name(QString::fromUtf8(c.typed)), QString::fromUtf8(c.used));
  }
}

TEST(SettingsName, JoinsFolderAndNameAsText) {
  const struct {
    const char* folder;
    const char* path;
  } kCases[] = {{"/tmp/anime", "/tmp/anime/a.pst"},
                {"/tmp/anime/", "/tmp/anime/a.pst"},
                {"/", "/a.pst"},
                {"", "a.pst"}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(join_folder_and_name(QString::fromUtf8(c.folder), QStringLiteral("a.pst")),
              QDir::toNativeSeparators(QString::fromUtf8(c.path)));
  }
}

}  // namespace
}  // namespace tamrisk
