#include "app/GameLaunch.h"

#include "core/Installer.h"
#include "core/SetupFailure.h"
#include "core/WineRuntime.h"

#include <cerrno>
#include <system_error>

#include <fcntl.h>
#include <unistd.h>

namespace launcher {

LaunchedGame Installer::launch(bool debug) const
{
    if (!isInstalled())
        throw SetupFailure("Setup is incomplete. Complete setup before launching Veyra 2.");
    auto lock = std::make_unique<InstallLock>(m_root / "launcher.lock");

    Environment gameEnvironment = environment();
    if (debug)
        gameEnvironment["WINEDEBUG"] = "+loaddll";

    // Every launch appends to the one game log; "Logs" exists once setup has run.
    const auto gameLog = m_root / "Logs/veyra2.log";
    const int fd = ::open(gameLog.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0)
        throw std::filesystem::filesystem_error("cannot open game log", gameLog, std::error_code(errno, std::generic_category()));

    std::optional<ChildProcess> process;
    try {
        process.emplace(ChildProcess::spawn({wine(), WineRuntime::gameArguments(), gameEnvironment, game(), fd}));
    } catch (...) {
        ::close(fd);
        throw;
    }
    if (::close(fd) != 0)
        throw std::filesystem::filesystem_error("cannot close game log", gameLog, std::error_code(errno, std::generic_category()));
    return {std::move(*process), std::move(lock)};
}

} // namespace launcher
