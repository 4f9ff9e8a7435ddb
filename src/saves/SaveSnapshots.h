#pragma once
// The snapshots of the player's saves in "Backups" (see core/SaveSnapshot.h for
// their names). Each holds "users", a copy of the prefix's "drive_c/users", and
// "game", the game folder's per-user items, and "order.txt", its place in the
// order the snapshots were made, which ranks them whatever a clock said; a
// snapshot made before a restore or by an uninstall that kept the saves also
// holds "kept.txt", which says why launches never rotate it out. Files
// unchanged since the newest snapshot are hard links to its files, so that a
// snapshot costs little when little has changed. A live file is never linked
// into a snapshot, and a snapshot's files are never made live, since snapshots
// share them: a restore copies. Of the links among the saves only those
// FollowedLinks.h names are followed.
//
// A snapshot is whole or absent: it is built in "Backups/Saves-staging-" + UUID
// and renamed into place, and a failure removes the partial one, never an older
// snapshot. A staging folder that a killed run left is removed by the next one.
//
// Taking snapshots needs the install lock; listing does not. Blocks the caller.

#include "core/Layout.h"
#include "saves/SaveSnapshot.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace launcher {

struct TakenSnapshot {
    // The snapshot that holds the live saves.
    std::string name;
    // The folders among the saves that could not be read, and that it lacks.
    std::vector<std::filesystem::path> unreadable;
    // The links it did not follow, one sentence each (see FollowedLinks.h).
    std::vector<std::string> leftOut;
};

class SaveSnapshots final {
public:
    // How many snapshots launches keep, besides those marked kept.
    static constexpr std::size_t kRotated = 10;

    explicit SaveSnapshots(Layout layout) : m_layout(std::move(layout)) {}

    // Newest first, in the order they were made; a snapshot that vanishes while
    // it is counted is left out.
    std::vector<SaveSnapshot> list() const;
    std::filesystem::path folder(const std::string& name) const { return m_layout.backups() / name; }

    // Unless the live saves equal the newest snapshot, takes a new one; a
    // folder that cannot be read is left out and named. Nothing when there are
    // no saves at all (no users folder and no per-user items).
    std::optional<TakenSnapshot> take() const;
    // The same for a snapshot that must last: the one holding the live saves is
    // marked kept, `reason` saying why. A folder that cannot be read is thrown
    // as a SetupFailure that names it, since the saves it holds could not be kept.
    std::optional<TakenSnapshot> takeKept(const std::string& reason) const;
    // Removes the oldest snapshots beyond the newest kRotated that are not kept;
    // `taken`, the launch's own, counts among those and always stays. A snapshot that cannot be
    // removed stays for the next launch to try again.
    void rotate(const std::string& taken) const;

private:
    std::optional<TakenSnapshot> take(const std::optional<std::string>& keptReason) const;

    Layout m_layout;
};

} // namespace launcher
