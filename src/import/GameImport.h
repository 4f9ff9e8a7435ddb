#pragma once

#include <filesystem>

namespace launcher {

class Installation;

// Imports the game the player selected (a folder, the installer's ZIP or its
// data archive, or a file standing for one) into the root's game folder: it is
// unpacked or copied in a staging folder, located, vetted and validated there,
// and then swapped in, the game's per-user items kept.
void importGame(const Installation& installation, const std::filesystem::path& selection);

} // namespace launcher
