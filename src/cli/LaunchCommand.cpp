#include "app/GameLaunch.h"
#include "app/LaunchedGame.h"
#include "app/FailureMessage.h"
#include "cli/CaughtSignals.h"
#include "cli/CommandLineCommands.h"
#include "cli/TerminalText.h"
#include "runtime/RuntimeUpdate.h"

#include <optional>

namespace launcher::cli {

// --launch [--debug]: starts the game and holds the install lock until it exits;
// the exit status is the game's.
//
// The game runs in a process group of its own, so a terminal's Ctrl-C, or its
// hang-up when the window is closed, reaches the launcher only: SIGINT,
// SIGTERM and SIGHUP are passed on to the game's group, and the lock stays
// held until the game has exited, so that no setup or uninstall runs under a
// running game. They are caught from before the start, so that none is lost.
int runLaunchCommand(const CommandContext& context)
{
    CaughtSignals signals({SIGINT, SIGTERM, SIGHUP});
    const LaunchedGame launched = launch(context.installation, context.arguments.has("--debug"));
    if (launched.snapshotFailure)
        context.err << terminalText(snapshotFailureNote(*launched.snapshotFailure, FrontEnd::commandLine)) << '\n';
    for (const std::string& leftOut : launched.snapshotLeftOut)
        context.err << terminalText(leftOut) << '\n';
    if (runtimeUpdateAvailable(context.installation))
        context.err << runtimeUpdateNews(FrontEnd::commandLine) << '\n';
    context.err << std::flush;
    for (;;) {
        if (const std::optional<int> status = launched.process.waitFor(kProgressInterval))
            return *status;
        if (const int signal = signals.take())
            launched.process.signal(signal);
    }
}

} // namespace launcher::cli
