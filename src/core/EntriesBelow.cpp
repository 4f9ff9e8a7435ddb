#include "core/EntriesBelow.h"

namespace launcher {

void visitEntriesBelow(const std::filesystem::path& folder,
                       const std::function<void(const std::filesystem::directory_entry& entry)>& visit)
{
    namespace fs = std::filesystem;
    std::error_code error;
    fs::recursive_directory_iterator it(folder, error);
    if (error)
        throw fs::filesystem_error("cannot read folder", folder, error);
    for (const fs::recursive_directory_iterator end; it != end;) {
        visit(*it);
        // Stepping on enters the entry when it is a folder: that is the one which failed.
        const fs::path current = it->path();
        it.increment(error);
        if (error)
            throw fs::filesystem_error("cannot read folder", current, error);
    }
}

} // namespace launcher
