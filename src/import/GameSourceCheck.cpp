#include "core/Installation.h"

#include "core/PlayerSentences.h"
#include "core/SetupFailure.h"
#include "import/ArchiveSafety.h"
#include "import/GameLocation.h"
#include "import/GameSource.h"

namespace launcher {

void checkGameSource(const Installation& installation, const std::filesystem::path& selected)
{
    const GameSource source = resolveGameSource(selected);
    if (source.isFolder) {
        const std::filesystem::path game = gameInFolder(installation, source.path);
        rejectSymlinks(game);
        validateGame(game);
        return;
    }
    const GameListing listing(safeArchiveNames(installation, source.path));
    // The data archive inside an installer's ZIP can only be read once unpacked; the import looks into it.
    if (listing.holdsName(kDataArchive))
        return;
    const std::optional<std::filesystem::path> game = listing.locateGame();
    if (!game)
        throw SelectionRefused(Selection::game, sentences::kNoGameInArchive);
    listing.validateGame(*game);
}

} // namespace launcher
