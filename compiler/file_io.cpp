#include "file_io.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <new>
#include <system_error>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace vessik::io {
namespace {

constexpr std::size_t kBufferSize = 256 * 1024;

// Where the temporary file for target goes: the target's own folder.
std::string FolderOf(const std::string& target) {
#ifdef _WIN32
  const auto slash = target.find_last_of("\\/:");
#else
  const auto slash = target.find_last_of('/');
#endif
  return slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
}

std::string TempName(const std::string& target, unsigned attempt) {
  static std::atomic<unsigned> counter{0};
#ifdef _WIN32
  const long pid = _getpid();
#else
  const long pid = static_cast<long>(getpid());
#endif
  char suffix[64];
  std::snprintf(suffix, sizeof suffix, ".vessik-%ld-%u-%u.tmp", pid, counter++, attempt);
  return FolderOf(target) + suffix;
}

}  // namespace

#ifdef _WIN32

// Names are bytes of the ANSI code page, so the ANSI calls take them as they are.
bool Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string MakeAbsolute(const std::string& path) {
  if (path.empty()) {
    return path;
  }
  const DWORD size = GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
  if (size == 0) {
    return path;
  }
  std::string full(size, '\0');
  const DWORD used = GetFullPathNameA(path.c_str(), size, full.data(), nullptr);
  if (used == 0 || used >= size) {
    return path;
  }
  full.resize(used);
  return full;
}

bool ChangeDirectory(const std::string& dir) {
  return SetCurrentDirectoryA(dir.c_str()) != 0;
}

std::string DisplayName(const std::string& name) {
  if (name.empty()) {
    return name;
  }
  const int size = static_cast<int>(name.size());
  const int n = MultiByteToWideChar(CP_ACP, 0, name.data(), size, nullptr, 0);
  if (n <= 0) {
    return name;
  }
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, name.data(), size, wide.data(), n);
  const int m = WideCharToMultiByte(CP_UTF8, 0, wide.data(), n, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(m > 0 ? m : 0), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), n, utf8.data(), m, nullptr, nullptr);
  return utf8;
}

#else

bool Exists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::exists(std::filesystem::symlink_status(path, ec));
}

std::string MakeAbsolute(const std::string& path) {
  if (path.empty()) {
    return path;
  }
  if (path[0] == '/') {
    return path;
  }
  std::error_code ec;
  const auto cwd = std::filesystem::current_path(ec);
  if (ec) {
    return path;
  }
  std::string folder = cwd.string();
  if (folder.empty() || folder.back() != '/') {
    folder += '/';
  }
  return folder + path;
}

bool ChangeDirectory(const std::string& dir) {
  std::error_code ec;
  std::filesystem::current_path(dir, ec);
  return !ec;
}

std::string DisplayName(const std::string& name) {
  return name;
}

#endif

// ---------------------------------------------------------------- InputFile

InputFile::~InputFile() {
  Close();
}

#ifdef _WIN32

bool InputFile::Open(const std::string& path) {
  Close();
  struct _stat64 st;
  if (_stat64(path.c_str(), &st) != 0 || (st.st_mode & _S_IFREG) == 0) {
    return false;
  }
  FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) {
    return false;
  }
  file_ = f;
  size_ = static_cast<std::uint64_t>(st.st_size);
  return true;
}

std::int64_t InputFile::Read(void* data, std::size_t size) {
  auto* f = static_cast<FILE*>(file_);
  const std::size_t got = std::fread(data, 1, size, f);
  if (got == 0 && std::ferror(f)) {
    return -1;
  }
  return static_cast<std::int64_t>(got);
}

void InputFile::Close() {
  if (file_ != nullptr) {
    std::fclose(static_cast<FILE*>(file_));
    file_ = nullptr;
  }
}

#else

