#pragma once

#include <filesystem>
#include <optional>

namespace launcher {

// The entry whose lock keeps `entry` from being changed, renamed or removed:
// the entry itself, or the folder holding it, whose entries a lock fixes in
// place. None when neither carries one (platform::isLocked). Looks at the disk.
std::optional<std::filesystem::path> lockInTheWay(const std::filesystem::path& entry);

// The way out of a lock, the same for every front end.
inline constexpr const char* kUnlockWayOut = "Unlock it in its Get Info window in Finder";

} // namespace launcher
