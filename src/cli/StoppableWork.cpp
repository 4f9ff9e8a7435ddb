#include "cli/StoppableWork.h"

#include "cli/CaughtSignals.h"

namespace launcher::cli {

int runStoppable(const CommandContext& context, const std::function<int()>& work)
{
    CaughtSignals signals({SIGINT, SIGTERM, SIGHUP}, &context.installation.supervision().stop);
    try {
        return work();
    } catch (const SetupStopped& stopped) {
        const int signal = signals.take();
        context.progressLine.clear();
        const std::string_view own = context.arguments.command().stopped;
        context.err << (own.empty() ? std::string_view(stopped.what()) : own) << '\n' << std::flush;
        if (context.process.endBy != nullptr)
            context.process.endBy(signal);
        return 128 + signal;
    }
}

} // namespace launcher::cli
