#pragma once
// The list of what the import placed in the game folder, "Install/game-files.json":
// the path relative to the game folder and the size of every regular file, except
// what the game itself rewrites (the top-level per-user items, the configuration
// file among them) and the graphics libraries, which are checked on their own.
// Sizes only, no digests: writing the list costs one metadata read per file.
//
//   writeGameFileList(layout.game(), layout.gameFileList());    // once the game is in place
//   const auto changed = changedGameFiles(layout.game(), layout.gameFileList());

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace launcher {

// Far above any game folder's files and the length of their names; a list that
// holds more is damaged.
inline constexpr std::size_t kGameFileListMaxEntries = 200'000;
inline constexpr std::uintmax_t kGameFileListMaxNameBytes = std::uintmax_t{16} << 20;

// Writes the list atomically. Throws std::filesystem::filesystem_error.
void writeGameFileList(const std::filesystem::path& game, const std::filesystem::path& list);

// The listed files that are no longer regular files of their recorded size, in
// the list's order. Without a list there is nothing to compare (installations
// older than the list have none); nullopt when the list cannot be read or is
// damaged: more entries or name bytes than the bounds above, or a name that is
// empty, absolute, holds a control character or a ".." component.
std::optional<std::vector<std::string>> changedGameFiles(const std::filesystem::path& game,
                                                         const std::filesystem::path& list);

} // namespace launcher
