#include "core/Installation.h"

#include "app/GameLaunch.h"
#include "core/IncompleteInstallation.h"
#include "core/LogRotation.h"
#include "core/PlayerSentences.h"
#include "core/Posix.h"
#include "core/RegularFile.h"
#include "runtime/RuntimeUpdate.h"
#include "saves/LaunchSnapshot.h"

namespace launcher {

LaunchedGame launch(const Installation& installation, bool debug)
{
    // An update that did not finish left a runtime aside: the game plays on
    // the old one, or on the new one once it had answered.
    if (hasUnsettledRuntimeUpdate(installation)) {
        const InstallLock lock(installation.layout().lockFile());
        settleRuntimeUpdate(installation);
    }
    if (!installation.isInstalled())
        throwRefusal(installation, sentences::kLaunchOverIncompleteSetup);
    auto lock = std::make_unique<InstallLock>(installation.layout().lockFile());
    const LaunchSnapshot snapshot(installation);

    Environment gameEnvironment = installation.environment();
    if (debug)
        gameEnvironment["WINEDEBUG"] = "+loaddll";

    // Every launch appends to the one game log. "Logs" may have been removed
    // since setup; the player deleting old logs must not stop the game.
    const auto gameLog = installation.layout().gameLog();
    installation.makeDirectory(installation.layout().logs());
    rotateLog(gameLog);
    FileDescriptor log = openRegularForAppending(gameLog);
    writeAll(log.get(), snapshot.notes(), gameLog);

    ChildProcess process = ChildProcess::spawn(
        {installation.wine(), WineRuntime::gameArguments(), gameEnvironment, installation.game(), log.get()});
    snapshot.rotateOut();
    if (const int error = log.close(); error != 0)
        throwFileError("cannot close game log", gameLog, error);
    return {std::move(process), std::move(lock), snapshot.failure(), snapshot.leftOut()};
}

} // namespace launcher
