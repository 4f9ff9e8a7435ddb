#include "app/CommandLineCommands.h"

namespace launcher {

// --repair [--game PATH] [--audio PATH] [--cache PATH]: redoes what verification
// finds damaged; the game and audio files are needed only for the steps that take them.
int runRepairCommand(const CommandContext& context)
{
    const CommandLineArguments& arguments = context.arguments;
    context.installer.repair(
        {.game = arguments.path("--game"), .audio = arguments.path("--audio"), .cache = arguments.path("--cache")});
    return 0;
}

} // namespace launcher
