#include "app/SavesCopy.h"

#include "core/EntryFacts.h"
#include "core/FileCopy.h"
#include "core/Posix.h"

#include <cerrno>

#include <unistd.h>

namespace launcher {
namespace {

namespace fs = std::filesystem;

bool sameFile(const EntryFacts& live, const EntryFacts& previous)
{
    return previous.kind == EntryFacts::Kind::file && previous.size == live.size && previous.modified == live.modified;
}

// Failures of link() that only mean "copy instead": another file system, a file
// system without hard links, or a file with as many links as it may have.
bool cannotLink(int error)
{
    return error == EXDEV || error == EPERM || error == EMLINK || error == ENOTSUP || error == EOPNOTSUPP;
}

class Copier final {
public:
    void copy(const SavesItem& item)
    {
        const std::optional<EntryFacts> top = entryFacts(item.from);
        if (!top)
            return;
        add(item.from, item.to, item.previous, *top);
        if (top->kind != EntryFacts::Kind::folder)
            return;
        for (auto it = fs::recursive_directory_iterator(item.from); it != fs::recursive_directory_iterator(); ++it) {
            const fs::path relative = it->path().lexically_relative(item.from);
            const fs::file_type type = it->symlink_status().type();
            if (type != fs::file_type::directory && type != fs::file_type::regular)
                continue;
            const std::optional<EntryFacts> facts = entryFacts(it->path());
            if (!facts)
                continue;
            add(it->path(), item.to / relative,
                item.previous ? std::optional(*item.previous / relative) : std::nullopt, *facts);
        }
    }

    const SavesCopyTally& tally() const { return m_tally; }

private:
    void add(const fs::path& from, const fs::path& to, const std::optional<fs::path>& previous,
             const EntryFacts& facts)
    {
        // Nothing there matches nothing: its kind is "other".
        const EntryFacts earlier = previous ? entryFacts(*previous).value_or(EntryFacts{}) : EntryFacts{};
        if (facts.kind == EntryFacts::Kind::folder) {
            fs::create_directory(to);
            count(earlier.kind == EntryFacts::Kind::folder);
        } else if (facts.kind == EntryFacts::Kind::file) {
            const bool same = sameFile(facts, earlier);
            if (!same || !link(*previous, to)) {
                copyFile(from, to);
                setModificationTime(to, facts.modified);
            }
            count(same);
        }
    }

    static bool link(const fs::path& from, const fs::path& to)
    {
        if (::link(from.c_str(), to.c_str()) == 0)
            return true;
        if (cannotLink(errno))
            return false;
        throwFileError("cannot link file", to);
    }

    void count(bool matched)
    {
        ++m_tally.entries;
        if (matched)
            ++m_tally.matched;
    }

    SavesCopyTally m_tally;
};

} // namespace

SavesCopyTally copySaves(const std::vector<SavesItem>& items)
{
    Copier copier;
    for (const SavesItem& item : items)
        copier.copy(item);
    return copier.tally();
}

std::uintmax_t countSavesEntries(const fs::path& item)
{
    const std::optional<EntryFacts> top = entryFacts(item);
    if (!top || top->kind == EntryFacts::Kind::other)
        return 0;
    std::uintmax_t entries = 1;
    if (top->kind == EntryFacts::Kind::folder) {
        for (const fs::directory_entry& entry : fs::recursive_directory_iterator(item)) {
            const fs::file_type type = entry.symlink_status().type();
            if (type == fs::file_type::directory || type == fs::file_type::regular)
                ++entries;
        }
    }
    return entries;
}

} // namespace launcher
