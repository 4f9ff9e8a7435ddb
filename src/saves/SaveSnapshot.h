#pragma once
// The player's saves as the launcher keeps them: snapshots below "Backups",
// each a folder "Saves-" + UTC time ("Saves-20261210T141503Z", with "-2", "-3"
// … when the name is taken) holding a copy of "Install/prefix/drive_c/users" and
// of the game folder's per-user items.

#include <cstdint>
#include <string>
#include <vector>

namespace launcher {

struct SaveSnapshot {
    std::string name;
    // Regular files in the snapshot and their total size; a file that several
    // snapshots share counts in each.
    std::uintmax_t files = 0;
    std::uintmax_t bytes = 0;
    // Made before a restore or by an uninstall that kept the saves: launches
    // never rotate it out.
    bool kept = false;
};

struct RestoredSaves {
    // The snapshot whose saves are now live.
    std::string restored;
    // The snapshot holding the saves from before the restore; restoring it
    // undoes the restore.
    std::string previous;
    // The links that snapshot did not follow, one sentence each; the restore
    // leaves them as they are.
    std::vector<std::string> leftOut;
};

} // namespace launcher
