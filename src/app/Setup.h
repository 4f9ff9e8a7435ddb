#pragma once

#include <filesystem>
#include <optional>

namespace launcher {

class Installation;

// Sets up the game from the player's game files and audio file, taking the
// runtime archives from `cache` when they are there: under the install lock,
// refuses an existing installation and a wrong selection before anything is
// fetched, then checks the Mac, prepares the decoder, installs the runtime,
// imports the game, places its graphics libraries, configures the prefix and
// writes the record, reporting a status line for each step.
void install(const Installation& installation, const std::filesystem::path& game, const std::filesystem::path& audio,
             const std::optional<std::filesystem::path>& cache);

} // namespace launcher
