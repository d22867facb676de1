#include "console.h"

#include <cerrno>
#include <cstdio>

#ifdef _WIN32
#include <conio.h>
#include <io.h>
#else
#include <termios.h>
#include <unistd.h>
#endif

namespace vessik::console {
namespace {

#ifdef _WIN32

int ReadKey() {
  if (_isatty(_fileno(stdin))) {
    return _getch();
  }
  return std::getchar();
}

int ReadByte() {
  return std::getchar();
}

#else

int ReadByte() {
  unsigned char c = 0;
  ssize_t got;
  do {
    got = read(STDIN_FILENO, &c, 1);
  } while (got < 0 && errno == EINTR);
  return got == 1 ? c : EOF;
}

// Reads one byte; on a terminal without echo and without waiting for Enter.
int ReadKey() {
  termios saved{};
  const bool tty = isatty(STDIN_FILENO) && tcgetattr(STDIN_FILENO, &saved) == 0;
  if (tty) {
    termios raw = saved;
    raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    tcsetattr(STDIN_FILENO, TCSANOW, &raw);
  }
  const int c = ReadByte();
  if (tty) {
    tcsetattr(STDIN_FILENO, TCSANOW, &saved);
  }
  return c;
}

#endif

}  // namespace

bool AskYesNo(const std::string& question) {
  std::fwrite(question.data(), 1, question.size(), stdout);
  std::fflush(stdout);
  for (;;) {
    const int key = ReadKey();
    if (key == EOF) {
      std::fputs("\n", stdout);
      std::fflush(stdout);
      return false;
    }
    if (key == 'Y' || key == 'y' || key == 'N' || key == 'n') {
      std::printf("%c\n", key);
      std::fflush(stdout);
      return key == 'Y' || key == 'y';
    }
  }
}

bool ReadLine(std::string& line) {
  line.clear();
  for (;;) {
    const int c = ReadByte();
    if (c == EOF) {
      return !line.empty();
    }
    if (c == '\n') {
      return true;
    }
    line += static_cast<char>(c);
  }
}

}  // namespace vessik::console
