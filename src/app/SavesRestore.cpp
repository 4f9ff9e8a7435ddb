#include "core/Installer.h"

#include "app/SaveSnapshots.h"
#include "app/SavesCopy.h"
#include "app/SavesSwap.h"
#include "app/SnapshotName.h"
#include "app/UnknownSnapshot.h"
#include "core/InstallLock.h"
#include "core/PerUserItems.h"
#include "core/Posix.h"
#include "core/SetupFailure.h"
#include "core/StagingFolder.h"

#include <set>
#include <system_error>

namespace launcher {
namespace {

namespace fs = std::filesystem;

bool isSnapshot(const SaveSnapshots& snapshots, const std::string& name)
{
    // The parsed form admits no "/" and no "..", so the name stays inside "Backups".
    return SnapshotName::parse(name) && fs::is_directory(fs::symlink_status(snapshots.folder(name)));
}

std::set<std::string> playerSaveItems(const fs::path& folder)
{
    std::set<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        if (isPlayerSaveItem(it->path().filename().string()))
            names.insert(it->path().filename().string());
    return names;
}

// The links of the live users folder (Wine's links from profile folders to the
// player's own folders) stay as they are: they were never part of a snapshot.
void carryOverLinks(const fs::path& live, const fs::path& copy)
{
    if (!fs::is_directory(fs::symlink_status(live)))
        return;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(live)) {
        if (!entry.is_symlink())
            continue;
        const fs::path target = copy / entry.path().lexically_relative(live);
        if (fs::is_directory(fs::symlink_status(target.parent_path())) && !fs::exists(fs::symlink_status(target)))
            fs::copy_symlink(entry.path(), target);
    }
}

} // namespace

std::vector<SaveSnapshot> Installer::saveSnapshots() const
{
    return SaveSnapshots(layout()).list();
}

RestoredSaves Installer::restoreSaves(const std::string& name) const
{
    if (!isInstalled())
        throw SetupFailure("Setup is incomplete. Complete setup before restoring saves.");
    const InstallLock lock(layout().lockFile());
    const SaveSnapshots snapshots(layout());
    if (!isSnapshot(snapshots, name))
        throw UnknownSnapshot(name);

    report("Restoring " + name);
    // Restoring without a way back would lose the live saves, so a failure here ends the restore.
    const std::optional<std::string> previous =
        snapshots.takeKept("Made before restoring " + name + "; launches never remove it.");

    const fs::path chosen = snapshots.folder(name);
    const StagingFolder staging(restoreStagingParent(layout()), kRestoreStagingPrefix);
    const fs::path restoredUsers = staging.path() / kRestoredUsers;
    const fs::path restoredGame = staging.path() / "game";
    fs::create_directory(restoredGame);
    std::vector<SavesItem> items{{chosen / "users", restoredUsers, std::nullopt}};
    for (const std::string& item : playerSaveItems(chosen / "game"))
        items.push_back({chosen / "game" / item, restoredGame / item, std::nullopt});
    copySaves(planSaves(items));
    // Never leave the prefix without a users folder, even for a snapshot without one.
    fs::create_directories(restoredUsers);
    carryOverLinks(layout().users(), restoredUsers);

    swapIntoPlace(restoredUsers, layout().users(), staging.path() / kPreviousUsers);

    // The game's items, one by one; the old ones go with the staging folder.
    const fs::path previousGame = staging.path() / "previous-game";
    fs::create_directory(previousGame);
    std::set<std::string> names = playerSaveItems(game());
    names.merge(playerSaveItems(restoredGame));
    for (const std::string& item : names) {
        if (existsQuietly(restoredGame / item))
            swapIntoPlace(restoredGame / item, game() / item, previousGame / item);
        else
            fs::rename(game() / item, previousGame / item);
    }
    return {name, previous.value_or("")};
}

} // namespace launcher
