#include "core/Installation.h"

#include "core/OwnerWritable.h"
#include "core/PlayerSentences.h"
#include "core/SetupFailure.h"
#include "import/ArchiveSafety.h"
#include "import/GameSource.h"
#include "import/TreeWalk.h"

#include <algorithm>
#include <string>

namespace launcher {

bool safeArchiveEntry(std::string_view name)
{
    std::string normalised(name);
    std::ranges::replace(normalised, '\\', '/');
    if (normalised.starts_with('/'))
        return false;
    if (normalised.find('\0') != std::string::npos)
        return false;

    bool first = true;
    bool firstHasColon = false;
    for (std::size_t start = 0; start <= normalised.size();) {
        std::size_t end = normalised.find('/', start);
        if (end == std::string::npos)
            end = normalised.size();
        const std::string_view component = std::string_view(normalised).substr(start, end - start);
        start = end + 1;
        if (component.empty())
            continue;
        if (component == "..")
            return false;
        if (first)
            firstHasColon = component.find(':') != std::string_view::npos;
        first = false;
    }
    return !firstHasColon;
}

std::vector<std::string> safeArchiveNames(const Installation& installation, const std::filesystem::path& archive)
{
    std::vector<std::string> entries = installation.archiveTool().list(archive);
    if (entries.empty()
        || !std::ranges::all_of(entries, [](const std::string& entry) { return safeArchiveEntry(entry); }))
        throw SelectionRefused(Selection::game, sentences::kUnsafeArchivePaths);
    return entries;
}

void unpackUserArchive(const Installation& installation, const std::filesystem::path& archive,
                       const std::filesystem::path& destination)
{
    safeArchiveNames(installation, archive);
    installation.makeDirectory(destination);
    installation.archiveTool().extractOwnedByUser(archive, destination);
    // The archive tool keeps a stored mode under the umask, and as root keeps it
    // whole: a folder packed read-only would stay read-only, so the import could
    // neither prune it nor ever replace it, and a library packed world-writable
    // would stay open to every user. The walk refuses what rejectSymlinks refuses,
    // and makes each entry writable by its owner alone before entering it.
    walkTree(destination, {.regularOnly = true}, [](const std::filesystem::directory_entry& entry) {
        makeOwnerWritable(entry.path());
        return true;
    });
}

void rejectSymlinks(const std::filesystem::path& folder)
{
    walkTree(folder, {.regularOnly = true}, [](const std::filesystem::directory_entry&) { return true; });
}

} // namespace launcher
