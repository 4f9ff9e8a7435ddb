#pragma once

#include <filesystem>
#include <optional>

namespace launcher {

class Installation;

// What repair takes besides the installation itself; each only when its step is redone.
struct RepairSources {
    // The game files, as setup takes them.
    std::optional<std::filesystem::path> game;
    // The audio file, as setup takes it.
    std::optional<std::filesystem::path> audio;
    // A folder of pre-fetched runtime archives.
    std::optional<std::filesystem::path> cache;
};

// Verifies as verify() does, then redoes only what is damaged, in setup order,
// reporting the usual status lines, writes a new record and reports "Ready to
// play"; it never touches the player's saves below "drive_c/users". Throws
// RepairRefusal (app/RepairRefusal.h) when there is no installation or an
// input it needs is missing, before it changes anything.
void repair(const Installation& installation, const RepairSources& sources);

} // namespace launcher
