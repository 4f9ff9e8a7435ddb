#pragma once

#include "core/ChildProcess.h"
#include "core/InstallLock.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace launcher {

// A started game and the install lock taken for it. Keep `lock` until the game
// has exited; dropping it lets setup and other launches run again.
struct LaunchedGame {
    ChildProcess process;
    std::unique_ptr<InstallLock> lock;
    // Why the snapshot of the saves taken before the start failed, or which
    // folders it left out because they could not be read; the game started all
    // the same and the game log says so too.
    std::optional<std::string> snapshotFailure;
    // The links among the saves that the snapshot left out on purpose, one
    // sentence each: each front end shows them with the game starting.
    std::vector<std::string> snapshotLeftOut;
};

} // namespace launcher
