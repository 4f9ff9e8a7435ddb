#include "app/CaughtSignals.h"
#include "app/CommandLineCommands.h"
#include "runtime/RuntimeUpdate.h"

#include <optional>

namespace launcher {

// --launch [--debug]: starts the game and holds the install lock until it exits;
// the exit status is the game's.
//
// The game runs in a process group of its own, so a terminal's Ctrl-C reaches
// the launcher only: SIGINT and SIGTERM are passed on to the game's group, and
// the lock stays held until the game has exited. They are caught from before
// the start, so that none is lost.
int runLaunchCommand(const CommandContext& context)
{
    CaughtSignals signals({SIGINT, SIGTERM});
    const LaunchedGame launched = context.installer.launch(context.arguments.has("--debug"));
    for (const std::string& leftOut : launched.snapshotLeftOut)
        context.err << leftOut << '\n';
    if (runtimeUpdateAvailable(context.installer))
        context.err << kRuntimeUpdateNews << '\n';
    for (;;) {
        if (const std::optional<int> status = launched.process.waitFor(kProgressInterval))
            return *status;
        if (const int signal = signals.take())
            launched.process.signal(signal);
    }
}

} // namespace launcher
