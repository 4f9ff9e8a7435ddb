#include "import/FolderCopy.h"

#include "core/Platform.h"
#include "import/TreeWalk.h"

namespace launcher {

void copyFolder(const std::filesystem::path& from, const std::filesystem::path& to)
{
    namespace fs = std::filesystem;
    fs::create_directory(to);
    walkTree(from, {.regularOnly = true}, [&](const fs::directory_entry& entry) {
        const fs::path target = to / entry.path().lexically_relative(from);
        if (entry.symlink_status().type() == fs::file_type::directory)
            fs::create_directory(target);
        else
            platform::copyFile(entry.path(), target);
        return true;
    });
}

} // namespace launcher
