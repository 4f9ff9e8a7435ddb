#include "core/Installer.h"

#include "app/IncompleteInstallation.h"
#include "app/LaunchSnapshot.h"
#include "core/LogRotation.h"
#include "core/Posix.h"
#include "core/RegularFile.h"
#include "runtime/RuntimeUpdate.h"

namespace launcher {

LaunchedGame Installer::launch(bool debug) const
{
    // An update that did not finish left a runtime aside: the game plays on
    // the old one, or on the new one once it had answered.
    if (hasUnsettledRuntimeUpdate(*this)) {
        const InstallLock lock(layout().lockFile());
        settleRuntimeUpdate(*this);
    }
    if (!isInstalled())
        throwRefusal(*this, "Setup is incomplete. Complete setup before launching Veyra 2.");
    auto lock = std::make_unique<InstallLock>(layout().lockFile());
    const LaunchSnapshot snapshot(*this);

    Environment gameEnvironment = environment();
    if (debug)
        gameEnvironment["WINEDEBUG"] = "+loaddll";

    // Every launch appends to the one game log. "Logs" may have been removed
    // since setup; the player deleting old logs must not stop the game.
    const auto gameLog = layout().gameLog();
    makeDirectory(layout().logs());
    rotateLog(gameLog);
    FileDescriptor log = openRegularForAppending(gameLog);
    writeAll(log.get(), snapshot.notes(), gameLog);

    ChildProcess process = ChildProcess::spawn({wine(), WineRuntime::gameArguments(), gameEnvironment, game(), log.get()});
    snapshot.rotateOut();
    if (const int error = log.close(); error != 0)
        throwFileError("cannot close game log", gameLog, error);
    return {std::move(process), std::move(lock), snapshot.failure(), snapshot.leftOut()};
}

} // namespace launcher
