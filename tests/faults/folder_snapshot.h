#pragma once

// What a folder tree holds, to show that a failure left every file the user
// had where it was and as it was.

#include <cstdint>
#include <filesystem>
#include <map>
#include <set>
#include <string>

namespace faults {

namespace fs = std::filesystem;

// One entry: its kind ('f' file, 'd' folder, 'l' link, '?' other), size and a
// hash of its bytes (of the target's name for a link).
struct EntryState {
  char kind = '?';
  std::uintmax_t size = 0;
  std::uint64_t hash = 0;
  bool operator==(const EntryState&) const = default;
};

// Every entry below root, by its path relative to root.
using Snapshot = std::map<std::string, EntryState>;
Snapshot TakeSnapshot(const fs::path& root);

// What differs from before to after, one line each ("lost", "changed",
// "new"), leaving out the entries named in may_change, which may be new or
// different (never lost). Empty when nothing else differs.
std::string Differences(const Snapshot& before, const Snapshot& after,
                        const std::set<std::string>& may_change = {});

}  // namespace faults
