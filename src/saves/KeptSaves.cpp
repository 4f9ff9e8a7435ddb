#include "saves/KeptSaves.h"

#include "saves/SaveSnapshot.h"
#include "saves/SavesRestore.h"

#include <algorithm>

namespace launcher {

std::optional<SaveSnapshot> newestKeptSnapshot(const Installation& installation)
{
    // Listed newest first.
    const std::vector<SaveSnapshot> snapshots = saveSnapshots(installation);
    const auto kept = std::ranges::find_if(snapshots, &SaveSnapshot::kept);
    if (kept == snapshots.end())
        return std::nullopt;
    return *kept;
}

std::string keptSavesHint(const SaveSnapshot& snapshot)
{
    return "Your saves from an earlier installation are kept in the snapshot " + snapshot.name +
           ". Put them back with --restore-saves " + snapshot.name + ".";
}

} // namespace launcher
