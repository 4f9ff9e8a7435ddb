#pragma once

#include <array>
#include <string_view>

namespace launcher {

// Without any of these, relative to the game folder, the game cannot start;
// validation names the first one missing, in this order.
inline constexpr std::array<std::string_view, 5> kRequiredGameFiles{
    "veyra2.exe", "xlive.dll", "maps/shared.map", "maps/mainmenu.map", "maps/single_player_shared.map",
};

} // namespace launcher
