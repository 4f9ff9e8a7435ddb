#pragma once

#include "app/LaunchedGame.h"

namespace launcher {

class Installation;

// Starts the game, with wine's debug output in the game log when `debug` is
// set. Snapshots the saves after taking the lock and before starting the game;
// a failed snapshot is noted in the game log and in the result, and the game
// starts all the same.
LaunchedGame launch(const Installation& installation, bool debug);

} // namespace launcher
