#pragma once

#include <filesystem>

namespace launcher {

// Settings, accounts and logs of a player, which the import removes from the top
// level of the game folder and the game writes there again while it runs; matched
// on the lower-cased name of a top-level item.
bool isPerUserItem(const std::filesystem::path& item);

} // namespace launcher
