#pragma once

#include "core/ChildProcess.h"
#include "core/InstallLock.h"

#include <memory>

namespace launcher {

// A started game and the install lock taken for it. Keep `lock` until the game
// has exited; dropping it lets setup and other launches run again.
struct LaunchedGame {
    ChildProcess process;
    std::unique_ptr<InstallLock> lock;
};

} // namespace launcher
