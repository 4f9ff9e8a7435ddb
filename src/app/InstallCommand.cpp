#include "app/CaughtSignals.h"
#include "app/CommandLineCommands.h"

namespace launcher {

// --install --game PATH --audio PATH [--cache PATH]: the whole setup.
//
// SIGINT, SIGTERM and SIGHUP stop it: the running program's group is stopped,
// the step's staging folder removed and the lock released on the way out, no
// record is written, and the process then ends by the same signal, so that a
// calling shell sees 128 + its number.
int runInstallCommand(const CommandContext& context)
{
    const CommandLineArguments& arguments = context.arguments;
    CaughtSignals signals({SIGINT, SIGTERM, SIGHUP}, &context.installer.supervision().stop);
    try {
        context.installer.install(*arguments.path("--game"), *arguments.path("--audio"), arguments.path("--cache"));
    } catch (const SetupStopped& stopped) {
        const int signal = signals.take();
        context.progressLine.clear();
        context.err << stopped.what() << '\n' << std::flush;
        if (context.process.endBy != nullptr)
            context.process.endBy(signal);
        return 128 + signal;
    }
    return 0;
}

} // namespace launcher
