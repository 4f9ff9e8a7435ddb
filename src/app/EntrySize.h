#pragma once

#include <cstdint>
#include <filesystem>

namespace launcher {

// The bytes of the regular files at or below `entry`, as the player would see
// them counted: links are not followed, a file with several links below it
// counts once, and what cannot be read counts nothing. Reads only; never throws.
std::uintmax_t entrySize(const std::filesystem::path& entry) noexcept;

} // namespace launcher
