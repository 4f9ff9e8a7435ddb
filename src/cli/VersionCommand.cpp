#include "cli/CommandLineCommands.h"

#include "app/VersionText.h"

namespace launcher::cli {

// --version: the launcher's name and version on one line.
int runVersionCommand(const CommandContext& context)
{
    context.out << versionText() << '\n';
    return kSuccess;
}

} // namespace launcher::cli
