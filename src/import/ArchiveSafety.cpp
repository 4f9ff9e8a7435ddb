#include "core/Installer.h"

#include "core/SetupFailure.h"
#include "import/TreeWalk.h"

#include <algorithm>
#include <string>

namespace launcher {

bool Installer::safeArchiveEntry(std::string_view name)
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

void Installer::unpackUserArchive(const std::filesystem::path& archive, const std::filesystem::path& destination) const
{
    const ArchiveTool tool = archiveTool();
    const std::vector<std::string> entries = tool.list(archive);
    if (entries.empty() || !std::ranges::all_of(entries, [](const std::string& entry) { return safeArchiveEntry(entry); }))
        throw SetupFailure("The selected archive contains unsafe file paths.");

    makeDirectory(destination);
    tool.extractOwnedByUser(archive, destination);
    // The archive tool keeps a stored mode under the umask, so a folder packed
    // read-only would stay read-only: the import could neither prune it nor ever
    // replace it. The walk refuses what rejectSymlinks refuses, and gives the
    // owner full access to each folder before entering it, read-write to files.
    walkTree(destination, {.regularOnly = true}, [](const std::filesystem::directory_entry& entry) {
        namespace fs = std::filesystem;
        const bool folder = entry.symlink_status().type() == fs::file_type::directory;
        fs::permissions(entry.path(), folder ? fs::perms::owner_all : fs::perms::owner_read | fs::perms::owner_write,
                        fs::perm_options::add);
        return true;
    });
}

void Installer::rejectSymlinks(const std::filesystem::path& folder) const
{
    walkTree(folder, {.regularOnly = true}, [](const std::filesystem::directory_entry&) { return true; });
}

} // namespace launcher
