#include "app/CommandLineCommands.h"

namespace launcher {

// --restore-saves NAME: puts the snapshot's saves live, keeping the live ones
// in a snapshot of their own, which undoes the restore.
int runRestoreSavesCommand(const CommandContext& context)
{
    const RestoredSaves restored = context.installer.restoreSaves(*context.arguments.value("--restore-saves"));
    context.out << "Restored " << restored.restored << '\n';
    if (!restored.previous.empty())
        context.out << "Your saves from before are in " << restored.previous << ". To undo, restore "
                    << restored.previous << ".\n";
    context.out << std::flush;
    return 0;
}

} // namespace launcher
