#include "app/AbandonedStaging.h"

#include "core/PathWithin.h"
#include "core/StagingFolder.h"
#include "core/Uuid.h"

#include <algorithm>
#include <array>
#include <string>
#include <string_view>
#include <system_error>

namespace launcher {
namespace {

constexpr std::array<std::string_view, 3> kPrefixes{"Runtime-staging-", "Game-staging-", "DirectX-staging-"};

bool isStagingName(std::string_view name)
{
    return std::ranges::any_of(kPrefixes, [name](std::string_view prefix) {
        return name.starts_with(prefix) && isUuid(name.substr(prefix.size()));
    });
}

} // namespace

void removeAbandonedStagingFolders(const std::filesystem::path& root,
                                   const std::vector<std::filesystem::path>& selections)
{
    // Listed first: removing while reading a folder may skip entries.
    std::vector<std::filesystem::path> abandoned;
    std::error_code error;
    for (std::filesystem::directory_iterator it(root, error), end; !error && it != end; it.increment(error))
        if (isStagingName(it->path().filename().string()))
            abandoned.push_back(it->path());
    for (const auto& folder : abandoned)
        if (std::ranges::none_of(selections, [&](const auto& selection) { return liesWithin(selection, folder); }))
            removeTreeQuietly(folder);
}

} // namespace launcher
