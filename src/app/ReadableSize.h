#pragma once

#include <cstdint>
#include <string>

namespace launcher {

// A size for the player, in decimal units as the Finder counts them:
// "512 bytes", "1.5 KB", "340.2 MB", "2.1 GB".
std::string readableSize(std::uintmax_t bytes);

} // namespace launcher
