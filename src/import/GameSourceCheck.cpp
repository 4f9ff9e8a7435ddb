#include "core/Installer.h"

#include "core/SetupFailure.h"
#include "import/GameLocation.h"
#include "import/GameSource.h"

namespace launcher {

void Installer::checkGameSource(const std::filesystem::path& selected) const
{
    const GameSource source = resolveGameSource(selected);
    if (source.isFolder) {
        const std::filesystem::path game = gameInFolder(*this, source.path);
        rejectSymlinks(game);
        validateGame(game);
        return;
    }
    const GameListing listing(safeArchiveNames(*this, source.path));
    // The data archive inside an installer's ZIP can only be read once unpacked; the import looks into it.
    if (listing.holdsName(kDataArchive))
        return;
    const std::optional<std::filesystem::path> game = listing.locateGame();
    if (!game)
        throw SelectionRefused(Selection::game, kNoGameInArchive);
    listing.validateGame(*game);
}

} // namespace launcher
