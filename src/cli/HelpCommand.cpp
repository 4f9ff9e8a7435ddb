#include "cli/CommandLineCommands.h"

namespace launcher::cli {

// --help: the usage text, on standard output since it was asked for.
int runHelpCommand(const CommandContext& context)
{
    context.out << usageText();
    return kSuccess;
}

} // namespace launcher::cli
