#include "saves/SaveSnapshots.h"

#include "core/AtomicFile.h"
#include "core/EntriesBelow.h"
#include "core/PerUserItems.h"
#include "core/Posix.h"
#include "core/RegularFile.h"
#include "core/SetupFailure.h"
#include "core/StagingFolder.h"
#include "core/Uuid.h"
#include "saves/FollowedLinks.h"
#include "saves/SaveSnapshot.h"
#include "saves/SavesCopy.h"
#include "saves/SnapshotName.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <chrono>
#include <system_error>
#include <tuple>

namespace launcher {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kStagingPrefix = "Saves-staging-";
constexpr const char* kKeptMarker = "kept.txt";
// The place of a snapshot in the order they were made: 1, 2, 3 … up to a
// limit no launcher reaches, so that the next order never wraps round to 0.
constexpr const char* kOrderRecord = "order.txt";
constexpr std::uintmax_t kOrderRecordLimit = 64;
constexpr std::uint64_t kLastOrder = (std::uint64_t{1} << 53) - 1;

struct NamedSnapshot {
    SnapshotName name;
    fs::path folder;
    // Nothing for snapshots made before their order was recorded.
    std::optional<std::uint64_t> order;
};

std::optional<std::uint64_t> recordedOrder(const fs::path& snapshot)
{
    std::string text;
    try {
        text = readRegular(snapshot / kOrderRecord, {.followLinks = false, .maxSize = kOrderRecordLimit});
    } catch (const std::exception&) {
        return std::nullopt;
    }
    std::uint64_t order = 0;
    const char* end = text.data() + text.size() - (text.ends_with('\n') ? 1 : 0);
    const auto [stop, error] = std::from_chars(text.data(), end, order);
    // A record out of range is as damaged as one that is no number.
    const bool valid = error == std::errc() && stop == end && order >= 1 && order <= kLastOrder;
    return valid ? std::optional(order) : std::nullopt;
}

// The snapshots in the folder, newest first; entries of any other name are not
// ours. The clock that named a snapshot may have been wrong, so the recorded
// order ranks them; those made before it was recorded, or whose record is
// damaged, are older than all that have it, and rank among themselves by name.
std::vector<NamedSnapshot> snapshotsIn(const fs::path& backups)
{
    std::vector<NamedSnapshot> found;
    std::error_code error;
    for (fs::directory_iterator it(backups, error), end; !error && it != end; it.increment(error)) {
        const std::optional<SnapshotName> name = SnapshotName::parse(it->path().filename().string());
        if (name && it->symlink_status(error).type() == fs::file_type::directory)
            found.push_back({*name, it->path(), recordedOrder(it->path())});
    }
    std::ranges::sort(found, std::ranges::greater(),
                      [](const NamedSnapshot& snapshot) { return std::tie(snapshot.order, snapshot.name); });
    return found;
}

// At the last order snapshots share it, ranked by name: still after all others.
std::uint64_t nextOrder(const std::vector<NamedSnapshot>& existing)
{
    return existing.empty() || !existing.front().order ? 1 : std::min(*existing.front().order + 1, kLastOrder);
}

bool isKept(const fs::path& snapshot)
{
    std::error_code error;
    return fs::is_regular_file(fs::symlink_status(snapshot / kKeptMarker, error));
}

// The live saves, each with the place of its copy in a snapshot folder.
struct LiveItem {
    fs::path live;
    fs::path inSnapshot;
};

std::vector<LiveItem> liveSaves(const Layout& layout, const FollowedLinks& links)
{
    std::vector<LiveItem> items;
    if (existsQuietly(layout.users()) && !links.leavesOut(layout.users()))
        items.push_back({layout.users(), "users"});
    std::error_code error;
    for (fs::directory_iterator it(layout.game(), error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (isPlayerSaveItem(name))
            items.push_back({it->path(), fs::path("game") / name});
    }
    return items;
}

// The entries of the snapshot that copies of the live saves are compared with.
std::uintmax_t savedEntries(const fs::path& snapshot)
{
    std::uintmax_t entries = countSavesEntries(snapshot / "users");
    std::error_code error;
    for (fs::directory_iterator it(snapshot / "game", error), end; !error && it != end; it.increment(error))
        entries += countSavesEntries(it->path());
    return entries;
}

void countFiles(const fs::path& folder, SaveSnapshot& snapshot)
{
    if (!fs::is_directory(fs::symlink_status(folder)))
        return;
    visitEntriesBelow(folder, [&](const fs::directory_entry& entry) {
        if (entry.symlink_status().type() == fs::file_type::regular) {
            ++snapshot.files;
            snapshot.bytes += entry.file_size();
        }
    });
}

} // namespace

std::vector<SaveSnapshot> SaveSnapshots::list() const
{
    std::vector<SaveSnapshot> listed;
    for (const NamedSnapshot& found : snapshotsIn(m_layout.backups())) {
        SaveSnapshot snapshot{.name = found.name.text(), .kept = isKept(found.folder)};
        // A launch may rotate a snapshot out while it is counted.
        try {
            countFiles(found.folder / "users", snapshot);
            countFiles(found.folder / "game", snapshot);
        } catch (const fs::filesystem_error&) {
            if (existsQuietly(found.folder))
                throw;
            continue;
        }
        listed.push_back(std::move(snapshot));
    }
    return listed;
}

std::optional<TakenSnapshot> SaveSnapshots::take() const
{
    return take(std::nullopt);
}

void SaveSnapshots::rotate(const std::string& taken) const
{
    std::size_t rotated = isKept(folder(taken)) ? 0 : 1;
    for (const NamedSnapshot& snapshot : snapshotsIn(m_layout.backups())) {
        if (isKept(snapshot.folder) || snapshot.name.text() == taken || ++rotated <= kRotated)
            continue;
        // Renamed first, so that a removal cut short leaves a staging folder for
        // the next snapshot to remove rather than a snapshot with files missing.
        const fs::path parked = m_layout.backups() / (std::string(kStagingPrefix) + freshUuid());
        std::error_code error;
        fs::rename(snapshot.folder, parked, error);
        if (!error)
            removeTreeQuietly(parked);
    }
}

std::optional<TakenSnapshot> SaveSnapshots::takeKept(const std::string& reason) const
{
    return take(reason);
}

std::optional<TakenSnapshot> SaveSnapshots::take(const std::optional<std::string>& keptReason) const
{
    const FollowedLinks links = followedLinks(m_layout);
    const std::vector<LiveItem> live = liveSaves(m_layout, links);
    if (live.empty())
        return std::nullopt;

    fs::create_directories(m_layout.backups());
    // The install lock is held, so a staging folder found now belongs to a killed run.
    for (const fs::path& leftover : stagingFoldersIn(m_layout.backups(), std::array{kStagingPrefix}))
        removeTreeQuietly(leftover);

    const std::vector<NamedSnapshot> existing = snapshotsIn(m_layout.backups());
    const std::optional<fs::path> newest = existing.empty() ? std::nullopt : std::optional(existing.front().folder);

    const StagingFolder staging(m_layout.backups(), kStagingPrefix);
    std::vector<SavesItem> items;
    for (const LiveItem& item : live)
        items.push_back({item.live, staging.path() / item.inSnapshot,
                         newest ? std::optional(*newest / item.inSnapshot) : std::nullopt, links.followed});
    const SavesPlan plan = planSaves(items);
    // A snapshot that must last is taken before saves are removed or replaced,
    // and what it cannot read would be lost with them.
    if (keptReason && !plan.unreadable.empty())
        throw SetupFailure("The folder " + plan.unreadable.front().string() +
                           " cannot be read, so your saves cannot all be kept. Check that you may read it, "
                           "then try again.");
    if (newest && plan.matchesPrevious() && plan.steps.size() == savedEntries(*newest)) {
        if (keptReason && !isKept(*newest))
            writeFileAtomically(*newest / kKeptMarker, *keptReason + "\n");
        return TakenSnapshot{existing.front().name.text(), plan.unreadable, links.sentences()};
    }

    fs::create_directory(staging.path() / "game");
    copySaves(plan);
    if (keptReason)
        writeFileAtomically(staging.path() / kKeptMarker, *keptReason + "\n");
    writeFileAtomically(staging.path() / kOrderRecord, std::to_string(nextOrder(existing)) + "\n");
    SnapshotName name = SnapshotName::at(std::chrono::system_clock::now());
    while (fs::exists(fs::symlink_status(folder(name.text()))))
        name = name.next();
    fs::rename(staging.path(), folder(name.text()));
    return TakenSnapshot{name.text(), plan.unreadable, links.sentences()};
}

} // namespace launcher
