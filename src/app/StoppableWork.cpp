#include "app/StoppableWork.h"

#include "app/CaughtSignals.h"

namespace launcher {

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
    return 0;
}

} // namespace launcher