bool InputFile::Open(const std::string& path) {
  Close();
  // Non-blocking open, so that a named pipe cannot hang the run.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    return false;
  }
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return false;
  }
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) {
    ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  }
  fd_ = fd;
  size_ = static_cast<std::uint64_t>(st.st_size);
  return true;
}

std::int64_t InputFile::Read(void* data, std::size_t size) {
  for (;;) {
    const ssize_t got = ::read(fd_, data, size);
    if (got >= 0) {
      return got;
    }
    if (errno != EINTR) {
      return -1;
    }
  }
}

void InputFile::Close() {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
}

#endif

ReadStatus ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& out,
                         std::size_t spare) {
  InputFile in;
  if (!in.Open(path)) {
    return ReadStatus::kOpenFailed;
  }
  std::size_t filled = 0;
  try {
    // The size is a hint: read to the end, whatever the file does meanwhile.
    std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(in.Size(), SIZE_MAX / 2));
    out.resize(want + spare + 1);
    for (;;) {
      if (filled == out.size()) {
        out.resize(out.size() * 2);
      }
      const std::int64_t got = in.Read(out.data() + filled, out.size() - filled);
      if (got < 0) {
        return ReadStatus::kReadFailed;
      }
      if (got == 0) {
        break;
      }
      filled += static_cast<std::size_t>(got);
    }
    out.resize(filled + spare);
  } catch (const std::bad_alloc&) {
    out.clear();
    return ReadStatus::kNoMemory;
  } catch (const std::length_error&) {
    out.clear();
    return ReadStatus::kNoMemory;
  }
  std::fill(out.begin() + static_cast<std::ptrdiff_t>(filled), out.end(), 0);
  return ReadStatus::kOk;
}

// --------------------------------------------------------------- OutputFile

OutputFile::OutputFile() = default;

OutputFile::~OutputFile() {
  Discard();
}

void OutputFile::Write(const void* data, std::size_t size) {
  if (failed_ || size == 0) {
    return;
  }
  if (size > kBufferSize - used_) {
    if (!Flush()) {
      return;
    }
    if (size >= kBufferSize / 2) {
      WriteDirect(data, size);
      return;
    }
  }
  std::memcpy(buffer_.get() + used_, data, size);
  used_ += size;
}

bool OutputFile::Flush() {
  if (failed_) {
    return false;
  }
  if (used_ == 0) {
    return true;
  }
  const bool ok = WriteDirect(buffer_.get(), used_);
  used_ = 0;
  return ok;
}

bool OutputFile::CopyLoop(InputFile& in, std::uint64_t count) {
  // The output buffer is empty here (flushed) and serves as the copy buffer.
  while (count > 0) {
    const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(count, kBufferSize));
    const std::int64_t got = in.Read(buffer_.get(), want);
    if (got <= 0) {
      return false;
    }
    WriteDirect(buffer_.get(), static_cast<std::size_t>(got));
    if (failed_) {
      return true;  // reported as an output failure
    }
    count -= static_cast<std::uint64_t>(got);
  }
  return true;
}

#ifdef _WIN32

bool OutputFile::IsOpen() const {
  return file_ != nullptr;
}

