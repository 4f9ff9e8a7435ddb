#pragma once

#include "saves/SaveSnapshot.h"

#include <string>
#include <vector>

namespace launcher {

class Installation;

// The snapshots, newest first; reads only, takes no lock, and works while the
// game runs.
std::vector<SaveSnapshot> saveSnapshots(const Installation& installation);

// Takes the lock, snapshots the live saves (a snapshot launches never rotate
// out), and swaps in a copy of the named snapshot. Throws UnknownSnapshot
// (app/UnknownSnapshot.h) when no snapshot has that name, and the player's
// message when the installation is incomplete.
RestoredSaves restoreSaves(const Installation& installation, const std::string& name);

} // namespace launcher
