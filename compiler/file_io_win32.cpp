// The file layer on Windows. Names are bytes of the ANSI code page, so the
// ANSI calls take them as they are.
#include "file_io.h"

#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <sys/stat.h>
#include <windows.h>

#include <atomic>
#include <cerrno>
#include <cstdio>

namespace vessik::io {
namespace {

// Where the temporary file for target goes: the target's own folder.
std::string FolderOf(const std::string& target) {
  const auto slash = target.find_last_of("\\/:");
  return slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
}

std::string TempName(const std::string& target, unsigned attempt) {
  static std::atomic<unsigned> counter{0};
  const long pid = _getpid();
  char suffix[64];
  std::snprintf(suffix, sizeof suffix, ".vessik-%ld-%u-%u.tmp", pid, counter++, attempt);
  return FolderOf(target) + suffix;
}

}  // namespace

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

// ---------------------------------------------------------------- InputFile

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

// --------------------------------------------------------------- OutputFile

bool OutputFile::IsOpen() const {
  return file_ != nullptr;
}

bool OutputFile::Open(const std::string& target) {
  if (!StartOpen()) {
    return false;
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

}  // namespace vessik::io
