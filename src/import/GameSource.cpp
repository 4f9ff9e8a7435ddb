#include "import/GameSource.h"

#include "core/Installation.h"
#include "core/LowerCase.h"
#include "core/PathWithin.h"
#include "core/PlayerSentences.h"
#include "core/Posix.h"
#include "core/SetupFailure.h"
#include "import/GameLocation.h"

#include <system_error>

namespace launcher {

namespace fs = std::filesystem;

GameSource resolveGameSource(const fs::path& selected)
{
    // A chosen folder may arrive with a trailing separator, which leaves no file name.
    fs::path selection = selected.has_filename() ? selected : selected.parent_path();
    std::error_code error;
    fs::file_status status = fs::status(selection, error);
    if (!fs::exists(status))
        throw SelectionRefused(Selection::game, sentences::kGameSelectionGone);
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
    if (isFolder && existsQuietly(selection / kDataArchive))
        return {selection / kDataArchive, false};
    return {selection, isFolder};
}

fs::path gameInFolder(const Installation& installation, const fs::path& folder)
{
    const std::optional<fs::path> found = locateGame(folder);
    if (!found)
        throw SelectionRefused(Selection::game, sentences::kNoGameInFolder);
    // Copying the game would copy the launcher's own folder into itself, and
    // ever deeper, until the paths grow too long.
    if (liesWithin(installation.root(), *found))
        throw SelectionRefused(Selection::game, sentences::kRootInsideGameFolder);
    return *found;
}

} // namespace launcher
