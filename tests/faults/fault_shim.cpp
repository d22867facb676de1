// Preloaded (LD_PRELOAD) into a program under test to replay a race with the
// file system exactly: a file that changes between the moment a program looks
// at it and the moment it reads it.
//
//   FAULT_SHRINK=PATH:N  at the first read of PATH (read, copy_file_range),
//                        the file is cut to N bytes; the program has opened it
//                        and may have taken its size by then.
//   FAULT_VANISH=PATH    at the first open of PATH, the file is removed just
//                        before the open; the program may have seen it exist.
//
// PATH is compared with the absolute name the program opens (relative names
// are taken from the current directory, without resolving "." or "..") and
// with the name the kernel gives the open descriptor.
#include <dlfcn.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/types.h>
#include <unistd.h>

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

template <typename F>
F Next(const char* name) {
  return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

struct Setting {
  std::string path;
  off_t size = 0;
  bool set = false;
};

Setting Read(const char* variable, bool with_size) {
  Setting s;
  const char* value = std::getenv(variable);
  if (value == nullptr || *value == '\0') {
    return s;
  }
  s.path = value;
  if (with_size) {
    const auto colon = s.path.rfind(':');
    if (colon == std::string::npos) {
      return s;
    }
    s.size = static_cast<off_t>(std::strtoll(s.path.c_str() + colon + 1, nullptr, 10));
    s.path.resize(colon);
  }
  s.set = true;
  return s;
}

const Setting& Shrink() {
  static const Setting s = Read("FAULT_SHRINK", true);
  return s;
}

const Setting& Vanish() {
  static const Setting s = Read("FAULT_VANISH", false);
  return s;
}

std::atomic<bool> shrunk{false};
std::atomic<bool> vanished{false};

void BeforeRead(int fd) {
  const Setting& s = Shrink();
  if (!s.set || shrunk.load()) {
    return;
  }
  char link[64];
  std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  char name[PATH_MAX];
  const ssize_t n = readlink(link, name, sizeof name - 1);
  if (n <= 0 || s.path != std::string(name, static_cast<std::size_t>(n))) {
    return;
  }
  if (!shrunk.exchange(true)) {
    truncate(s.path.c_str(), s.size);
  }
}

void BeforeOpen(int dirfd, const char* path) {
  const Setting& s = Vanish();
  if (!s.set || vanished.load() || path == nullptr) {
    return;
  }
  std::string full = path;
  if (full.empty() || full[0] != '/') {
    if (dirfd != AT_FDCWD) {
      return;
    }
    char cwd[PATH_MAX];
    if (getcwd(cwd, sizeof cwd) == nullptr) {
      return;
    }
    full = std::string(cwd) + "/" + full;
  }
  if (full == s.path && !vanished.exchange(true)) {
    unlink(s.path.c_str());
  }
}

mode_t ModeOf(int flags, va_list args) {
  return (flags & (O_CREAT | O_TMPFILE)) != 0 ? static_cast<mode_t>(va_arg(args, int)) : 0;
}

}  // namespace

extern "C" {

ssize_t read(int fd, void* buffer, size_t size) {
  static const auto next = Next<ssize_t (*)(int, void*, size_t)>("read");
  BeforeRead(fd);
  return next(fd, buffer, size);
}

ssize_t __read_chk(int fd, void* buffer, size_t size, size_t buffer_size) {
  static const auto next = Next<ssize_t (*)(int, void*, size_t, size_t)>("__read_chk");
  BeforeRead(fd);
  return next(fd, buffer, size, buffer_size);
}

ssize_t copy_file_range(int in, off64_t* in_offset, int out, off64_t* out_offset, size_t size,
                        unsigned int flags) {
  static const auto next =
      Next<ssize_t (*)(int, off64_t*, int, off64_t*, size_t, unsigned int)>("copy_file_range");
  BeforeRead(in);
  return next(in, in_offset, out, out_offset, size, flags);
}

int open(const char* path, int flags, ...) {
  static const auto next = Next<int (*)(const char*, int, ...)>("open");
  va_list args;
  va_start(args, flags);
  const mode_t mode = ModeOf(flags, args);
  va_end(args);
  BeforeOpen(AT_FDCWD, path);
  return next(path, flags, mode);
}

int open64(const char* path, int flags, ...) {
  static const auto next = Next<int (*)(const char*, int, ...)>("open64");
  va_list args;
  va_start(args, flags);
  const mode_t mode = ModeOf(flags, args);
  va_end(args);
  BeforeOpen(AT_FDCWD, path);
  return next(path, flags, mode);
}

int openat(int dirfd, const char* path, int flags, ...) {
  static const auto next = Next<int (*)(int, const char*, int, ...)>("openat");
  va_list args;
  va_start(args, flags);
  const mode_t mode = ModeOf(flags, args);
  va_end(args);
  BeforeOpen(dirfd, path);
  return next(dirfd, path, flags, mode);
}

int openat64(int dirfd, const char* path, int flags, ...) {
  static const auto next = Next<int (*)(int, const char*, int, ...)>("openat64");
  va_list args;
  va_start(args, flags);
  const mode_t mode = ModeOf(flags, args);
  va_end(args);
  BeforeOpen(dirfd, path);
  return next(dirfd, path, flags, mode);
}

}  // extern "C"
