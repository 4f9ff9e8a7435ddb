#pragma once

#include <filesystem>
#include <optional>

namespace launcher {

// Setup's early test that the player's selections are there, so that a mistyped
// path fails at once instead of after the runtime was downloaded and unpacked:
// a missing game source with "The selected game files are no longer available.",
// an audio file that cannot be opened with the file system's error, a pre-fetched
// folder that is not a folder with "The folder given with --cache does not exist: PATH".
// Their contents are checked by the steps that use them.
void checkSelections(const std::filesystem::path& game, const std::filesystem::path& audio,
                     const std::optional<std::filesystem::path>& cache);

} // namespace launcher
