#pragma once
// The copy under every save snapshot and every restore: folders and regular
// files, never a symbolic link (Wine links profile folders such as Documents to
// the player's own folders) nor any other kind of entry.
//
//   const std::vector<SavesItem> items{{layout.users(), staging / "users", newest / "users"}};
//   const auto matched = matchedEntries(items);
//   if (!matched || *matched != countSavesEntries(newest / "users"))
//       copySaves(items);

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

// Copies the items in order into new entries (whose parents must exist): each
// file not linked is copied by the fastest means the file system has (a clone
// where it can) and keeps its modification time. Blocks; throws the file
// system's error, leaving what it made so far for the caller to remove.
void copySaves(const std::vector<SavesItem>& items);

// How many folders and files copySaves() would make, when each matches the
// previous copy (a folder there, or a file of equal size and modification
// time); nothing at the first that does not. The copies are the same when the
// previous ones hold that many entries, no more. Reads only.
std::optional<std::uintmax_t> matchedEntries(const std::vector<SavesItem>& items);

// The folders and regular files at and below `item` that copySaves() would copy;
// none when nothing is there.
std::uintmax_t countSavesEntries(const std::filesystem::path& item);

} // namespace launcher