bool OutputFile::Open(const std::string& target) {
  Discard();
  failed_ = false;
  used_ = 0;
  if (!buffer_) {
    buffer_.reset(new (std::nothrow) std::uint8_t[kBufferSize]);
    if (!buffer_) {
      return false;
    }
  }
  for (unsigned attempt = 0; attempt < 100; ++attempt) {
    std::string temp = TempName(target, attempt);
    const int fd =
        _open(temp.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (fd < 0) {
      if (errno != EEXIST) {
        return false;
      }
      continue;
    }
    FILE* f = _fdopen(fd, "wb");
    if (f == nullptr) {
      _close(fd);
      std::remove(temp.c_str());
      return false;
    }
    file_ = f;
    temp_ = std::move(temp);
    target_ = target;
    return true;
  }
  return false;
}

bool OutputFile::WriteDirect(const void* data, std::size_t size) {
  if (std::fwrite(data, 1, size, static_cast<FILE*>(file_)) != size) {
    failed_ = true;
  }
  return !failed_;
}

bool OutputFile::CopyFrom(InputFile& in, std::uint64_t count) {
  if (!Flush()) {
    return true;
  }
  return CopyLoop(in, count);
}

bool OutputFile::Commit() {
  if (file_ == nullptr) {
    return false;
  }
  Flush();
  if (std::fclose(static_cast<FILE*>(file_)) != 0) {
    failed_ = true;
  }
  file_ = nullptr;
  if (!failed_ && !MoveFileExA(temp_.c_str(), target_.c_str(),
                               MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    failed_ = true;
  }
  if (failed_) {
    std::remove(temp_.c_str());
  }
  temp_.clear();
  return !failed_;
}

void OutputFile::Discard() {
  if (file_ != nullptr) {
    std::fclose(static_cast<FILE*>(file_));
    file_ = nullptr;
    std::remove(temp_.c_str());
  }
  temp_.clear();
}

#else

bool OutputFile::IsOpen() const {
  return fd_ >= 0;
}

bool OutputFile::Open(const std::string& target) {
  Discard();
  failed_ = false;
  used_ = 0;
  if (!buffer_) {
    buffer_.reset(new (std::nothrow) std::uint8_t[kBufferSize]);
    if (!buffer_) {
      return false;
    }
  }
  // A replaced file keeps its permission bits.
  struct stat old;
  const bool replaces = ::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode);
  for (unsigned attempt = 0; attempt < 100; ++attempt) {
    std::string temp = TempName(target, attempt);
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      if (replaces) {
        ::fchmod(fd, old.st_mode & 07777);
      }
      fd_ = fd;
      temp_ = std::move(temp);
      target_ = target;
      return true;
    }
    if (errno != EEXIST) {
      return false;
    }
  }
  return false;
}

bool OutputFile::WriteDirect(const void* data, std::size_t size) {
  const auto* p = static_cast<const std::uint8_t*>(data);
  while (size > 0 && !failed_) {
    const ssize_t put = ::write(fd_, p, size);
    if (put < 0) {
      if (errno != EINTR) {
        failed_ = true;
      }
      continue;
    }
    if (put == 0) {
      failed_ = true;
      continue;
    }
    p += put;
    size -= static_cast<std::size_t>(put);
  }
  return !failed_;
}

bool OutputFile::CopyFrom(InputFile& in, std::uint64_t count) {
  if (!Flush()) {
    return true;
  }
#ifdef __linux__
  // Copy inside the kernel where it can; fall back to reading and writing.
  while (count > 0) {
    const std::size_t want =
        static_cast<std::size_t>(std::min<std::uint64_t>(count, std::size_t{1} << 30));
    const ssize_t done = ::copy_file_range(in.fd_, nullptr, fd_, nullptr, want, 0);
    if (done > 0) {
      count -= static_cast<std::uint64_t>(done);
      continue;
    }
    if (done == 0) {
      return false;  // the input ended early
    }
    if (errno == EINTR) {
      continue;
    }
    if (errno == ENOSPC || errno == EFBIG || errno == EDQUOT) {
      failed_ = true;
      return true;
    }
    break;  // not supported here: copy through the buffer
  }
#endif
  return CopyLoop(in, count);
}

bool OutputFile::Commit() {
  if (fd_ < 0) {
    return false;
  }
  Flush();
  if (::close(fd_) != 0) {
    failed_ = true;
  }
  fd_ = -1;
  if (!failed_ && ::rename(temp_.c_str(), target_.c_str()) != 0) {
    failed_ = true;
  }
  if (failed_) {
    ::unlink(temp_.c_str());
  }
  temp_.clear();
  return !failed_;
}

void OutputFile::Discard() {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
    ::unlink(temp_.c_str());
  }
  temp_.clear();
}

#endif

}  // namespace vessik::io
