#pragma once

#include <string>

namespace vessik::console {

// Writes question to standard output and reads single key presses (without
// echo on a terminal) until Y, y, N or n; echoes that key and a line feed.
// The end of input answers no.
bool AskYesNo(const std::string& question);

// Reads one line from standard input, without its line end, through the same
// unbuffered reads as AskYesNo, so that input after the line stays for it.
// false at the end of input with nothing read.
bool ReadLine(std::string& line);

}  // namespace vessik::console
