#include "app/CommandLineCommands.h"

namespace launcher {

// --launch [--debug]: starts the game and holds the install lock until it exits;
// the exit status is the game's.
int runLaunchCommand(const CommandContext& context)
{
    const LaunchedGame launched = context.installer.launch(context.arguments.has("--debug"));
    return launched.process.wait();
}

} // namespace launcher
