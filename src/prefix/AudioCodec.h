#pragma once

#include <filesystem>

namespace launcher {

class Installation;

// Takes the player's audio file (the decoder itself, or the media package
// holding it), checks it against the codec pin and keeps the launcher's own copy
// of the decoder; returns that copy.
std::filesystem::path prepareCodec(const Installation& installation, const std::filesystem::path& audio);

} // namespace launcher
