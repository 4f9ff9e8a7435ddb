#include "app/EntrySize.h"

#include <set>
#include <system_error>
#include <utility>

#include <sys/stat.h>

namespace launcher {
namespace {

namespace fs = std::filesystem;

// Adds the file once, by its device and inode.
void count(const fs::path& file, std::set<std::pair<dev_t, ino_t>>& seen, std::uintmax_t& bytes)
{
    struct stat info {};
    if (::lstat(file.c_str(), &info) == 0 && S_ISREG(info.st_mode) && seen.emplace(info.st_dev, info.st_ino).second)
        bytes += static_cast<std::uintmax_t>(info.st_size);
}

} // namespace

std::uintmax_t entrySize(const fs::path& entry) noexcept
{
    try {
        std::set<std::pair<dev_t, ino_t>> seen;
        std::uintmax_t bytes = 0;
        count(entry, seen, bytes);
        std::error_code error;
        if (!fs::is_directory(fs::symlink_status(entry, error)))
            return bytes;
        for (fs::recursive_directory_iterator it(entry, fs::directory_options::skip_permission_denied, error), end;
             !error && it != end; it.increment(error))
            count(it->path(), seen, bytes);
        return bytes;
    } catch (...) {
        return 0;
    }
}

} // namespace launcher
