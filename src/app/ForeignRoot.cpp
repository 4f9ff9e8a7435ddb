#include "app/ForeignRoot.h"

#include "core/Layout.h"

#include <system_error>

namespace launcher {

void refuseForeignRoot(const Layout& layout)
{
    namespace fs = std::filesystem;
    const fs::path& root = layout.root();
    std::error_code error;
    if (fs::exists(fs::symlink_status(layout.lockFile(), error)))
        return;
    // A root that cannot be listed is left to the steps that create and lock it,
    // which name the file system's error.
    for (fs::directory_iterator it(root, error), end; !error && it != end; it.increment(error)) {
        if (it->path().filename() != layout.logs().filename())
            throw ForeignRoot(root);
    }
}

} // namespace launcher
