#pragma once
// The copy under every save snapshot and every restore: folders and regular
// files, never a symbolic link (Wine links profile folders such as Documents to
// the player's own folders) nor any other kind of entry.
//
//   copySaves({{.from = layout.users(), .to = staging / "users", .previous = newest / "users"}});

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

namespace launcher {

// One folder or file of saves and where its copy goes.
struct SavesItem {
    std::filesystem::path from;
    std::filesystem::path to;
    // The same item in an earlier copy: a file whose size and modification time
    // are the same there becomes a hard link to that file instead of a copy.
    std::optional<std::filesystem::path> previous;
};

struct SavesCopyTally {
    // Folders and files made.
    std::uintmax_t entries = 0;
    // Of those, the ones the previous copy holds alike: folders there, and files
    // of equal size and modification time.
    std::uintmax_t matched = 0;
};

// Copies the items in order into new entries (whose parents must exist): each
// file not linked is copied by the fastest means the file system has (a clone
// where it can) and keeps its modification time. Blocks; throws the file
// system's error, leaving what it made so far for the caller to remove.
SavesCopyTally copySaves(const std::vector<SavesItem>& items);

// The folders and regular files at and below `item` that copySaves() would copy;
// none when nothing is there.
std::uintmax_t countSavesEntries(const std::filesystem::path& item);

} // namespace launcher
