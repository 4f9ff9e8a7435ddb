#include "cli/StoppableWork.h"

#include "cli/CaughtSignals.h"

namespace launcher::cli {

int runStoppable(const CommandContext& context, const std::function<void()>& work)
{
    CaughtSignals signals({SIGINT, SIGTERM, SIGHUP}, &context.installer.supervision().stop);
    try {
        work();
    } catch (const SetupStopped& stopped) {
        const int signal = signals.take();
        context.progressLine.clear();
        context.err << stopped.what() << '\n' << std::flush;
        if (context.process.endBy != nullptr)
            context.process.endBy(signal);
        return 128 + signal;
    }
    return kSuccess;
}

} // namespace launcher::cli
