#include "core/StagingFolder.h"

#include "core/Uuid.h"

#include <string>
#include <system_error>

namespace launcher {

StagingFolder::StagingFolder(const std::filesystem::path& root, std::string_view prefix)
    : m_path(root / (std::string(prefix) + freshUuid()))
{
    std::filesystem::create_directories(m_path);
}

StagingFolder::~StagingFolder()
{
    removeTreeQuietly(m_path);
}

void removeTreeQuietly(const std::filesystem::path& path) noexcept
{
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::file_status status = fs::symlink_status(path, error);
    if (error || !fs::exists(status))
        return;
    if (fs::is_directory(status)) {
        // A folder without read or search permission cannot be emptied; give the
        // owner full access first. symlink_status above keeps links out of here.
        fs::permissions(path, fs::perms::owner_all, fs::perm_options::add, error);
        for (fs::directory_iterator it(path, error), end; !error && it != end; it.increment(error))
            removeTreeQuietly(it->path());
    }
    fs::remove(path, error);
}

} // namespace launcher
