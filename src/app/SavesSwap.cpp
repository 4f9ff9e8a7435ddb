#include "app/SavesSwap.h"

#include "core/Platform.h"
#include "core/Posix.h"
#include "core/StagingFolder.h"

#include <array>

namespace launcher {

namespace fs = std::filesystem;

void swapIntoPlace(const fs::path& replacement, const fs::path& live, const fs::path& parked)
{
    if (!fs::exists(fs::symlink_status(live)))
        fs::rename(replacement, live);
    else if (!platform::exchangePaths(replacement, live))
        swapByRenames(replacement, live, parked);
}

void swapByRenames(const fs::path& replacement, const fs::path& live, const fs::path& parked)
{
    fs::rename(live, parked);
    fs::rename(replacement, live);
}

void recoverInterruptedRestore(const Layout& layout)
{
    for (const fs::path& staging : stagingFoldersIn(restoreStagingParent(layout), std::array{kRestoreStagingPrefix})) {
        const bool swapBegun = existsQuietly(staging / kPreviousUsers);
        if (swapBegun && !fs::exists(fs::symlink_status(layout.users()))) {
            const fs::path back = existsQuietly(staging / kRestoredUsers) ? staging / kRestoredUsers
                                                                            : staging / kPreviousUsers;
            fs::rename(back, layout.users());
        }
        removeTreeQuietly(staging);
    }
}

} // namespace launcher
