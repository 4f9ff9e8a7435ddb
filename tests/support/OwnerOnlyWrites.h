#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace launcher::testing {

// The files and folders at or below `path` (links not followed) that someone
// other than their owner may write, that carry set-user-ID or set-group-ID, or
// that their owner may not read and write; each as its path and octal mode.
inline std::vector<std::string> notWritableByOwnerAlone(const std::filesystem::path& path)
{
    namespace fs = std::filesystem;
    std::vector<std::string> found;
    const auto check = [&](const fs::path& item) {
        const fs::file_status status = fs::symlink_status(item);
        const auto mode = static_cast<unsigned>(status.permissions());
        if (fs::is_symlink(status))
            return;
        if ((mode & 06022) != 0 || (mode & 0600) != 0600)
            found.push_back(item.string() + " " + std::to_string(mode >> 9 & 7) + std::to_string(mode >> 6 & 7)
                            + std::to_string(mode >> 3 & 7) + std::to_string(mode & 7));
    };
    check(path);
    if (fs::is_directory(fs::symlink_status(path)))
        for (const auto& entry : fs::recursive_directory_iterator(path))
            check(entry.path());
    return found;
}

} // namespace launcher::testing
