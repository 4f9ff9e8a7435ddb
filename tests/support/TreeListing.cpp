#include "support/TreeListing.h"

#include "support/TemporaryFolder.h"

namespace launcher::testing {

namespace fs = std::filesystem;

std::map<std::string, std::string> entriesBelow(const fs::path& folder)
{
    std::map<std::string, std::string> entries;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        const std::string relative = entry.path().lexically_relative(folder).string();
        if (entry.is_symlink())
            entries[relative] = "-> " + fs::read_symlink(entry.path()).string();
        else if (entry.is_directory())
            entries[relative] = "folder/";
        else
            entries[relative] = readFile(entry.path());
    }
    return entries;
}

} // namespace launcher::testing
