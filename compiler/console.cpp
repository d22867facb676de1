#include "console.h"

#include <cerrno>
#include <cstdio>
#include <string>

#ifdef _WIN32
#include <conio.h>
#include <fcntl.h>
#include <io.h>
#include <windows.h>
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

#ifdef _WIN32

void Prepare() {
  // A program of the graphical subsystem has no standard handles when it is
  // started from a console; borrow that console then.
  if (GetStdHandle(STD_OUTPUT_HANDLE) == nullptr && AttachConsole(ATTACH_PARENT_PROCESS)) {
    std::freopen("CONOUT$", "w", stdout);
    std::freopen("CONOUT$", "w", stderr);
    std::freopen("CONIN$", "r", stdin);
  }
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
}

void Write(const std::string& text, bool error) {
  std::FILE* stream = error ? stderr : stdout;
  std::fflush(stream);
  HANDLE handle = GetStdHandle(error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
  DWORD mode = 0;
  if (handle != nullptr && handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode)) {
    // UTF-8 where the text is valid UTF-8, else the ANSI code page.
    UINT code_page = CP_UTF8;
    const int size = static_cast<int>(text.size());
    int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
    if (n <= 0) {
      code_page = CP_ACP;
      n = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
    }
    std::wstring wide(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
    MultiByteToWideChar(code_page, 0, text.data(), size, wide.data(), n);
    DWORD written = 0;
    WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    return;
  }
  std::fwrite(text.data(), 1, text.size(), stream);
  std::fflush(stream);
}

#else

void Prepare() {}

void Write(const std::string& text, bool error) {
  std::FILE* stream = error ? stderr : stdout;
  std::fwrite(text.data(), 1, text.size(), stream);
  std::fflush(stream);
}

#endif

bool AskYesNo(const std::string& question) {
  Write(question);
  for (;;) {
    const int key = ReadKey();
    if (key == EOF) {
      Write("\n");
      return false;
    }
    if (key == 'Y' || key == 'y' || key == 'N' || key == 'n') {
      Write(std::string(1, static_cast<char>(key)) + "\n");
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
