#pragma once

#include <QString>

// File names chosen in the settings dialog.
namespace tamrisk {

// The name as the dialog uses it: a name of at least five characters whose
// last four are exactly ".pst" or ".PST" stays as typed; every other name
// gets ".pst" appended (so "" gives ".pst" and ".pst" gives ".pst.pst").
QString settings_file_name(const QString& typed);

// folder, a separator and name joined as text, the name not looked at; a
// folder that already ends in a separator (a root) gets none added, and an
// empty folder gives the name alone.
QString join_folder_and_name(const QString& folder, const QString& name);

// The file a name typed in the settings dialog stands for: a name beginning
// with "~/" (or "~" alone) is in the home folder, an absolute path is itself
// (cleaned, native separators), anything else is joined to folder as
// join_folder_and_name does.
QString typed_settings_path(const QString& folder, const QString& typed);

}  // namespace tamrisk
