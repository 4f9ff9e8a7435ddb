#pragma once
// The copy under every save snapshot and every restore: folders and regular
// files, never a symbolic link (Wine links profile folders such as Documents to
// the player's own folders) nor any other kind of entry, except a link the
// item says to follow (see FollowedLinks.h), nor the staging folder a restore
// that was interrupted left among the saves. A folder that cannot be read is
// left out and named in the plan. It is planned first, which reads only, so
// that a snapshot equal to the last one costs no writes:
//
//   const SavesPlan plan = planSaves({{layout.users(), staging / "users", newest / "users", links.followed}});
//   if (!plan.matchesPrevious() || plan.steps.size() != countSavesEntries(newest / "users"))
//       copySaves(plan);

#include "core/EntryFacts.h"
#include "core/StopRequest.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

namespace launcher {

// One folder or file of saves and where its copy goes.
struct SavesItem {
    std::filesystem::path from;
    std::filesystem::path to;
    // The same item in an earlier copy: a file whose size and modification time
    // are the same there becomes a hard link to that file instead of a copy.
    std::optional<std::filesystem::path> previous;
    // The links to folders that are followed, wherever the walk meets them.
    std::vector<std::filesystem::path> followedLinks;
};

// A symbolic link that points at a folder.
bool isLinkToFolder(const std::filesystem::path& entry);

struct SavesPlan {
    struct Step {
        std::filesystem::path from;
        std::filesystem::path to;
        EntryFacts facts;
        // The entry in the previous copy, when there is one.
        std::optional<std::filesystem::path> previous;
        // Whether it matches this entry: a folder there, or a file of equal size and modification time.
        bool matches = false;
    };

    // Every folder and file of the items, in order, each folder before what it holds.
    std::vector<Step> steps;
    // The folders that could not be read, left out with all they hold.
    std::vector<std::filesystem::path> unreadable;

    bool matchesPrevious() const { return std::ranges::all_of(steps, &Step::matches); }
};

// Walks the items and what the previous copies hold in their place; reads only.
SavesPlan planSaves(const std::vector<SavesItem>& items);

// Makes the planned copies, as new entries whose parents must exist: a matching
// file becomes a hard link to the previous one (a copy where the file system
// cannot link); any other file is copied by the fastest means the file system
// has (a clone where it can) and keeps its modification time. Blocks; throws
// the file system's error, leaving what it made so far for the caller to remove,
// and SetupStopped at its next entry once `stop` is requested.
void copySaves(const SavesPlan& plan, const StopRequest* stop = nullptr);

// The folders and regular files at and below `item` that a plan would hold;
// none when nothing is there.
std::uintmax_t countSavesEntries(const std::filesystem::path& item);

} // namespace launcher
