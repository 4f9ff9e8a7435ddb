#include "app/SavesCopy.h"

#include "core/EntryFacts.h"
#include "core/FileCopy.h"
#include "core/Posix.h"

#include <cerrno>
#include <functional>

#include <unistd.h>

namespace launcher {
namespace {

namespace fs = std::filesystem;

// One entry of an item: where it is, where its copy goes, and what the previous copy has there.
struct SavesEntry {
    const fs::path& from;
    fs::path to;
    EntryFacts facts;
    // Nothing there matches nothing: its kind is "other".
    EntryFacts previous;
    std::optional<fs::path> previousPath;
};

bool matches(const SavesEntry& entry)
{
    if (entry.facts.kind == EntryFacts::Kind::folder)
        return entry.previous.kind == EntryFacts::Kind::folder;
    return entry.previous.kind == EntryFacts::Kind::file && entry.previous.size == entry.facts.size &&
           entry.previous.modified == entry.facts.modified;
}

// Visits the item and, for a folder, every folder and regular file below it,
// parents first, until `visit` returns false; returns whether it went through.
bool walkItem(const SavesItem& item, const std::function<bool(const SavesEntry&)>& visit)
{
    // The item itself has no relative path, and a file's path must not end in a separator.
    auto below = [](const fs::path& base, const fs::path& relative) { return relative.empty() ? base : base / relative; };
    auto entry = [&](const fs::path& from, const fs::path& relative, const EntryFacts& facts) {
        std::optional<fs::path> previous = item.previous ? std::optional(below(*item.previous, relative)) : std::nullopt;
        const EntryFacts earlier = previous ? entryFacts(*previous).value_or(EntryFacts{}) : EntryFacts{};
        return SavesEntry{from, below(item.to, relative), facts, earlier, std::move(previous)};
    };
    const std::optional<EntryFacts> top = entryFacts(item.from);
    if (!top || top->kind == EntryFacts::Kind::other)
        return true;
    if (!visit(entry(item.from, "", *top)))
        return false;
    if (top->kind != EntryFacts::Kind::folder)
        return true;
    for (auto it = fs::recursive_directory_iterator(item.from); it != fs::recursive_directory_iterator(); ++it) {
        const fs::file_type type = it->symlink_status().type();
        if (type != fs::file_type::directory && type != fs::file_type::regular)
            continue;
        const std::optional<EntryFacts> facts = entryFacts(it->path());
        if (facts && !visit(entry(it->path(), it->path().lexically_relative(item.from), *facts)))
            return false;
    }
    return true;
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

void copySaves(const std::vector<SavesItem>& items)
{
    for (const SavesItem& item : items) {
        walkItem(item, [](const SavesEntry& entry) {
            if (entry.facts.kind == EntryFacts::Kind::folder) {
                fs::create_directory(entry.to);
            } else if (!matches(entry) || !link(*entry.previousPath, entry.to)) {
                copyFile(entry.from, entry.to);
                setModificationTime(entry.to, entry.facts.modified);
            }
            return true;
        });
    }
}

std::optional<std::uintmax_t> matchedEntries(const std::vector<SavesItem>& items)
{
    std::uintmax_t entries = 0;
    for (const SavesItem& item : items) {
        const bool same = walkItem(item, [&entries](const SavesEntry& entry) {
            ++entries;
            return matches(entry);
        });
        if (!same)
            return std::nullopt;
    }
    return entries;
}

std::uintmax_t countSavesEntries(const fs::path& item)
{
    std::uintmax_t entries = 0;
    walkItem({item, item, std::nullopt}, [&entries](const SavesEntry&) {
        ++entries;
        return true;
    });
    return entries;
}

} // namespace launcher
