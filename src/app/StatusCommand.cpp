#include "app/CommandLineCommands.h"

namespace launcher {

// --status: whether a complete installation is present; never writes.
int runStatusCommand(const CommandContext& context)
{
    context.out << (context.installer.isInstalled() ? "installed" : "not installed") << '\n' << std::flush;
    return 0;
}

} // namespace launcher
