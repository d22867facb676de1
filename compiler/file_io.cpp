// The parts of the file layer that are the same on every system; the system
// calls themselves are in file_io_posix.cpp and file_io_win32.cpp.
#include "file_io.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace vessik::io {
namespace {

constexpr std::size_t kBufferSize = 256 * 1024;

}  // namespace

// ---------------------------------------------------------------- InputFile

InputFile::~InputFile() {
  Close();
}

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

bool OutputFile::StartOpen() {
  Discard();
  failed_ = false;
  used_ = 0;
  if (!buffer_) {
    buffer_.reset(new (std::nothrow) std::uint8_t[kBufferSize]);
  }
  return buffer_ != nullptr;
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

}  // namespace vessik::io
