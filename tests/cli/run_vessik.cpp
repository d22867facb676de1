#include "run_vessik.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <thread>

namespace cli {
namespace {

// The process's environment with the entries of extra added; an entry of
// extra replaces one of the same name.
std::vector<std::string> Environment(const std::vector<std::string>& extra) {
  std::vector<std::string> entries;
  for (char** e = environ; *e != nullptr; ++e) {
    const std::string entry = *e;
    const std::string name = entry.substr(0, entry.find('=') + 1);
    bool replaced = false;
    for (const std::string& x : extra) {
      replaced = replaced || x.compare(0, name.size(), name) == 0;
    }
    if (!replaced) {
      entries.push_back(entry);
    }
  }
  entries.insert(entries.end(), extra.begin(), extra.end());
  return entries;
}

bool SetLimit(int resource, long long value) {
  if (value < 0) {
    return true;
  }
  const rlimit limit{static_cast<rlim_t>(value), static_cast<rlim_t>(value)};
  return setrlimit(resource, &limit) == 0;
}

std::string FindOnPath(const std::string& program) {
  if (program.find('/') != std::string::npos) {
    return program;
  }
  const char* path = std::getenv("PATH");
  std::string dirs = path != nullptr ? path : "/usr/bin:/bin";
  std::size_t start = 0;
  while (start <= dirs.size()) {
    std::size_t end = dirs.find(':', start);
    if (end == std::string::npos) {
      end = dirs.size();
    }
    const std::string candidate = dirs.substr(start, end - start) + "/" + program;
    if (access(candidate.c_str(), X_OK) == 0) {
      return candidate;
    }
    start = end + 1;
  }
  return {};
}

}  // namespace

std::string WindowsExe() {
  const char* exe = std::getenv("VESSIK_UNDER_WINE");
  return exe != nullptr ? exe : "";
}

bool UnderWine() {
  return !WindowsExe().empty();
}

Result RunProgram(const Invocation& how) {
  Result result;
  // Under wine, vessik.exe runs with its console front end chosen.
  const bool wine = how.program.empty() && UnderWine();
  const std::string program = wine                  ? FindOnPath("wine")
                              : how.program.empty() ? VESSIK_PATH
                                                    : FindOnPath(how.program);
  if (program.empty()) {
    result.status = 127;
    return result;
  }
  TempDir capture;
  const std::string out_path = capture / "out";
  const std::string err_path = capture / "err";
  std::string in_path = "/dev/null";
  if (how.input) {
    in_path = capture / "in";
    WriteFile(in_path, *how.input);
  }
  const std::string cwd = how.cwd.empty() ? fs::current_path().string() : how.cwd.string();

  std::vector<std::string> words;
  words.push_back(program);
  if (wine) {
    words.push_back(WindowsExe());
    words.push_back("--console");
  }
  for (const std::string& arg : how.args) {
    if (!wine || how.keep_words) {
      words.push_back(arg);
      continue;
    }
    std::size_t start = 0;
    for (;;) {
      const std::size_t blank = arg.find(' ', start);
      words.push_back(arg.substr(start, blank - start));
      if (blank == std::string::npos) {
        break;
      }
      start = blank + 1;
    }
  }
  std::vector<char*> argv;
  for (std::string& w : words) {
    argv.push_back(w.data());
  }
  argv.push_back(nullptr);
  std::vector<std::string> environment = Environment(how.environment);
  std::vector<char*> envp;
  for (std::string& e : environment) {
    envp.push_back(e.data());
  }
  envp.push_back(nullptr);

  const pid_t pid = fork();
  if (pid < 0) {
    throw std::runtime_error("fork failed");
  }
  if (pid == 0) {
    // Only async-signal-safe calls from here on.
    const int in = open(in_path.c_str(), O_RDONLY);
    const int out = open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (in < 0 || out < 0 || err < 0 || dup2(in, 0) < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0 ||
        chdir(cwd.c_str()) != 0) {
      _exit(126);
    }
    if (how.file_size_limit >= 0) {
      // A write beyond the limit then fails with EFBIG instead of a signal.
      signal(SIGXFSZ, SIG_IGN);
    }
    if (!SetLimit(RLIMIT_FSIZE, how.file_size_limit) ||
        !SetLimit(RLIMIT_AS, how.address_space_limit) ||
        !SetLimit(RLIMIT_CPU, how.cpu_seconds_limit)) {
      _exit(126);
    }
    execve(program.c_str(), argv.data(), envp.data());
    _exit(127);
  }

  // A hung program (a question that waits forever) fails its test instead of
  // blocking the whole suite.
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::seconds(how.timeout_seconds);
  int wstatus = 0;
  for (;;) {
    const pid_t done = waitpid(pid, &wstatus, WNOHANG);
    if (done == pid) {
      break;
    }
    if (done < 0 && errno != EINTR) {
      throw std::runtime_error("waitpid failed");
    }
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &wstatus, 0);
      result.timed_out = true;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  if (WIFEXITED(wstatus)) {
    result.status = WEXITSTATUS(wstatus);
  } else if (WIFSIGNALED(wstatus)) {
    result.signal = WTERMSIG(wstatus);
  }
  result.out = ReadFile(out_path);
  result.err = ReadFile(err_path);
  return result;
}

Result RunVessik(const std::vector<std::string>& args, const fs::path& cwd,
                 std::optional<std::string> input) {
  Invocation how;
  how.args = args;
  how.cwd = cwd;
  how.input = std::move(input);
  return RunProgram(how);
}

bool OnPath(const std::string& program) {
  return !FindOnPath(program).empty();
}

std::string Describe(const Result& r) {
  std::string text = "status " + std::to_string(r.status);
  if (r.signal != 0) {
    text += ", signal " + std::to_string(r.signal);
  }
  if (r.timed_out) {
    text += ", timed out";
  }
  text += "\nstdout: [" + r.out.substr(0, 2000) + "]\nstderr: [" + r.err.substr(0, 2000) + "]";
  return text;
}

TempDir::TempDir() {
  std::string pattern = (fs::temp_directory_path() / "vessik-cli-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) {
    throw std::runtime_error("mkdtemp failed");
  }
  path_ = pattern;
}

TempDir::~TempDir() {
  // Folders a test made read-only must become writable again to be removed.
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(path_, ec);
       !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
    if (it->is_directory(ec)) {
      fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    }
  }
  fs::remove_all(path_, ec);
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const fs::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) {
    throw std::runtime_error("cannot write " + path.string());
  }
}

