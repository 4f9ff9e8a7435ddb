#include "core/Installer.h"

#include "app/IncompleteInstallation.h"
#include "core/Posix.h"

#include <fcntl.h>
#include <unistd.h>

namespace launcher {

LaunchedGame Installer::launch(bool debug) const
{
    if (!isInstalled())
        throwRefusal(*this, "Setup is incomplete. Complete setup before launching Veyra 2.");
    auto lock = std::make_unique<InstallLock>(layout().lockFile());

    Environment gameEnvironment = environment();
    if (debug)
        gameEnvironment["WINEDEBUG"] = "+loaddll";

    // Every launch appends to the one game log; "Logs" exists once setup has run.
    const auto gameLog = layout().gameLog();
    FileDescriptor log(::open(gameLog.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644));
    if (!log)
        throwFileError("cannot open game log", gameLog);

    ChildProcess process = ChildProcess::spawn({wine(), WineRuntime::gameArguments(), gameEnvironment, game(), log.get()});
    if (const int error = log.close(); error != 0)
        throwFileError("cannot close game log", gameLog, error);
    return {std::move(process), std::move(lock)};
}

} // namespace launcher
