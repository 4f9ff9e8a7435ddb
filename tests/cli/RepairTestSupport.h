#pragma once
// A complete fixture installation with the player's saves in it, set up once
// and restored before each case that damages it, and what the cases compare.

#include "support/TemporaryFolder.h"

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace launcher::testing {

class PristineInstallation final {
public:
    // Sets up with the fixture game, audio package and pre-fetched runtime,
    // places the saves, and keeps a copy of the whole root.
    PristineInstallation();

    // The root, at the same place every time: the game link leads there.
    const std::filesystem::path& home() const { return m_home; }
    // Makes the root what it was right after setup, saves included.
    void restore() const;

private:
    TemporaryFolder m_folder;
    std::filesystem::path m_home;
    std::filesystem::path m_copy;
};

// The runtime's user profiles, where the game keeps its saves.
std::filesystem::path savesFolder(const std::filesystem::path& home);

// Every entry below the folder, links not followed, with its kind, permissions,
// modification time and content or link target: equal snapshots mean nothing
// was removed, added or written again.
std::map<std::string, std::string> treeSnapshot(const std::filesystem::path& folder);

} // namespace launcher::testing
