#include "prefix/ProfileFolders.h"

#include <algorithm>
#include <system_error>

namespace launcher {

namespace fs = std::filesystem;

std::vector<fs::path> profileLinks(const Layout& layout)
{
    std::vector<fs::path> links;
    std::error_code error;
    for (fs::directory_iterator profile(layout.users(), error), end; !error && profile != end;
         profile.increment(error)) {
        std::error_code profileError;
        if (!fs::is_directory(profile->path(), profileError))
            continue;
        for (fs::directory_iterator entry(profile->path(), profileError); !profileError && entry != end;
             entry.increment(profileError)) {
            if (entry->is_symlink(profileError))
                links.push_back(entry->path());
        }
    }
    std::ranges::sort(links);
    return links;
}

void replaceProfileLinks(const Layout& layout, const std::vector<fs::path>& kept)
{
    for (const fs::path& link : profileLinks(layout)) {
        if (std::ranges::find(kept, link) != kept.end())
            continue;
        // remove() takes the link itself, never what it leads to.
        fs::remove(link);
        fs::create_directory(link);
    }
}

} // namespace launcher
