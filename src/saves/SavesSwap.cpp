#include "saves/SavesSwap.h"

#include "core/AtomicFile.h"
#include "core/PathWithin.h"
#include "core/Platform.h"
#include "core/Posix.h"
#include "core/RegularFile.h"
#include "core/SetupFailure.h"
#include "core/StagingFolder.h"
#include "saves/LockedEntry.h"

#include <array>
#include <cerrno>
#include <charconv>
#include <optional>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>

namespace launcher {
namespace {

namespace fs = std::filesystem;

constexpr const char* kJournal = "journal";
constexpr std::string_view kJournalHeading = "Veyra 2 restore journal 1";
constexpr std::uintmax_t kJournalLimit = 16 * 1024 * 1024;

// Where restores from before the journal parked the live saves: a staging
// folder holding these may hold the only copy of a save, so it is never removed.
constexpr std::array kUnjournalledNames{"previous-users", "previous-game"};

// What an entry is, wherever it is renamed to on its file system.
struct Identity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    bool operator==(const Identity&) const = default;
};

std::optional<Identity> identityOf(const fs::path& entry)
{
    struct stat info {};
    if (::lstat(entry.c_str(), &info) != 0) {
        if (errno == ENOENT)
            return std::nullopt;
        throwFileError("cannot examine", entry);
    }
    return Identity{static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

struct JournalEntry {
    RestoreMove move;
    std::optional<Identity> copy;
    std::optional<Identity> live;
};

// Every field is written with its length first, "12:/a/b/c/d/e/", so that a
// path may hold any byte.
void field(std::string& text, std::string_view value)
{
    text += std::to_string(value.size()) + ":";
    text += value;
    text += "\n";
}

void field(std::string& text, const std::optional<Identity>& identity)
{
    field(text, identity ? std::to_string(identity->device) + " " + std::to_string(identity->inode) : "-");
}

class JournalReader final {
public:
    JournalReader(std::string text, fs::path file) : m_text(std::move(text)), m_file(std::move(file)) {}

    bool atEnd() const { return m_at == m_text.size(); }

    std::string field()
    {
        const std::size_t colon = m_text.find(':', m_at);
        if (colon == std::string::npos)
            damaged();
        std::size_t length = 0;
        const auto [stop, error] = std::from_chars(m_text.data() + m_at, m_text.data() + colon, length);
        if (error != std::errc() || stop != m_text.data() + colon || length >= m_text.size() - colon - 1 ||
            m_text[colon + 1 + length] != '\n')
            damaged();
        std::string value = m_text.substr(colon + 1, length);
        m_at = colon + 2 + length;
        return value;
    }

    std::optional<Identity> identity()
    {
        const std::string text = field();
        if (text == "-")
            return std::nullopt;
        Identity identity;
        const std::size_t space = text.find(' ');
        if (space == std::string::npos)
            damaged();
        const auto device = std::from_chars(text.data(), text.data() + space, identity.device);
        const auto inode = std::from_chars(text.data() + space + 1, text.data() + text.size(), identity.inode);
        if (device.ec != std::errc() || device.ptr != text.data() + space || inode.ec != std::errc() ||
            inode.ptr != text.data() + text.size())
            damaged();
        return identity;
    }

    [[noreturn]] void damaged() const
    {
        throw SetupFailure("The journal of an interrupted restore of your saves, " + m_file.string() +
                           ", is damaged: move its folder out of the prefix, then try again.");
    }

private:
    std::string m_text;
    fs::path m_file;
    std::size_t m_at = 0;
};

std::vector<JournalEntry> readJournal(const fs::path& file)
{
    JournalReader reader(readRegular(file, {.followLinks = false, .maxSize = kJournalLimit}), file);
    if (reader.field() != kJournalHeading)
        reader.damaged();
    std::vector<JournalEntry> entries;
    while (!reader.atEnd()) {
        JournalEntry entry;
        entry.move.live = reader.field();
        entry.move.copy = reader.field();
        entry.move.parked = reader.field();
        entry.copy = reader.identity();
        entry.live = reader.identity();
        entries.push_back(std::move(entry));
    }
    return entries;
}

// A move must never take away a folder that holds the launcher's root: the
// root, with every snapshot in it, would be swapped for a copy. A link there is
// moved itself, which leaves what it leads to in place.
bool holdsRoot(const Layout& layout, const fs::path& live)
{
    std::error_code error;
    return fs::is_directory(fs::symlink_status(live, error)) && liesWithin(layout.root(), live);
}

[[noreturn]] void unexpectedEntry(const fs::path& changed, const fs::path& staging)
{
    throw SetupFailure("A restore of your saves was interrupted, and " + changed.string() +
                       " is not what it left there. Move " + staging.string() +
                       " out of the prefix, then try again; it holds the saves the restore had not put in place.");
}

// One move of the journal, from whatever state a kill left it in.
void finish(const JournalEntry& entry, const fs::path& staging, const Host& host)
{
    const RestoreMove& move = entry.move;
    const std::optional<Identity> atLive = identityOf(move.live);
    if (!entry.copy) {
        if (!atLive)
            return;
        if (atLive != entry.live)
            unexpectedEntry(move.live, staging);
        host.renamePath(move.live, move.parked);
        return;
    }
    if (atLive == entry.copy)
        return;
    if (identityOf(move.copy) != entry.copy)
        unexpectedEntry(move.copy, staging);
    if (!atLive) {
        // Never there, or already renamed aside.
        host.renamePath(move.copy, move.live);
        return;
    }
    if (atLive != entry.live)
        unexpectedEntry(move.live, staging);
    if (host.exchangePaths(move.copy, move.live))
        return;
    host.renamePath(move.live, move.parked);
    host.renamePath(move.copy, move.live);
}

bool unjournalled(const fs::path& staging)
{
    for (const char* name : kUnjournalledNames)
        if (fs::exists(fs::symlink_status(staging / name)))
            return true;
    return false;
}

} // namespace

void writeRestoreJournal(const Layout& layout, const fs::path& staging, const std::vector<RestoreMove>& moves)
{
    for (const RestoreMove& move : moves) {
        if (holdsRoot(layout, move.live))
            throw SetupFailure("The restore would replace " + move.live.string() +
                               ", which holds the launcher's folder, so it changed nothing; check the links among "
                               "your saves, then try again.");
        // A locked entry, or one in a locked folder, cannot be moved aside: the
        // owner's lock is lifted from what the restore replaces, and any other
        // stops it here, before the journal commits it to a move that would fail.
        platform::unlockEntry(AT_FDCWD, move.live.c_str());
        if (const auto locked = presentQuietly(move.live) ? lockInTheWay(move.live) : std::nullopt)
            throw SetupFailure("The restore would replace " + move.live.string() + ", but " + locked->string() +
                               " is locked, so it changed nothing. " + kUnlockWayOut + ", then try again.");
    }
    std::string text;
    field(text, kJournalHeading);
    for (const RestoreMove& move : moves) {
        field(text, move.live.native());
        field(text, move.copy.native());
        field(text, move.parked.native());
        field(text, identityOf(move.copy));
        field(text, identityOf(move.live));
    }
    writeFileAtomically(staging / kJournal, text);
}

void completeRestore(const Layout& layout, const fs::path& staging, const Host& host)
{
    const std::vector<JournalEntry> entries = readJournal(staging / kJournal);
    // Checked for every move before the first is made.
    for (const JournalEntry& entry : entries)
        if (identityOf(entry.move.live) != entry.copy && holdsRoot(layout, entry.move.live))
            unexpectedEntry(entry.move.live, staging);
    for (const JournalEntry& entry : entries)
        finish(entry, staging, host);
    removeRestoreStaging(layout, staging.filename().string());
}

bool hasJournalledRestore(const Layout& layout)
{
    bool found = false;
    for (const fs::path& staging : stagingFoldersIn(restoreStagingParent(layout), std::array{kRestoreStagingPrefix})) {
        if (fs::exists(fs::symlink_status(staging / kJournal))) {
            readJournal(staging / kJournal);
            found = true;
        }
    }
    return found;
}

bool interruptedRestoreReachesOut(const Layout& layout)
{
    for (const fs::path& staging : stagingFoldersIn(restoreStagingParent(layout), std::array{kRestoreStagingPrefix})) {
        if (!fs::exists(fs::symlink_status(staging / kJournal)))
            continue;
        try {
            for (const JournalEntry& entry : readJournal(staging / kJournal))
                for (const fs::path& path : {entry.move.live, entry.move.copy, entry.move.parked})
                    if (!liesWithin(path, layout.root()))
                        return true;
        } catch (const std::exception&) {
            // What a damaged journal names is unknown, so it may lead anywhere.
            return true;
        }
    }
    return false;
}

void removeRestoreStaging(const Layout& layout, const std::string& name) noexcept
{
    // The main folder last, so that a removal cut short is found again.
    std::vector<fs::path> folders;
    auto addIfThere = [&folders](const fs::path& folder) {
        std::error_code error;
        if (fs::is_directory(fs::symlink_status(folder, error)))
            folders.push_back(folder);
    };
    addIfThere(layout.users() / name);
    std::error_code error;
    for (fs::directory_iterator it(layout.users(), error), end; !error && it != end; it.increment(error))
        addIfThere(it->path() / name);
    for (const fs::path& folder : folders)
        removeTreeQuietly(folder);
    removeTreeQuietly(restoreStagingParent(layout) / name);
}

void recoverInterruptedRestore(const Layout& layout, const Host& host)
{
    for (const fs::path& staging : stagingFoldersIn(restoreStagingParent(layout), std::array{kRestoreStagingPrefix})) {
        if (fs::exists(fs::symlink_status(staging / kJournal)))
            completeRestore(layout, staging, host);
        else if (!unjournalled(staging))
            removeRestoreStaging(layout, staging.filename().string());
        else if (!fs::exists(fs::symlink_status(layout.users())) && existsQuietly(staging / "users"))
            fs::rename(staging / "users", layout.users());
    }
}

} // namespace launcher
