#pragma once
// The setup log and the game log are only ever appended to, and "--debug" logs
// every library load at every start. So that they do not grow without end, each
// is rotated where a setup or a launch starts, while the install lock is held.

#include <cstdint>
#include <filesystem>

namespace launcher {

inline constexpr std::uintmax_t kLogRotationSize = std::uintmax_t{16} << 20;

// A log larger than kLogRotationSize is renamed to its name + ".1", replacing an
// older one, and the next append starts a new log. A missing log is fine.
// Throws std::filesystem::filesystem_error.
void rotateLog(const std::filesystem::path& log);

} // namespace launcher
