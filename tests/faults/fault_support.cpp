#include "fault_support.h"

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace faults {

bool UnderAddressSanitizer() {
#if defined(__SANITIZE_ADDRESS__)
  return true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
  return true;
#else
  return false;
#endif
#else
  return false;
#endif
}

cli::Invocation Bounded(long long baseline, long long memory, long long cpu_seconds) {
  cli::Invocation how;
  if (!UnderAddressSanitizer()) {
    how.address_space_limit = baseline + memory;
  }
  how.cpu_seconds_limit = cpu_seconds;
  how.timeout_seconds = 2 * cpu_seconds;
  return how;
}

cli::Result Execute(const std::string& program, const std::vector<std::string>& args,
                    const fs::path& cwd, cli::Invocation how) {
  how.program = program;
  how.args = args;
  how.cwd = cwd;
  return cli::RunProgram(how);
}

std::vector<std::string> ShrinkAtFirstRead(const fs::path& file, long long size) {
  return {"LD_PRELOAD=" FAULT_SHIM_PATH,
          "FAULT_SHRINK=" + fs::absolute(file).string() + ":" + std::to_string(size)};
}

std::vector<std::string> VanishAtFirstOpen(const fs::path& file) {
  return {"LD_PRELOAD=" FAULT_SHIM_PATH, "FAULT_VANISH=" + fs::absolute(file).string()};
}

namespace {

// Enters a mount namespace of this process's own, once; the reason it failed
// otherwise.
const std::string& PrivateNamespace() {
  static const std::string why = [] {
    if (unshare(CLONE_NEWNS) != 0) {
      return std::string("unshare: ") + std::strerror(errno);
    }
    if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
      return std::string("mount --make-rprivate: ") + std::strerror(errno);
    }
    return std::string();
  }();
  return why;
}

}  // namespace

ScratchDisk::ScratchDisk(const fs::path& dir, long long bytes) : dir_(dir) {
  fs::create_directories(dir_);
  why_ = PrivateNamespace();
  if (!why_.empty()) {
    return;
  }
  const std::string options = "size=" + std::to_string(bytes) + ",mode=0755";
  if (mount("tmpfs", dir_.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) != 0) {
    why_ = std::string("mount tmpfs: ") + std::strerror(errno);
    return;
  }
  mounted_ = true;
}

ScratchDisk::~ScratchDisk() {
  if (mounted_) {
    umount2(dir_.c_str(), MNT_DETACH);
  }
}

bool ScratchDisk::MakeReadOnly() {
  return mount(nullptr, dir_.c_str(), nullptr, MS_REMOUNT | MS_RDONLY | MS_NOSUID | MS_NODEV,
               nullptr) == 0;
}

void ScratchDisk::Fill(const std::string& name) {
  const int fd = ::open((dir_ / name).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) {
    return;
  }
  // Big blocks while they fit, then single bytes for what is left.
  const std::string block(65536, 'f');
  for (std::size_t size = block.size(); size > 0; size = size > 1 ? size / 16 : 0) {
    while (::write(fd, block.data(), size) == static_cast<ssize_t>(size)) {
    }
  }
  ::close(fd);
}

std::string PngHeaderOnly(unsigned long width, unsigned long height) {
  std::string data = cli::BigEndian32(static_cast<std::uint32_t>(width)) +
                     cli::BigEndian32(static_cast<std::uint32_t>(height));
  data += std::string("\x08\x06\x00\x00\x00", 5);  // 8-bit RGBA, no interlace
  return cli::kPngSignature + cli::Chunk("IHDR", data) +
         cli::Chunk("IDAT", std::string("\x78\x9C\x03\x00\x00\x00\x00\x01", 8)) +
         cli::Chunk("IEND", "");
}

}  // namespace faults
