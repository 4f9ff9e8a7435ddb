#pragma once

// How game import takes what the player chose, shared by the import itself
// and by the check that reads the choice where it lies before setup fetches anything.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace launcher {

class Installation;

// The data archive of installer 2.1, which its setup program and a folder beside it stand for.
inline constexpr std::string_view kDataArchive = "vy2pc_data.bin";

struct GameSource {
    // A folder to search for the game, or an archive to unpack (the ZIP, or the data archive).
    std::filesystem::path path;
    bool isFolder = false;
};

// The game's executable stands for its folder, another program for the data
// archive beside it, and a folder holding the data archive for that archive.
// Throws the player's sentence when nothing is there any more.
GameSource resolveGameSource(const std::filesystem::path& selected);

// The game folder inside a chosen folder, located in place; refuses a folder
// without a game, with more than one, and one whose game folder holds the
// launcher's own root.
std::filesystem::path gameInFolder(const Installation& installation, const std::filesystem::path& folder);

} // namespace launcher
