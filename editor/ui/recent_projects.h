#pragma once

#include <QString>
#include <QStringList>

// The projects last opened or saved, newest first, kept in the user's
// settings (QSettings) between runs.
namespace tamrisk::ui::recent_projects {

inline constexpr int kMaxRecent = 8;

QStringList list();
// Puts path first, dropping an older entry of the same file and any beyond
// kMaxRecent.
void add(const QString& path);
void remove(const QString& path);

}  // namespace tamrisk::ui::recent_projects
