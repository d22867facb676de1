#pragma once

// The sample folder of the two script targets, and the check of what a
// successful compile wrote.

#include <string>
#include <vector>

#include "fuzz_workspace.h"

namespace fuzz {

// Pictures a script can name on its IHDR and JHDR lines: a valid PNG, the PNG
// signature alone, a small JNG, an empty file, a file one byte short of a
// signature.
std::vector<SampleFile> ScriptPictures();
// A folder a script can name as a picture.
inline const std::vector<std::string> kScriptFolders = {"dir"};

// Aborts unless the file is the MNG signature followed by whole chunks, each
// with the CRC of its type and data (the sample pictures are well formed, so
// whatever a script embeds keeps this true).
void CheckMngFile(const char* target, const fs::path& path);

}  // namespace fuzz
