#include "core/Installation.h"

#include "core/AtomicFile.h"
#include "core/ByteMeter.h"
#include "core/PerUserItems.h"
#include "core/PlayerSentences.h"
#include "core/SetupFailure.h"
#include "core/StagingFolder.h"
#include "import/ArchiveSafety.h"
#include "import/FolderCopy.h"
#include "import/GameFileList.h"
#include "import/GameLocation.h"
#include "import/GameSource.h"
#include "import/TreeWalk.h"

#include <array>
#include <string>
#include <system_error>
#include <vector>

namespace launcher {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kConfiguration = "[VY2ConfigurationVersion:1]\n"
                                            "skip_intro = true\n"
                                            "fps_limit = 60\n";

// The first entry named exactly like the data archive, in walk order.
std::optional<fs::path> findDataArchive(const fs::path& folder)
{
    std::optional<fs::path> found;
    walkTree(folder, {}, [&](const fs::directory_entry& entry) {
        if (entry.path().filename() == kDataArchive)
            found = entry.path();
        return !found;
    });
    return found;
}

// The top-level items of the folder that the rule picks. Listed first: changing
// a folder while reading it may skip entries.
std::vector<fs::path> topLevelItems(const fs::path& folder, bool (*picked)(std::string_view name))
{
    std::vector<fs::path> items;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        if (picked(entry.path().filename().string()))
            items.push_back(entry.path());
    return items;
}

// Settings, accounts and logs of the player who packed the game, at the top level only.
void prune(const fs::path& game)
{
    for (const auto& item : topLevelItems(game, isPerUserItem))
        removeTree(item);
}

// A folder gives up or moves an entry only when it is writable itself; the game
// or the player may have left one read-only.
void letMove(const fs::path& item)
{
    if (fs::is_directory(fs::symlink_status(item)))
        fs::permissions(item, fs::perms::owner_all, fs::perm_options::add);
}

// Moves what the game wrote for the player from the previous game folder into
// the new one. When one cannot move, those already moved go back, so that none
// is left in the new folder to be removed with the staging folder.
void carryOverPlayersRecords(const fs::path& previous, const fs::path& newGame)
{
    letMove(previous);
    std::vector<fs::path> moved;
    try {
        for (const auto& item : topLevelItems(previous, isPlayerSaveItem)) {
            const fs::path target = newGame / item.filename();
            if (fs::exists(fs::symlink_status(target)))
                continue;
            letMove(item);
            fs::rename(item, target);
            moved.push_back(item.filename());
        }
    } catch (...) {
        std::error_code ignored;
        for (const auto& name : moved)
            fs::rename(newGame / name, previous / name, ignored);
        throw;
    }
}

// Puts the new game folder (pruned, inside the staging folder) in place of the
// previous one, keeping what the game wrote for the player. The rest of the
// previous folder moves into the staging folder, whose removal takes it away,
// read-only folders included.
void replaceGame(const fs::path& newGame, const fs::path& game, const fs::path& staging)
{
    std::error_code nothingThere;
    const fs::file_status previous = fs::symlink_status(game, nothingThere);
    if (fs::is_directory(previous))
        carryOverPlayersRecords(game, newGame);
    if (fs::exists(previous))
        fs::rename(game, staging / "Previous");
    fs::rename(newGame, game);
}

} // namespace

void importGame(const Installation& installation, const fs::path& selected)
{
    const StagingFolder staging(installation.root(), Layout::kGameStaging);
    installation.report("Importing your Veyra 2 files");

    const GameSource source = resolveGameSource(selected);
    const fs::path imported = staging.path() / "Imported";
    if (source.isFolder) {
        const fs::path found = gameInFolder(installation, source.path);
        rejectSymlinks(found);
        ByteMeter meter;
        copyFolder(found, imported, [&](std::uint64_t copied, std::uint64_t total) {
            installation.throwIfStopped();
            installation.progress(meter.measure(copied, total));
        });
    } else {
        unpackUserArchive(installation, source.path, imported);
    }

    fs::path searchRoot = imported;
    if (const std::optional<fs::path> nested = findDataArchive(imported)) {
        searchRoot = staging.path() / "Expanded";
        unpackUserArchive(installation, *nested, searchRoot);
    }
    const std::optional<fs::path> located = locateGame(searchRoot);
    if (!located)
        throw SelectionRefused(Selection::game, sentences::kNoGameInArchive);
    validateGame(*located);

    // The staging folder lies under the same root, so every move is a rename.
    prune(*located);
    installation.makeDirectory(installation.layout().install());
    // A list that describes the earlier game folder must not outlive it.
    fs::remove(installation.layout().gameFileList());
    replaceGame(*located, installation.game(), staging.path());
    writeFileAtomically(installation.game() / "veyra2config1.ini", kConfiguration);
    writeGameFileList(installation.game(), installation.layout().gameFileList());
}

} // namespace launcher
