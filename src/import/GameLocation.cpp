#include "core/Installer.h"

#include "core/LowerCase.h"
#include "core/Posix.h"
#include "core/SetupFailure.h"
#include "import/TreeWalk.h"

#include <array>
#include <string>
#include <system_error>
#include <vector>

namespace launcher {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kExecutable = "veyra2.exe";

// Without any of these the game cannot start; the first missing one is named.
constexpr std::array<std::string_view, 5> kRequiredFiles{
    "veyra2.exe", "xlive.dll", "maps/shared.map", "maps/mainmenu.map", "maps/single_player_shared.map",
};

} // namespace

std::optional<fs::path> Installer::locateGame(const fs::path& folder) const
{
    if (existsQuietly(folder / kExecutable))
        return folder;

    // The whole tree is walked: a second copy must be found to be reported.
    std::vector<fs::path> matches;
    walkTree(folder, {.skipHidden = true}, [&](const fs::directory_entry& entry) {
        if (lowerCase(entry.path().filename().string()) == kExecutable)
            matches.push_back(entry.path().parent_path());
        return true;
    });
    if (matches.size() > 1)
        throw SetupFailure("More than one Veyra 2 installation was found. Choose the specific game folder.");
    if (matches.empty())
        return std::nullopt;
    return matches.front();
}

void Installer::validateGame(const fs::path& game) const
{
    // A folder or a named pipe under a required name passes no game's start.
    std::error_code error;
    for (const std::string_view required : kRequiredFiles)
        if (!fs::is_regular_file(game / required, error))
            throw SetupFailure("Missing " + std::string(required) +
                               ". Choose a complete Veyra 2 Project Kestrane game folder or the vy2pc_data.bin "
                               "archive from installer 2.1.");
}

} // namespace launcher
