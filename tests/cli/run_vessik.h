#pragma once

// Helpers for the tests that run the real vessik binary: starting a program
// with a given folder, input and file-size limit, temporary folders, file
// contents and the byte layout of MNG chunks.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

namespace fs = std::filesystem;

// How one run ended and what it printed.
struct Result {
  int status = -1;  // exit status when the program exited normally
  int signal = 0;   // the signal that ended it, 0 if none
  bool timed_out = false;
  std::string out;
  std::string err;
};

struct Invocation {
  std::string program;  // empty: vessik
  std::vector<std::string> args;
  fs::path cwd;
  std::optional<std::string> input;    // standard input; none: /dev/null
  long long file_size_limit = -1;      // bytes a file may grow to; -1: no limit
  long long address_space_limit = -1;  // bytes of address space (RLIMIT_AS); -1: no limit
  long long cpu_seconds_limit = -1;    // seconds of CPU time (RLIMIT_CPU); -1: no limit
  int timeout_seconds = 30;            // then the program is killed
  // "NAME=value" entries added to (or replacing those in) the environment.
  std::vector<std::string> environment;
  // Under wine, arguments are split at blanks, so that vessik.exe sees the
  // unquoted command line a Windows caller gives it; true passes each
  // argument as one word, which wine quotes when it holds a blank.
  bool keep_words = false;
};

Result RunProgram(const Invocation& how);

// Whether vessik is the Windows build run under wine: the environment
// variable VESSIK_UNDER_WINE names vessik.exe, which then runs with --console.
bool UnderWine();

// Runs vessik with args in cwd.
Result RunVessik(const std::vector<std::string>& args, const fs::path& cwd,
                 std::optional<std::string> input = std::nullopt);

// Whether a program of that name is found on PATH.
bool OnPath(const std::string& program);

// Text for failure reports: status, signal and both streams.
std::string Describe(const Result& r);

// A fresh folder under the system's temporary folder, removed with all its
// contents when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const fs::path& path() const { return path_; }
  fs::path operator/(const fs::path& name) const { return path_ / name; }

 private:
  fs::path path_;
};

std::string ReadFile(const fs::path& path);
void WriteFile(const fs::path& path, std::string_view bytes);
// The names in a folder (not recursive).
std::set<std::string> Names(const fs::path& dir);

// Lines joined with CR LF after each, as the editor writes scripts.
std::string CrLf(const std::vector<std::string>& lines);

// The final messages of the console front end.
std::string Done(const std::string& output_name);
std::string Error(const std::string& text);
inline const std::string kCancelled = "完了: MNGファイルの書出を中止しました。\n";
inline const std::string kWriteFailed = "エラー: MNGファイルの書出に失敗しました。\n";
inline const std::string kLoadFailed = "エラー: リソースファイルの読込に失敗しました。\n";
std::string Question(const std::string& output_name);

// MNG and PNG byte layout, built here independently of the compiler.
inline const std::string kMngSignature("\x8A\x4D\x4E\x47\x0D\x0A\x1A\x0A", 8);
inline const std::string kPngSignature("\x89\x50\x4E\x47\x0D\x0A\x1A\x0A", 8);
inline const std::string kJngSignature("\x8B\x4A\x4E\x47\x0D\x0A\x1A\x0A", 8);
std::uint32_t Crc32(std::string_view bytes);
std::string BigEndian32(std::uint32_t v);
// Length, type, data and CRC-32.
std::string Chunk(std::string_view type, std::string_view data);

// "MHDR 2 2 10 0 0 0 0" then "MEND": a small script whose whole output is
// known from hand-checked bytes.
inline const std::string kSmallScript = "MHDR 2 2 10 0 0 0 0\r\nMEND\r\n";
std::string SmallScriptOutput();

}  // namespace cli
