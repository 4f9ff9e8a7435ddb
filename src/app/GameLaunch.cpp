#include "core/Installer.h"

#include "app/LaunchSnapshot.h"
#include "core/Posix.h"
#include "core/SetupFailure.h"

#include <fcntl.h>
#include <unistd.h>

namespace launcher {

LaunchedGame Installer::launch(bool debug) const
{
    if (!isInstalled())
        throw SetupFailure("Setup is incomplete. Complete setup before launching Veyra 2.");
    auto lock = std::make_unique<InstallLock>(layout().lockFile());
    const LaunchSnapshot snapshot(layout());

    Environment gameEnvironment = environment();
    if (debug)
        gameEnvironment["WINEDEBUG"] = "+loaddll";

    // Every launch appends to the one game log; "Logs" exists once setup has run.
    const auto gameLog = layout().gameLog();
    FileDescriptor log(::open(gameLog.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644));
    if (!log)
        throwFileError("cannot open game log", gameLog);
    if (snapshot.failure())
        writeAll(log.get(), snapshot.failureNote(), gameLog);

    ChildProcess process = ChildProcess::spawn({wine(), WineRuntime::gameArguments(), gameEnvironment, game(), log.get()});
    snapshot.rotateOut();
    if (const int error = log.close(); error != 0)
        throwFileError("cannot close game log", gameLog, error);
    return {std::move(process), std::move(lock), snapshot.failure()};
}

} // namespace launcher
