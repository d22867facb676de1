#pragma once

#include <string>

namespace vessik::console {

// Writes text to standard output (error = false) or standard error and
// flushes. Text is UTF-8, but for names quoted from scripts; on a Windows
// console it is shown through the console's wide-character interface.
void Write(const std::string& text, bool error = false);

// Prepares the standard streams once at start: on Windows, binary mode (line
// ends are written as given) and, for a program without a console of its own,
// the console of the process that started it.
void Prepare();

// Writes question to standard output and reads single key presses (without
// echo on a terminal) until Y, y, N or n; echoes that key and a line feed.
// The end of input answers no.
bool AskYesNo(const std::string& question);

// Reads one line from standard input, without its line end, through the same
// unbuffered reads as AskYesNo, so that input after the line stays for it.
// false at the end of input with nothing read.
bool ReadLine(std::string& line);

}  // namespace vessik::console
