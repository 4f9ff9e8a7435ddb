#include "app/SavesCopy.h"

#include "core/FileCopy.h"
#include "core/Posix.h"

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

void plan(const SavesItem& item, SavesPlan& plan)
{
    auto add = [&](const fs::path& from, const fs::path& to, const std::optional<fs::path>& previous,
                   const EntryFacts& facts) {
        // Nothing there matches nothing: its kind is "other".
        const EntryFacts earlier = previous ? entryFacts(*previous).value_or(EntryFacts{}) : EntryFacts{};
        plan.steps.push_back({from, to, facts, previous, matches(facts, earlier)});
    };
    const std::optional<EntryFacts> top = entryFacts(item.from);
    if (!top || top->kind == EntryFacts::Kind::other)
        return;
    add(item.from, item.to, item.previous, *top);
    if (top->kind != EntryFacts::Kind::folder)
        return;
    const std::size_t prefix = item.from.native().size() + 1;
    for (auto it = fs::recursive_directory_iterator(item.from); it != fs::recursive_directory_iterator(); ++it) {
        if (!isCopied(it->symlink_status().type()))
            continue;
        const std::optional<EntryFacts> facts = entryFacts(it->path());
        if (!facts || facts->kind == EntryFacts::Kind::other)
            continue;
        // The walk's paths all begin with the item's and a separator.
        const fs::path relative = it->path().native().substr(prefix);
        add(it->path(), item.to / relative, item.previous ? std::optional(*item.previous / relative) : std::nullopt,
            *facts);
    }
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

SavesPlan planSaves(const std::vector<SavesItem>& items)
{
    SavesPlan result;
    for (const SavesItem& item : items)
        plan(item, result);
    return result;
}

void copySaves(const SavesPlan& plan)
{
    for (const SavesPlan::Step& step : plan.steps) {
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
        for (const fs::directory_entry& entry : fs::recursive_directory_iterator(item))
            entries += isCopied(entry.symlink_status().type()) ? 1 : 0;
    }
    return entries;
}

} // namespace launcher
