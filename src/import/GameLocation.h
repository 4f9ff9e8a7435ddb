#pragma once
// Where the game lies in a tree, and whether it is complete: on disk
// (locateGame, validateGame) and, by the same rules, in
// the listing of an archive that has not been unpacked (GameListing), so that
// a selection can be refused before anything is fetched or extracted.

#include <array>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace launcher {

// Without any of these, relative to the game folder, the game cannot start;
// validation names the first one missing, in this order.
inline constexpr std::array<std::string_view, 5> kRequiredGameFiles{
    "veyra2.exe", "xlive.dll", "maps/shared.map", "maps/mainmenu.map", "maps/single_player_shared.map",
};

// The names an archive tool lists, as the tree they would unpack to: every
// entry and every folder above one, relative to the destination, "./" and
// trailing separators dropped.
class GameListing final {
public:
    explicit GameListing(const std::vector<std::string>& names);

    // What locateGame() would find in the unpacked tree: the folder of the one
    // executable, relative to the destination ("" for the top), or nothing.
    // Throws as locateGame() does for more than one. Where it lists the
    // executable at the top in another case, which a file system that ignores
    // case would take as the executable itself, it is taken as the top; a
    // listing that passes may still fail once unpacked, never the reverse.
    std::optional<std::filesystem::path> locateGame() const;
    // Throws what validateGame() would for the game folder `game`; an entry
    // of a required name counts whatever its kind.
    void validateGame(const std::filesystem::path& game) const;
    // Whether any entry has exactly this name, hidden or not.
    bool holdsName(std::string_view name) const;

private:
    std::set<std::filesystem::path> m_entries;
};

// The folder below `folder` (itself included) that holds the game's executable,
// hidden folders left out; nothing when there is none, and refused when there
// is more than one.
std::optional<std::filesystem::path> locateGame(const std::filesystem::path& folder);
// Refuses a game folder without one of kRequiredGameFiles as a regular file,
// naming the first one missing.
void validateGame(const std::filesystem::path& game);

} // namespace launcher
