#include "saves/LockedEntry.h"

#include "core/Platform.h"

namespace launcher {

std::optional<std::filesystem::path> lockInTheWay(const std::filesystem::path& entry)
{
    for (const std::filesystem::path& candidate : {entry, entry.parent_path()})
        if (!candidate.empty() && platform::isLocked(candidate))
            return candidate;
    return std::nullopt;
}

} // namespace launcher
