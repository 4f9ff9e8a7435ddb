#pragma once
// The items the game writes beside itself for the player, at the game folder's
// top level: its configuration file, the accounts file, "imgui.ini" and "logs".
// Names are matched lower-cased, so "Logs" and "VEYRA2CONFIG1.INI" count too.
// Game import prunes all of them from an imported game and carries the
// player's own over from the game folder it replaces; save snapshots keep
// those too. The configuration file the launcher writes itself.

#include <string_view>

namespace launcher {

// Settings, accounts and logs of whoever played from that folder.
bool isPerUserItem(std::string_view name);

// The per-user items that are the player's own: all but the configuration file.
bool isPlayerSaveItem(std::string_view name);

} // namespace launcher
