#include "folder_snapshot.h"

#include <fstream>
#include <sstream>
#include <system_error>

namespace faults {
namespace {

// FNV-1a, 64 bits: enough to tell a changed file from its old self.
std::uint64_t Hash(std::istream& in) {
  std::uint64_t hash = 0xCBF29CE484222325u;
  char buffer[65536];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
    for (std::streamsize i = 0; i < in.gcount(); ++i) {
      hash = (hash ^ static_cast<unsigned char>(buffer[i])) * 0x100000001B3u;
    }
  }
  return hash;
}

EntryState StateOf(const fs::directory_entry& entry) {
  EntryState state;
  std::error_code ec;
  const fs::file_status status = entry.symlink_status(ec);
  if (fs::is_symlink(status)) {
    std::stringstream target(fs::read_symlink(entry.path(), ec).string());
    state.kind = 'l';
    state.hash = Hash(target);
  } else if (fs::is_directory(status)) {
    state.kind = 'd';
  } else if (fs::is_regular_file(status)) {
    state.kind = 'f';
    state.size = entry.file_size(ec);
    std::ifstream in(entry.path(), std::ios::binary);
    state.hash = Hash(in);
  }
  return state;
}

}  // namespace

Snapshot TakeSnapshot(const fs::path& root) {
  Snapshot snapshot;
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(root, ec);
       !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
    snapshot[fs::relative(it->path(), root).generic_string()] = StateOf(*it);
  }
  return snapshot;
}

std::string Differences(const Snapshot& before, const Snapshot& after,
                        const std::set<std::string>& may_change) {
  std::string report;
  for (const auto& [name, state] : before) {
    const auto found = after.find(name);
    if (found == after.end()) {
      report += "lost " + name + "\n";
    } else if (!(found->second == state) && may_change.count(name) == 0) {
      report += "changed " + name + "\n";
    }
  }
  for (const auto& [name, state] : after) {
    if (before.count(name) == 0 && may_change.count(name) == 0) {
      report += "new " + name + "\n";
    }
  }
  return report;
}

}  // namespace faults
