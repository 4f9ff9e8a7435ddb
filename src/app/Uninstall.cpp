#include "core/Installation.h"

#include "app/AbandonedStaging.h"
#include "app/Uninstall.h"
#include "core/InstallLock.h"
#include "core/PlayerSentences.h"
#include "core/Posix.h"
#include "core/SetupFailure.h"
#include "core/StagingFolder.h"
#include "saves/LockedEntry.h"
#include "saves/RestoreRecovery.h"
#include "saves/SaveSnapshots.h"
#include "saves/SavesSwap.h"

#include <algorithm>
#include <map>
#include <vector>
#include <system_error>
#include <utility>

namespace launcher {
namespace {

namespace fs = std::filesystem;

// The launcher's own entries of the root, in the order an uninstall removes
// them: the record first, so that an uninstall cut short reads as no
// installation and can simply run again.
std::vector<std::string> ownEntries(const Layout& layout)
{
    std::vector<std::string> names;
    for (const fs::path& entry : {layout.record(), layout.install(), layout.runtime(), layout.runtimeAside(),
                                  layout.runtimeSuperseded(), layout.downloads(), layout.audioImport(), layout.logs(),
                                  layout.backups()})
        names.push_back(entry.filename().string());
    return names;
}

std::string backupsName(const Layout& layout)
{
    return layout.backups().filename().string();
}

UninstallPlan planFor(const Layout& layout, bool keepSaves)
{
    UninstallPlan plan;
    const std::vector<std::string> own = ownEntries(layout);
    for (const std::string& name : own) {
        if (!presentQuietly(layout.root() / name))
            continue;
        if (name == backupsName(layout) && keepSaves)
            plan.kept.push_back({name, "your saves"});
        else
            plan.removed.push_back(name);
    }
    std::vector<std::string> others;
    std::error_code error;
    for (fs::directory_iterator it(layout.root(), error), end; !error && it != end; it.increment(error))
        others.push_back(it->path().filename().string());
    std::ranges::sort(others);
    for (const std::string& name : others) {
        if (std::ranges::find(own, name) != own.end())
            continue;
        if (isSetupStagingName(name))
            plan.removed.push_back(name);
        else if (name == layout.lockFile().filename())
            plan.kept.push_back({name, "other launchers may hold it"});
        else
            plan.kept.push_back({name, "not made by the launcher"});
    }
    return plan;
}

// The space a removal frees: a file's size counts once its last link is gone,
// so files that snapshots share count once, and a file with a link elsewhere not at all.
class FreedSpace final {
public:
    void add(const RemovedFile& file)
    {
        const auto seen = m_files.try_emplace({file.device, file.inode}, Seen{file.size, file.links, 0}).first;
        ++seen->second.removedLinks;
    }

    std::uintmax_t bytes() const
    {
        std::uintmax_t total = 0;
        for (const auto& [identity, file] : m_files)
            if (file.removedLinks >= file.links)
                total += file.size;
        return total;
    }

private:
    struct Seen {
        std::uintmax_t size;
        std::uintmax_t links;
        std::uintmax_t removedLinks;
    };
    std::map<std::pair<std::uint64_t, std::uint64_t>, Seen> m_files;
};

// Whether `folder` is a mount point or lies on the way to one.
bool leadsToMountPoint(const fs::path& folder, const std::vector<fs::path>& mountPoints)
{
    return std::ranges::any_of(mountPoints, [&folder](const fs::path& mountPoint) {
        return std::mismatch(folder.begin(), folder.end(), mountPoint.begin(), mountPoint.end()).first == folder.end();
    });
}

// Whether all that a removal left of `entry` are the mount points in it and the
// folders that lead to them.
bool onlyMountPointsLeft(const fs::path& entry, const std::vector<fs::path>& mountPoints)
{
    if (!presentQuietly(entry) || std::ranges::find(mountPoints, entry) != mountPoints.end())
        return true;
    if (!leadsToMountPoint(entry, mountPoints))
        return false;
    std::error_code error;
    for (fs::recursive_directory_iterator it(entry, error), end; !error && it != end; it.increment(error)) {
        if (std::ranges::find(mountPoints, it->path()) != mountPoints.end()) {
            it.disable_recursion_pending();
            continue;
        }
        std::error_code unknown;
        if (!fs::is_directory(it->symlink_status(unknown)) || !leadsToMountPoint(it->path(), mountPoints))
            return false;
    }
    return !error;
}

// Why the entry could not be removed whole: a lock names the locked entry,
// which only the player can lift (the launcher lifts its owner's locks itself).
SetupFailure leftoversFailure(const fs::path& entry, const RemovalLeftovers& left)
{
    const std::string failure = "Some files in " + entry.string() + " could not be removed";
    if (const auto locked = left.refused.empty() ? std::nullopt : lockInTheWay(left.refused))
        return SetupFailure(failure + ": " + locked->string() + " is locked. " + kUnlockWayOut +
                            ", then uninstall again.");
    return SetupFailure(failure + ". Check that you may change them, then uninstall again.");
}

// A restore that was interrupted is finished forward first, as every start
// does, so that no linked folder of the player's is left half restored. What
// cannot be finished goes with the rest, unless its journal names places
// outside the root: it alone knows the names of the copies there.
void finishInterruptedRestore(const Layout& layout, const Host& host)
{
    try {
        recoverInterruptedRestore(layout, host);
    } catch (const std::exception&) {
        if (interruptedRestoreReachesOut(layout))
            throw;
    }
}

} // namespace

UninstallPlan planUninstall(const Installation& installation, bool keepSaves)
{
    UninstallPlan plan = planFor(installation.layout(), keepSaves);
    // The last snapshot that keeping the saves makes lands in the backups folder.
    if (keepSaves && presentQuietly(installation.layout().users()) && !presentQuietly(installation.layout().backups()))
        plan.kept.insert(plan.kept.begin(), {backupsName(installation.layout()), "your saves"});
    return plan;
}

UninstallReport uninstall(const Installation& installation, bool keepSaves)
{
    UninstallReport result;
    if (!presentQuietly(installation.root()))
        return result;
    const InstallLock lock(installation.layout().lockFile());
    if (keepSaves) {
        installation.report("Keeping your saves");
        recoverSaves(installation.layout(), installation.host());
        if (const std::optional<TakenSnapshot> kept =
                SaveSnapshots(installation.layout()).takeKept(sentences::kKeptByUninstallNote)) {
            result.savesSnapshot = kept->name;
            result.savesLeftOut = kept->leftOut;
        }
    } else {
        finishInterruptedRestore(installation.layout(), installation.host());
    }

    result.plan = planFor(installation.layout(), keepSaves);
    installation.report("Removing the launcher's files");
    FreedSpace freed;
    for (const std::string& name : result.plan.removed) {
        const fs::path entry = installation.root() / name;
        // A file system the player mounted inside stays, with the folders above it.
        const RemovalLeftovers left = removeTreeQuietly(entry, [&freed](const RemovedFile& file) { freed.add(file); });
        for (const fs::path& mountPoint : left.mountPoints)
            result.plan.kept.push_back(
                {mountPoint.lexically_relative(installation.root()).string(), "another file system is mounted there"});
        if (!onlyMountPointsLeft(entry, left.mountPoints))
            throw leftoversFailure(entry, left);
    }
    result.freedBytes = freed.bytes();
    return result;
}

} // namespace launcher
