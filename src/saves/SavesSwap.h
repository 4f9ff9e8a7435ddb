#pragma once
// How a restore puts its copies of the saves live, so that a kill at any point
// leaves what the next start can make whole.
//
// The restore copies the snapshot's items into staging folders named
// "Restore-staging-" + UUID: the main one beside the users folder, and one of
// the same name inside each linked folder it writes into, so that every copy
// lies on the file system of its live place. Then it writes a journal in the
// main staging folder, flushed to disk, that names every move and the identity
// (device and inode) of each copy and of each live entry it replaces; only
// then does it move. Each live entry is exchanged with its copy in one step
// where the file system can, or else renamed aside and the copy renamed in.
// Identities tell each move done from not done, so a restore killed at any
// point is finished by the next start, forward: the player's saves from before
// it are in the kept snapshot the restore made first. A restore killed before
// its journal changed nothing live, and its staging folders simply go.
//
//   recoverSaves(layout, host);                     // at every start (RestoreRecovery.h)
//   ... copy into restoreStagingParent(layout) / name and linked folders / name ...
//   host.flushTree(each staging folder);
//   writeRestoreJournal(layout, staging, moves);    // or, on a failure before: removeRestoreStaging(layout, name)
//   completeRestore(layout, staging, host);
//
// Called with the install lock held. Blocks the caller.

#include "core/Host.h"
#include "core/Layout.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace launcher {

inline constexpr std::string_view kRestoreStagingPrefix = "Restore-staging-";

// Where the main staging folders of restores live: beside the users folder.
inline std::filesystem::path restoreStagingParent(const Layout& layout)
{
    return layout.users().parent_path();
}

// One live entry a restore replaces by its copy; without a copy (the snapshot
// lacks the item) the live entry is only moved aside.
struct RestoreMove {
    std::filesystem::path live;
    std::filesystem::path copy;
    // Where the live entry goes when the file system cannot exchange.
    std::filesystem::path parked;
};

// Writes the journal of the moves into the main staging folder and flushes it:
// from here on the restore is finished, by this run or by the next start. The
// copies must be on the disk already. Throws, writing nothing, when a move would
// replace a folder that holds the root.
void writeRestoreJournal(const Layout& layout, const std::filesystem::path& staging,
                         const std::vector<RestoreMove>& moves);

// Makes the journal's moves that are not yet done, then removes the restore's
// staging folders. Throws, leaving everything in place, when a live entry is
// neither the copy nor the entry the journal names, or is a folder that holds
// the root.
void completeRestore(const Layout& layout, const std::filesystem::path& staging, const Host& host);

// Whether a restore was interrupted after writing its journal, so that the
// next start finishes it. Throws the failure that names a damaged journal.
bool hasJournalledRestore(const Layout& layout);

// Whether the journal of an interrupted restore names a place outside the root,
// or cannot be read: removing it with the root would leave copies renamed
// "new-0" … in the player's folders, their names known only to it.
bool interruptedRestoreReachesOut(const Layout& layout);

// Removes the staging folders of the restore whose main staging folder has
// this name: the main one and those in the linked folders it wrote into.
void removeRestoreStaging(const Layout& layout, const std::string& name) noexcept;

// Mends what killed restores left: completes those whose journal was written
// and removes the staging folders of the others, but for one that a launcher
// from before the journal left with the player's old saves parked in it: that
// one stays, and only a missing users folder is put back from it.
void recoverInterruptedRestore(const Layout& layout, const Host& host);

} // namespace launcher
