#include "app/Setup.h"
#include "cli/CommandLineCommands.h"
#include "cli/StoppableWork.h"
#include "saves/KeptSaves.h"

#include <exception>

namespace launcher::cli {

// --install --game PATH --audio PATH [--cache PATH]: the whole setup, which a
// signal stops cleanly, then one line on standard error when an earlier
// installation's saves are kept, since the new one starts without them.
int runInstallCommand(const CommandContext& context)
{
    const CommandLineArguments& arguments = context.arguments;
    const int status = runStoppable(context, [&] {
        install(context.installation, *arguments.path("--game"), *arguments.path("--audio"), arguments.path("--cache"));
        return kSuccess;
    });
    if (status != kSuccess)
        return status;
    try {
        if (const auto kept = newestKeptSnapshot(context.installation))
            context.err << keptSavesHint(*kept) << '\n' << std::flush;
    } catch (const std::exception&) {
        // Setup has succeeded; a snapshot folder that cannot be read is --saves's to report.
    }
    return status;
}

} // namespace launcher::cli
