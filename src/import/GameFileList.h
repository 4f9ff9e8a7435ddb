#pragma once
// The list of what the import placed in the game folder, "Install/game-files.json":
// the path relative to the game folder and the size of every regular file, except
// what the game itself rewrites (the top-level per-user items, the configuration
// file among them) and the graphics libraries, which are checked on their own.
// Sizes only, no digests: writing the list costs one metadata read per file.
//
//   writeGameFileList(layout.game(), layout.gameFileList());    // once the game is in place
//   const auto changed = changedGameFiles(layout.game(), layout.gameFileList());

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace launcher {

// Writes the list atomically. Throws std::filesystem::filesystem_error.
void writeGameFileList(const std::filesystem::path& game, const std::filesystem::path& list);

// The listed files that are no longer regular files of their recorded size, in
// the list's order. Without a list there is nothing to compare (installations
// older than the list have none); nullopt when the list cannot be read.
std::optional<std::vector<std::string>> changedGameFiles(const std::filesystem::path& game,
                                                         const std::filesystem::path& list);

} // namespace launcher
