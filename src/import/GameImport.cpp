#include "core/Installer.h"

#include "core/AtomicFile.h"
#include "core/LowerCase.h"
#include "core/PerUserItems.h"
#include "core/Posix.h"
#include "core/SetupFailure.h"
#include "core/StagingFolder.h"
#include "import/FolderCopy.h"
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

// Settings, accounts and logs of the player who packed the game, at the top level only.
void prune(const fs::path& game)
{
    // Listed first: removing while reading a folder may skip entries.
    std::vector<fs::path> items;
    for (const fs::directory_entry& entry : fs::directory_iterator(game))
        if (isPerUserItem(entry.path().filename().string()))
            items.push_back(entry.path());
    for (const auto& item : items)
        fs::remove_all(item);
}

} // namespace

void Installer::importGame(const fs::path& selected) const
{
    const StagingFolder staging(root(), "Game-staging-");
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
        rejectSymlinks(*found);
        copyFolder(*found, imported);
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

    // The staging folder lies under the same root, so the move is a rename.
    makeDirectory(layout().install());
    fs::remove_all(game());
    fs::rename(*located, game());
    prune(game());
    writeFileAtomically(game() / "veyra2config1.ini", kConfiguration);
}

} // namespace launcher
