#include "app/AbandonedStaging.h"

#include "core/Layout.h"
#include "core/PathWithin.h"
#include "core/StagingFolder.h"

#include <algorithm>

namespace launcher {

bool isSetupStagingName(std::string_view name)
{
    return std::ranges::any_of(Layout::kStagingPrefixes,
                               [name](std::string_view prefix) { return isStagingName(name, prefix); });
}

void removeAbandonedStagingFolders(const std::filesystem::path& root,
                                   const std::vector<std::filesystem::path>& selections)
{
    for (const auto& folder : stagingFoldersIn(root, Layout::kStagingPrefixes))
        if (std::ranges::none_of(selections, [&](const auto& selection) { return liesWithin(selection, folder); }))
            removeTreeQuietly(folder);
}

} // namespace launcher
