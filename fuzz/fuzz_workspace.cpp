#include "fuzz_workspace.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <system_error>

namespace fuzz {

void Fail(const char* target, const char* what) {
  std::fprintf(stderr, "%s: %s\n", target, what);
  std::abort();
}

Workspace::Workspace(std::string_view tag, const std::vector<SampleFile>& files,
                     const std::vector<std::string>& folders)
    : origin_(fs::current_path()) {
  std::random_device device;
  const fs::path base = fs::temp_directory_path();
  for (;;) {
    const unsigned long long random = (static_cast<unsigned long long>(device()) << 32) ^ device();
    path_ = base / (std::string(tag) + "-" + std::to_string(random));
    if (fs::create_directory(path_)) {
      break;
    }
  }
  for (const SampleFile& file : files) {
    std::ofstream out(path_ / file.name, std::ios::binary);
    out.write(file.bytes.data(), static_cast<std::streamsize>(file.bytes.size()));
    if (!out) {
      Fail("workspace", "cannot write the sample files");
    }
  }
  for (const std::string& folder : folders) {
    fs::create_directory(path_ / folder);
  }
  initial_entries_ = CountEntries();
}

Workspace::~Workspace() {
  std::error_code ec;
  fs::current_path(origin_, ec);
  fs::remove_all(path_, ec);
}

std::size_t Workspace::CountEntries() const {
  std::size_t entries = 0;
  for (auto it = fs::directory_iterator(path_); it != fs::directory_iterator(); ++it) {
    ++entries;
  }
  return entries;
}

InsideWorkspace::InsideWorkspace(const Workspace& workspace) : workspace_(workspace) {
  std::error_code ec;
  fs::current_path(workspace_.Path(), ec);
  if (ec) {
    Fail("workspace", "cannot enter the workspace");
  }
}

InsideWorkspace::~InsideWorkspace() {
  std::error_code ec;
  fs::current_path(workspace_.Origin(), ec);
  if (ec) {
    Fail("workspace", "cannot leave the workspace");
  }
}

void AnchorArtifactPaths(int* argc, char*** argv) {
  static std::vector<std::string> args;
  static std::vector<char*> pointers;
  const std::string here = (fs::current_path() / "").string();
  const std::string_view kPathFlags[] = {"-artifact_prefix=", "-exact_artifact_path="};
  bool has_prefix = false;
  for (int i = 0; i < *argc; ++i) {
    std::string arg = (*argv)[i];
    for (const std::string_view flag : kPathFlags) {
      if (arg.compare(0, flag.size(), flag) == 0) {
        const std::string value = arg.substr(flag.size());
        if (!fs::path(value).is_absolute()) {
          arg = std::string(flag) + here + value;
        }
        has_prefix = has_prefix || flag == kPathFlags[0];
      }
    }
    args.push_back(std::move(arg));
  }
  if (!has_prefix) {
    // Behind the program name: flags after -ignore_remaining_args=1 would not count.
    args.insert(args.begin() + (args.empty() ? 0 : 1), std::string(kPathFlags[0]) + here);
  }
  for (std::string& arg : args) {
    pointers.push_back(arg.data());
  }
  pointers.push_back(nullptr);
  *argc = static_cast<int>(args.size());
  *argv = pointers.data();
}

std::uint32_t ReferenceCrc(const std::uint8_t* data, std::size_t size) {
  static const std::array<std::uint32_t, 256> table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t i = 0; i < 256; ++i) {
      std::uint32_t v = i;
      for (int k = 0; k < 8; ++k) {
        v = (v & 1) ? (v >> 1) ^ 0xEDB88320u : v >> 1;
      }
      t[i] = v;
    }
    return t;
  }();
  std::uint32_t crc = 0xFFFFFFFFu;
  for (std::size_t i = 0; i < size; ++i) {
    crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  }
  return crc ^ 0xFFFFFFFFu;
}

std::uint32_t ReadBigEndian32(const std::uint8_t* p) {
  return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 |
         std::uint32_t{p[3]};
}

std::string RepairChunkCrcs(std::string_view png) {
  std::string out(png);
  auto* bytes = reinterpret_cast<std::uint8_t*>(out.data());
  std::size_t pos = 8;
  while (pos <= out.size() && out.size() - pos >= 12) {
    const std::uint32_t length = ReadBigEndian32(bytes + pos);
    if (length > out.size() - pos - 12) {
      break;
    }
    const std::uint32_t crc = ReferenceCrc(bytes + pos + 4, 4 + std::size_t{length});
    std::uint8_t* at = bytes + pos + 8 + length;
    at[0] = static_cast<std::uint8_t>(crc >> 24);
    at[1] = static_cast<std::uint8_t>(crc >> 16);
    at[2] = static_cast<std::uint8_t>(crc >> 8);
    at[3] = static_cast<std::uint8_t>(crc);
    pos += 12 + std::size_t{length};
  }
  return out;
}

}  // namespace fuzz
