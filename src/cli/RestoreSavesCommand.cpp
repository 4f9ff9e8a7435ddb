#include "cli/CommandLineCommands.h"
#include "cli/StoppableWork.h"
#include "cli/TerminalText.h"
#include "saves/SaveSnapshot.h"
#include "saves/SavesRestore.h"

namespace launcher::cli {

// --restore-saves NAME: puts the snapshot's saves live, keeping the live ones
// in a snapshot of their own, which undoes the restore. A stop before the moves
// leaves the saves as they were; one during them waits for the last move.
int runRestoreSavesCommand(const CommandContext& context)
{
    return runStoppable(context, [&] {
        const RestoredSaves restored = restoreSaves(context.installation, *context.arguments.value("--restore-saves"));
        context.out << "Restored " << terminalText(restored.restored) << '\n';
        if (!restored.previous.empty()) {
            const std::string previous = terminalText(restored.previous);
            context.out << "Your saves from before are in " << previous << ". To undo, restore " << previous << ".\n";
        }
        for (const std::string& leftOut : restored.leftOut)
            context.err << terminalText(leftOut) << '\n';
        context.out << std::flush;
        context.err << std::flush;
        return kSuccess;
    });
}

} // namespace launcher::cli
