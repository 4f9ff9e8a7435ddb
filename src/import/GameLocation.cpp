#include "import/GameLocation.h"

#include "core/Installation.h"
#include "core/LowerCase.h"
#include "core/PlayerSentences.h"
#include "core/Posix.h"
#include "core/SetupFailure.h"
#include "import/TreeWalk.h"

#include <algorithm>
#include <functional>
#include <string>
#include <system_error>

namespace launcher {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kExecutable = "veyra2.exe";

bool namesExecutable(const fs::path& entry)
{
    return lowerCase(entry.filename().string()) == kExecutable;
}

// The folders that hold an executable: more than one is refused, since the
// player must say which game to take.
std::optional<fs::path> theOneGame(const std::vector<fs::path>& matches)
{
    if (matches.size() > 1)
        throw SelectionRefused(Selection::game, sentences::kSeveralGames);
    if (matches.empty())
        return std::nullopt;
    return matches.front();
}

void requireGameFiles(const std::function<bool(std::string_view required)>& present)
{
    for (const std::string_view required : kRequiredGameFiles)
        if (!present(required))
            throw SelectionRefused(Selection::game, "Missing " + std::string(required) +
                               ". Choose a complete Veyra 2 Project Kestrane game folder or the vy2pc_data.bin "
                               "archive from installer 2.1.");
}

// Hidden as the walk of an unpacked tree takes it: a name beginning with a dot,
// here or in a folder above.
bool hidden(const fs::path& entry)
{
    return std::ranges::any_of(entry, [](const fs::path& part) { return part.string().starts_with('.'); });
}

} // namespace

std::optional<fs::path> locateGame(const fs::path& folder)
{
    if (existsQuietly(folder / kExecutable))
        return folder;

    // The whole tree is walked: a second copy must be found to be reported.
    std::vector<fs::path> matches;
    walkTree(folder, {.skipHidden = true}, [&](const fs::directory_entry& entry) {
        if (namesExecutable(entry.path()))
            matches.push_back(entry.path().parent_path());
        return true;
    });
    return theOneGame(matches);
}

void validateGame(const fs::path& game)
{
    // A folder or a named pipe under a required name passes no game's start.
    requireGameFiles([&](std::string_view required) {
        std::error_code error;
        return fs::is_regular_file(game / required, error);
    });
}

GameListing::GameListing(const std::vector<std::string>& names)
{
    for (const std::string& name : names) {
        fs::path entry;
        for (const fs::path& part : fs::path(name))
            if (!part.empty() && part != ".")
                entry /= part;
        for (; !entry.empty(); entry = entry.parent_path())
            m_entries.insert(entry);
    }
}

std::optional<fs::path> GameListing::locateGame() const
{
    const auto atTop = [](const fs::path& entry) { return entry.parent_path().empty() && namesExecutable(entry); };
    if (std::ranges::any_of(m_entries, atTop))
        return fs::path();
    std::vector<fs::path> matches;
    for (const fs::path& entry : m_entries)
        if (!hidden(entry) && namesExecutable(entry))
            matches.push_back(entry.parent_path());
    return theOneGame(matches);
}

void GameListing::validateGame(const fs::path& game) const
{
    requireGameFiles([&](std::string_view required) { return m_entries.contains(game / required); });
}

bool GameListing::holdsName(std::string_view name) const
{
    return std::ranges::any_of(m_entries, [&](const fs::path& entry) { return entry.filename() == name; });
}

} // namespace launcher
