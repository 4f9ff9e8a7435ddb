#pragma once

#include <filesystem>

namespace launcher {

// Copies the tree `from` into the new folder `to` (whose parent must exist),
// each file with the platform's fastest copy (a clone where the file system can),
// several files at a time. Blocks until every copy has ended.
// The tree must hold regular files and folders only; anything else ends the copy
// with the player-facing failure. Throws std::filesystem::filesystem_error.
void copyFolder(const std::filesystem::path& from, const std::filesystem::path& to);

} // namespace launcher
