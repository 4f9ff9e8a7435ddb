#include "saves/SavesCopy.h"

#include "core/EntriesBelow.h"
#include "core/FileCopy.h"
#include "core/Posix.h"
#include "core/StagingFolder.h"
#include "saves/SavesSwap.h"

#include <algorithm>
#include <cerrno>

#include <unistd.h>

namespace launcher {
namespace {

namespace fs = std::filesystem;

bool isCopied(fs::file_type type)
{
    return type == fs::file_type::directory || type == fs::file_type::regular;
}

bool matches(const EntryFacts& facts, const EntryFacts& previous)
{
    if (facts.kind == EntryFacts::Kind::folder)
        return previous.kind == EntryFacts::Kind::folder;
    return previous.kind == EntryFacts::Kind::file && previous.size == facts.size &&
           previous.modified == facts.modified;
}

// A restore that was interrupted keeps its copies there until it is finished.
bool isRestoreStaging(const fs::directory_entry& entry)
{
    std::error_code error;
    return isStagingName(entry.path().filename().string(), kRestoreStagingPrefix) &&
           entry.symlink_status(error).type() == fs::file_type::directory;
}

// Adds the entry and, for a folder, all it holds, each folder before its entries.
void walk(const fs::path& from, const fs::path& to, const std::optional<fs::path>& previous,
          const std::vector<fs::path>& followedLinks, SavesPlan& plan)
{
    std::optional<EntryFacts> facts = entryFacts(from);
    // Links are few: only they are looked up among those followed and examined further.
    if (facts && facts->kind == EntryFacts::Kind::other &&
        std::ranges::find(followedLinks, from) != followedLinks.end() && isLinkToFolder(from))
        facts = EntryFacts{.kind = EntryFacts::Kind::folder};
    if (!facts || facts->kind == EntryFacts::Kind::other)
        return;
    std::error_code error;
    fs::directory_iterator it;
    if (facts->kind == EntryFacts::Kind::folder) {
        it = fs::directory_iterator(from, error);
        if (error == std::errc::permission_denied) {
            plan.unreadable.push_back(from);
            return;
        }
    }
    // Nothing there matches nothing: its kind is "other".
    const EntryFacts earlier = previous ? entryFacts(*previous).value_or(EntryFacts{}) : EntryFacts{};
    plan.steps.push_back({from, to, *facts, previous, matches(*facts, earlier)});
    for (const fs::directory_iterator end; !error && it != end; it.increment(error)) {
        if (isRestoreStaging(*it))
            continue;
        const fs::path name = it->path().filename();
        walk(it->path(), to / name, previous ? std::optional(*previous / name) : std::nullopt, followedLinks, plan);
    }
    if (error)
        throw fs::filesystem_error("cannot read folder", from, error);
}

// Failures of link() that only mean "copy instead": another file system, a file
// system without hard links, or a file with as many links as it may have.
bool cannotLink(int error)
{
    return error == EXDEV || error == EPERM || error == EMLINK || error == ENOTSUP || error == EOPNOTSUPP;
}

bool link(const fs::path& from, const fs::path& to)
{
    if (::link(from.c_str(), to.c_str()) == 0)
        return true;
    if (cannotLink(errno))
        return false;
    throwFileError("cannot link file", to);
}

} // namespace

bool isLinkToFolder(const fs::path& entry)
{
    std::error_code error;
    return fs::is_symlink(fs::symlink_status(entry, error)) && fs::is_directory(fs::status(entry, error));
}

SavesPlan planSaves(const std::vector<SavesItem>& items)
{
    SavesPlan result;
    for (const SavesItem& item : items)
        walk(item.from, item.to, item.previous, item.followedLinks, result);
    return result;
}

void copySaves(const SavesPlan& plan, const StopRequest* stop)
{
    for (const SavesPlan::Step& step : plan.steps) {
        if (stop != nullptr)
            stop->throwIfRequested();
        if (step.facts.kind == EntryFacts::Kind::folder) {
            fs::create_directory(step.to);
        } else if (!step.matches || !link(*step.previous, step.to)) {
            copyFile(step.from, step.to);
            setModificationTime(step.to, step.facts.modified);
        }
    }
}

std::uintmax_t countSavesEntries(const fs::path& item)
{
    std::error_code error;
    const fs::file_type top = fs::symlink_status(item, error).type();
    if (!isCopied(top))
        return 0;
    std::uintmax_t entries = 1;
    if (top == fs::file_type::directory) {
        // The kinds come from the folder listings; nothing is examined one by one.
        visitEntriesBelow(item, [&](const fs::directory_entry& entry) {
            entries += isCopied(entry.symlink_status().type()) ? 1 : 0;
        });
    }
    return entries;
}

} // namespace launcher
