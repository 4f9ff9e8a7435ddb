#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>

namespace launcher {

// Called on the copying thread about every 200 ms while files are copied, and
// once more when all are, with the bytes copied so far and the total. Throwing
// ends the copy: copies under way stop at their next step, and the exception
// passes on.
using CopyWatch = std::function<void(std::uint64_t copied, std::uint64_t total)>;

// Copies the tree `from` into the new folder `to` (whose parent must exist),
// each file with the platform's fastest copy (a clone where the file system can),
// several files at a time. Blocks until every copy has ended.
// The tree must hold regular files and folders only; anything else ends the copy
// with the player-facing failure. Throws std::filesystem::filesystem_error.
void copyFolder(const std::filesystem::path& from, const std::filesystem::path& to, const CopyWatch& watch = {});

} // namespace launcher
