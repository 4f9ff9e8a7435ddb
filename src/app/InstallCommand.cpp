#include "app/CommandLineCommands.h"

namespace launcher {

// --install --game PATH --audio PATH [--cache PATH]: the whole setup.
int runInstallCommand(const CommandContext& context)
{
    const CommandLineArguments& arguments = context.arguments;
    context.installer.install(*arguments.path("--game"), *arguments.path("--audio"), arguments.path("--cache"));
    return 0;
}

} // namespace launcher
