#include "cli/CommandLineCommands.h"
#include "cli/StoppableWork.h"

namespace launcher::cli {

// --install --game PATH --audio PATH [--cache PATH]: the whole setup, which a
// signal stops cleanly.
int runInstallCommand(const CommandContext& context)
{
    const CommandLineArguments& arguments = context.arguments;
    return runStoppable(context, [&] {
        context.installer.install(*arguments.path("--game"), *arguments.path("--audio"), arguments.path("--cache"));
        return kSuccess;
    });
}

} // namespace launcher::cli
