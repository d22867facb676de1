#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The compiler's few calls on the file system, behind one small interface so
// that the rest of the compiler is plain standard C++. Names are the system's
// narrow bytes (UTF-8 on Linux, the ANSI code page on Windows).
namespace vessik::io {

// Whether anything (file, folder, link) of that name exists.
bool Exists(const std::string& path);

// The path made absolute against the current directory; unchanged when it
// already is absolute or the current directory cannot be read.
std::string MakeAbsolute(const std::string& path);

bool ChangeDirectory(const std::string& dir);

// A file name as UTF-8 text for messages: names are the system's narrow bytes
// (the ANSI code page on Windows, converted here); unchanged elsewhere.
std::string DisplayName(const std::string& name);

// A file opened for reading. Only regular files open.
class InputFile {
 public:
  InputFile() = default;
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;
  ~InputFile();

  bool Open(const std::string& path);
  // Size at open time.
  std::uint64_t Size() const { return size_; }
  // Reads up to size bytes; returns the count read (0 at the end), or -1 on error.
  std::int64_t Read(void* data, std::size_t size);
  void Close();

 private:
  friend class OutputFile;
#ifdef _WIN32
  void* file_ = nullptr;  // FILE*
#else
  int fd_ = -1;
#endif
  std::uint64_t size_ = 0;
};

// Reads a whole regular file into out, followed by spare zero bytes. The file
// may shrink or grow while it is read: whatever was read up to its end counts.
enum class ReadStatus { kOk, kOpenFailed, kNoMemory, kReadFailed };
ReadStatus ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& out,
                         std::size_t spare);

// An output file written through a temporary file beside it, which replaces
// the target only on Commit(). Writes are buffered; the first failure sticks
// and makes Commit() fail.
class OutputFile {
 public:
  OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  ~OutputFile();  // discards an uncommitted file

  bool Open(const std::string& target);
  bool IsOpen() const;
  void Write(const void* data, std::size_t size);
  // Copies count bytes from the input's current position; false on a read
  // failure or a short input (the output is then marked failed, too).
  bool CopyFrom(InputFile& in, std::uint64_t count);
  bool Failed() const { return failed_; }
  // Flushes, closes and renames the temporary file over the target.
  bool Commit();
  // Closes and removes the temporary file; the target stays as it was.
  void Discard();

 private:
  // Discards any file in progress, clears the failure and makes sure the
  // buffer exists; false when it cannot be allocated.
  bool StartOpen();
  bool Flush();
  bool WriteDirect(const void* data, std::size_t size);
  bool CopyLoop(InputFile& in, std::uint64_t count);

  std::string target_;
  std::string temp_;
  std::unique_ptr<std::uint8_t[]> buffer_;  // kBufferSize bytes, left uninitialised
  std::size_t used_ = 0;
  bool failed_ = false;
#ifdef _WIN32
  void* file_ = nullptr;  // FILE*
#else
  int fd_ = -1;
#endif
};

}  // namespace vessik::io
