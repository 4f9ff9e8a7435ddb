#pragma once
// What the launcher places in the game folder, the audio folder and the prefix is
// writable by its owner alone. An archive packed with world-writable modes and
// unpacked as root would otherwise leave libraries that the game loads open to
// every user of the Mac. The owner always keeps read and write access (and entry
// to folders), so that a later setup can prune and replace what it placed; the
// other bits stay as they were.

#include <filesystem>

namespace launcher {

// A file's permission bits (rwx for owner, group and other) without group and
// other write, with owner read and write.
unsigned ownerWritableMode(unsigned permissions);

// Gives the file or folder at `path` those permissions (a folder also owner
// execute), dropping set-user-ID, set-group-ID and sticky bits. A symbolic link
// is left as it is. Throws std::filesystem::filesystem_error.
void makeOwnerWritable(const std::filesystem::path& path);

} // namespace launcher
