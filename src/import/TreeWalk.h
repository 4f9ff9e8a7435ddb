#pragma once
// The one walk over the trees that game import reads: the player's game folder,
// the unpacked archives and the staging copies.
//
//   walkTree(folder, {.skipHidden = true}, [](const std::filesystem::directory_entry& entry) {
//       ...;
//       return true;  // false ends the walk early
//   });
//
// Entries are visited depth first, each folder before its contents; the folder
// itself is not visited. Symbolic links are visited as links, never followed.

#include <filesystem>
#include <functional>

namespace launcher {

struct WalkRules {
    // Hidden entries (names beginning with a dot; on macOS also entries flagged
    // hidden) are neither visited nor entered.
    bool skipHidden = false;
    // For trees that are imported: a symbolic link, a named pipe, a device node or
    // a socket ends the walk with the player-facing failure, and an entry that
    // cannot be examined or read with the file system's error. Otherwise the walk
    // visits any kind of entry and passes over entries it cannot examine or read.
    bool regularOnly = false;
};

using WalkVisit = std::function<bool(const std::filesystem::directory_entry& entry)>;

void walkTree(const std::filesystem::path& folder, WalkRules rules, const WalkVisit& visit);

} // namespace launcher
