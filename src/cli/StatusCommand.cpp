#include "cli/CommandLineCommands.h"

namespace launcher::cli {

// --status: whether a complete installation is present; never writes.
int runStatusCommand(const CommandContext& context)
{
    context.out << (context.installation.isInstalled() ? "installed" : "not installed") << '\n';
    return kSuccess;
}

} // namespace launcher::cli
