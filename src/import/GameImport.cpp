#include "core/Installer.h"

#include "core/AtomicFile.h"
#include "core/ByteMeter.h"
#include "core/LowerCase.h"
#include "core/PathWithin.h"
#include "core/PerUserItems.h"
#include "core/Posix.h"
#include "core/SetupFailure.h"
#include "core/StagingFolder.h"
#include "import/FolderCopy.h"
#include "import/GameFileList.h"
#include "import/TreeWalk.h"

#include <array>
#include <string>
#include <system_error>
#include <vector>

namespace launcher {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kDataArchive = "vy2pc_data.bin";

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

void Installer::importGame(const fs::path& selected) const
{
    const StagingFolder staging(root(), Layout::kGameStaging);
    report("Importing your Veyra 2 files");

    // A chosen folder may arrive with a trailing separator, which leaves no file name.
    fs::path selection = selected.has_filename() ? selected : selected.parent_path();
    std::error_code error;
    fs::file_status status = fs::status(selection, error);
    if (!fs::exists(status))
        throw SetupFailure("The selected game files are no longer available.");
    bool isFolder = fs::is_directory(status);

    if (lowerCase(selection.filename().string()) == "veyra2.exe")
        selection = selection.parent_path();
    else if (lowerCase(selection.extension().string()) == ".exe")
        selection = selection.parent_path() / kDataArchive;
    // A program without the data archive beside it keeps the earlier answer, so
    // the archive tool reports the missing file.
    status = fs::status(selection, error);
    if (fs::exists(status))
        isFolder = fs::is_directory(status);
    if (isFolder && existsQuietly(selection / kDataArchive)) {
        selection /= kDataArchive;
        isFolder = false;
    }

    const fs::path imported = staging.path() / "Imported";
    if (isFolder) {
        const std::optional<fs::path> found = locateGame(selection);
        if (!found)
            throw SetupFailure("No Veyra 2 game was found in that folder.");
        // Copying the game would copy the launcher's own folder into itself, and
        // ever deeper, until the paths grow too long.
        if (liesWithin(root(), *found))
            throw SetupFailure("The launcher's folder is inside the selected game folder. Choose the game folder "
                               "itself, or keep the launcher's folder elsewhere.");
        rejectSymlinks(*found);
        ByteMeter meter;
        copyFolder(*found, imported, [&](std::uint64_t copied, std::uint64_t total) {
            throwIfStopped();
            progress(meter.measure(copied, total));
        });
    } else {
        unpackUserArchive(selection, imported);
    }

    fs::path searchRoot = imported;
    if (const std::optional<fs::path> nested = findDataArchive(imported)) {
        searchRoot = staging.path() / "Expanded";
        unpackUserArchive(*nested, searchRoot);
    }
    const std::optional<fs::path> located = locateGame(searchRoot);
    if (!located)
        throw SetupFailure("The archive does not contain Veyra 2. Select vy2pc_data.bin from installer 2.1.");
    validateGame(*located);

    // The staging folder lies under the same root, so every move is a rename.
    prune(*located);
    makeDirectory(layout().install());
    // A list that describes the earlier game folder must not outlive it.
    fs::remove(layout().gameFileList());
    replaceGame(*located, game(), staging.path());
    writeFileAtomically(game() / "veyra2config1.ini", kConfiguration);
    writeGameFileList(game(), layout().gameFileList());
}

} // namespace launcher
