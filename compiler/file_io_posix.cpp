// The file layer on POSIX systems: names are bytes, passed to the system as
// they are.
#include "file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace vessik::io {
namespace {

// Where the temporary file for target goes: the target's own folder.
std::string FolderOf(const std::string& target) {
  const auto slash = target.find_last_of('/');
  return slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
}

std::string TempName(const std::string& target, unsigned attempt) {
  static std::atomic<unsigned> counter{0};
  const long pid = static_cast<long>(getpid());
  char suffix[64];
  std::snprintf(suffix, sizeof suffix, ".vessik-%ld-%u-%u.tmp", pid, counter++, attempt);
  return FolderOf(target) + suffix;
}

}  // namespace

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

// ---------------------------------------------------------------- InputFile

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

// --------------------------------------------------------------- OutputFile

bool OutputFile::IsOpen() const {
  return fd_ >= 0;
}

bool OutputFile::Open(const std::string& target) {
  if (!StartOpen()) {
    return false;
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

}  // namespace vessik::io
