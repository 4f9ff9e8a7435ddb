#include "app/AbandonedStaging.h"

#include "core/Layout.h"
#include "core/PathWithin.h"
#include "core/StagingFolder.h"

#include <algorithm>
#include <string>
#include <system_error>

namespace launcher {

bool isSetupStagingName(std::string_view name)
{
    return std::ranges::any_of(Layout::kStagingPrefixes,
                               [name](std::string_view prefix) { return isStagingName(name, prefix); });
}

void removeAbandonedStagingFolders(const std::filesystem::path& root,
                                   const std::vector<std::filesystem::path>& selections)
{
    // Listed first: removing while reading a folder may skip entries.
    std::vector<std::filesystem::path> abandoned;
    std::error_code error;
    for (std::filesystem::directory_iterator it(root, error), end; !error && it != end; it.increment(error))
        if (isSetupStagingName(it->path().filename().string()))
            abandoned.push_back(it->path());
    for (const auto& folder : abandoned)
        if (std::ranges::none_of(selections, [&](const auto& selection) { return liesWithin(selection, folder); }))
            removeTreeQuietly(folder);
}

} // namespace launcher
