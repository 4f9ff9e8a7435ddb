#include "app/CommandLineCommands.h"
#include "app/StoppableWork.h"

namespace launcher {

// --restore-saves NAME: puts the snapshot's saves live, keeping the live ones
// in a snapshot of their own, which undoes the restore. A stop before the moves
// leaves the saves as they were; one during them waits for the last move.
int runRestoreSavesCommand(const CommandContext& context)
{
    RestoredSaves restored;
    if (const int stopped = runStoppable(
            context, [&] { restored = context.installer.restoreSaves(*context.arguments.value("--restore-saves")); }))
        return stopped;
    context.out << "Restored " << restored.restored << '\n';
    if (!restored.previous.empty())
        context.out << "Your saves from before are in " << restored.previous << ". To undo, restore "
                    << restored.previous << ".\n";
    context.out << std::flush;
    return 0;
}

} // namespace launcher
