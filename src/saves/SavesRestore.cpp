#include "core/Installation.h"

#include "core/IncompleteInstallation.h"
#include "core/InstallLock.h"
#include "core/PerUserItems.h"
#include "core/PlayerSentences.h"
#include "core/Posix.h"
#include "core/SetupFailure.h"
#include "core/StopRequest.h"
#include "core/Uuid.h"
#include "saves/FollowedLinks.h"
#include "saves/RestoreRecovery.h"
#include "saves/SaveSnapshot.h"
#include "saves/SaveSnapshots.h"
#include "saves/SavesCopy.h"
#include "saves/SavesRestore.h"
#include "saves/SavesSwap.h"
#include "saves/SnapshotName.h"
#include "saves/UnknownSnapshot.h"

#include <algorithm>
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

// The links below a live folder that a restore replaces whole (Wine's links
// from profile folders to the player's own folders) stay as they are: they
// were never part of a snapshot.
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

std::set<std::string> entryNames(const fs::path& folder)
{
    std::set<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        names.insert(it->path().filename().string());
    return names;
}

// Copies a snapshot's items into the restore's staging folders and plans the
// moves that put them live. A live entry is replaced whole, except where the
// player linked the users folder or a profile folder to a folder of their own
// (a followed link): the restore writes into that folder, entry by entry, and
// the link stays. A link left out of the snapshots is left as it is, with what
// it leads to.
class RestorePlan final {
public:
    RestorePlan(fs::path mainStaging, FollowedLinks links, const StopRequest& stop)
        : m_main(std::move(mainStaging)), m_links(std::move(links)), m_stop(stop), m_stagingFolders{m_main}
    {
    }

    void addUsers(const fs::path& saved, const fs::path& live)
    {
        if (m_links.leavesOut(live))
            return;
        if (m_links.follows(live))
            writeInto(saved, live, true);
        else if (std::ranges::any_of(entryNames(live), [&](const std::string& name) {
                     return isLinkToFolder(live / name);
                 }))
            replaceEntries(saved, live, m_main, true);
        else
            replace(saved, live, m_main, true);
    }

    void add(const fs::path& saved, const fs::path& live) { replace(saved, live, m_main, false); }

    const std::vector<RestoreMove>& moves() const { return m_moves; }
    // The main staging folder and those it made in linked folders.
    const std::vector<fs::path>& stagingFolders() const { return m_stagingFolders; }

private:
    void writeInto(const fs::path& saved, const fs::path& linked, bool profilesInside)
    {
        const fs::path staging = linked / m_main.filename();
        fs::create_directory(staging);
        m_stagingFolders.push_back(staging);
        replaceEntries(saved, linked, staging, profilesInside);
    }

    // Each entry of the live folder and of its saved copy, but links that the
    // snapshot has nothing for stay.
    void replaceEntries(const fs::path& saved, const fs::path& live, const fs::path& staging, bool profilesInside)
    {
        std::set<std::string> names = entryNames(live);
        names.merge(entryNames(saved));
        names.erase(m_main.filename().string());
        for (const std::string& name : names) {
            if (profilesInside && m_links.leavesOut(live / name))
                continue;
            if (profilesInside && m_links.follows(live / name))
                writeInto(saved / name, live / name, false);
            else if (!fs::is_symlink(fs::symlink_status(live / name)) || existsQuietly(saved / name))
                replace(saved / name, live / name, staging, false);
        }
    }

    void replace(const fs::path& saved, const fs::path& live, const fs::path& staging, bool alwaysFolder)
    {
        const std::string number = std::to_string(m_moves.size());
        const RestoreMove move{live, staging / ("new-" + number), staging / ("old-" + number)};
        copySaves(planSaves({{saved, move.copy, std::nullopt}}), &m_stop);
        // Never leave the prefix without a users folder, even for a snapshot without one.
        if (alwaysFolder)
            fs::create_directories(move.copy);
        if (!fs::exists(fs::symlink_status(move.copy)) && !fs::exists(fs::symlink_status(live)))
            return;
        carryOverLinks(live, move.copy);
        m_moves.push_back(move);
    }

    fs::path m_main;
    FollowedLinks m_links;
    const StopRequest& m_stop;
    std::vector<fs::path> m_stagingFolders;
    std::vector<RestoreMove> m_moves;
};

} // namespace

std::vector<SaveSnapshot> saveSnapshots(const Installation& installation)
{
    return SaveSnapshots(installation.layout()).list();
}

RestoredSaves restoreSaves(const Installation& installation, const std::string& name)
{
    if (!installation.isInstalled())
        throwRefusal(installation, sentences::kRestoreOverIncompleteSetup);
    const InstallLock lock(installation.layout().lockFile());
    recoverSaves(installation.layout(), installation.host());
    const SaveSnapshots snapshots(installation.layout());
    if (!isSnapshot(snapshots, name))
        throw UnknownSnapshot(name);

    installation.report("Restoring " + name);
    // Restoring without a way back would lose the live saves, so a failure here ends the restore.
    const std::optional<TakenSnapshot> previous =
        snapshots.takeKept("Made before restoring " + name + "; launches never remove it.");

    const fs::path chosen = snapshots.folder(name);
    const std::string stagingName = std::string(kRestoreStagingPrefix) + freshUuid();
    const fs::path staging = restoreStagingParent(installation.layout()) / stagingName;
    fs::create_directory(staging);
    try {
        // The links are judged before anything is copied, let alone moved.
        RestorePlan plan(staging, followedLinks(installation.layout()), installation.supervision().stop);
        plan.addUsers(chosen / "users", installation.layout().users());
        std::set<std::string> names = playerSaveItems(installation.game());
        names.merge(playerSaveItems(chosen / "game"));
        for (const std::string& item : names)
            plan.add(chosen / "game" / item, installation.game() / item);
        // The journal counts on the copies, so they reach the disk first.
        for (const fs::path& folder : plan.stagingFolders())
            installation.host().flushTree(folder);
        installation.throwIfStopped();
        writeRestoreJournal(installation.layout(), staging, plan.moves());
    } catch (const SetupStopped&) {
        removeRestoreStaging(installation.layout(), stagingName);
        throw SetupStopped(sentences::kRestoreStopped);
    } catch (...) {
        // Nothing live has moved yet.
        removeRestoreStaging(installation.layout(), stagingName);
        throw;
    }
    // From here on a failure leaves the journal for the next start to finish,
    // and a stop waits: the moves take moments, and all of them make the restore whole.
    completeRestore(installation.layout(), staging, installation.host());
    if (!previous)
        return {name, "", {}};
    return {name, previous->name, previous->leftOut};
}

} // namespace launcher
