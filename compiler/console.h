#pragma once

#include <string>

namespace vessik::console {

// Writes question to standard output and reads single key presses (without
// echo on a terminal) until Y, y, N or n; echoes that key and a line feed.
// The end of input answers no.
bool AskYesNo(const std::string& question);

}  // namespace vessik::console