std::set<std::string> Names(const fs::path& dir) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

std::string CrLf(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) {
    text += line + "\r\n";
  }
  return text;
}

std::string Done(const std::string& output_name) {
  return "完了: \"" + output_name + "\" という名前で出力しました。\n";
}

std::string Error(const std::string& text) {
  return "エラー: " + text + "\n";
}

std::string Question(const std::string& output_name) {
  return "\"" + output_name + "\"はすでに存在します。上書きしますか？(Y/N) ";
}

std::uint32_t Crc32(std::string_view bytes) {
  // Bit by bit, the reflected polynomial of PNG: slow, short, obviously right.
  std::uint32_t crc = 0xFFFFFFFFu;
  for (const char c : bytes) {
    crc ^= static_cast<unsigned char>(c);
    for (int k = 0; k < 8; ++k) {
      crc = (crc & 1u) != 0 ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
    }
  }
  return ~crc;
}

std::string BigEndian32(std::uint32_t v) {
  std::string out(4, '\0');
  for (int i = 0; i < 4; ++i) {
    out[static_cast<std::size_t>(i)] = static_cast<char>((v >> (24 - 8 * i)) & 0xFFu);
  }
  return out;
}

std::string Chunk(std::string_view type, std::string_view data) {
  std::string body(type);
  body += data;
  return BigEndian32(static_cast<std::uint32_t>(data.size())) + body + BigEndian32(Crc32(body));
}

std::string SmallScriptOutput() {
  // The MHDR chunk for 2 x 2 at 10 ticks and the empty MEND chunk, by hand.
  static const unsigned char kBytes[] = {
      0x8A, 0x4D, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A,                          // signature
      0x00, 0x00, 0x00, 0x1C, 0x4D, 0x48, 0x44, 0x52,                          // MHDR
      0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x0A,  //
      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  //
      0x00, 0x00, 0x00, 0x00, 0xEE, 0xB6, 0x38, 0x1D,                          //
      0x00, 0x00, 0x00, 0x00, 0x4D, 0x45, 0x4E, 0x44, 0x21, 0x20, 0xF7, 0xD5,  // MEND
  };
  return std::string(reinterpret_cast<const char*>(kBytes), sizeof kBytes);
}

}  // namespace cli
