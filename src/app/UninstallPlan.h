#pragma once
// What an uninstall removes from the root and what it leaves there.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace launcher {

struct KeptEntry {
    // The entry's name in the root; for a mount point inside a removed folder,
    // its path from the root.
    std::string name;
    // Why it stays, as a phrase for the player: "other launchers may hold it".
    std::string reason;
};

struct UninstallPlan {
    // Names of entries in the root, in the order they go: "installed.json" first.
    std::vector<std::string> removed;
    // Entries of the root that stay; the root itself always stays.
    std::vector<KeptEntry> kept;
};

struct UninstallReport {
    UninstallPlan plan;
    // Bytes of files whose last link went; a file shared between snapshots counts once.
    std::uintmax_t freedBytes = 0;
    // With the saves kept: the snapshot holding them, unless there were none.
    std::optional<std::string> savesSnapshot;
    // The links that snapshot did not follow, one sentence each.
    std::vector<std::string> savesLeftOut;
};

} // namespace launcher
