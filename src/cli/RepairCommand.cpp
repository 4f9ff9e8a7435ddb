#include "app/Repair.h"
#include "cli/CommandLineCommands.h"
#include "cli/StoppableWork.h"

namespace launcher::cli {

// --repair [--game PATH] [--audio PATH] [--cache PATH]: redoes what verification
// finds damaged; the game and audio files are needed only for the steps that
// take them. A signal stops it as it stops setup.
int runRepairCommand(const CommandContext& context)
{
    const CommandLineArguments& arguments = context.arguments;
    return runStoppable(context, [&] {
        repair(
            context.installation,
            {.game = arguments.path("--game"), .audio = arguments.path("--audio"), .cache = arguments.path("--cache")});
        return kSuccess;
    });
}

} // namespace launcher::cli
