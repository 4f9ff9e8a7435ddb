#include "cli/CommandLineCommands.h"
#include "cli/TerminalText.h"
#include "saves/SaveSnapshot.h"
#include "saves/SavesRestore.h"

namespace launcher::cli {

// --saves: the snapshots of the saves, newest first, one a line: name, files
// and bytes, separated by tabs.
int runSavesCommand(const CommandContext& context)
{
    for (const SaveSnapshot& snapshot : saveSnapshots(context.installation))
        context.out << terminalText(snapshot.name) << '\t' << snapshot.files << '\t' << snapshot.bytes << '\n';
    return kSuccess;
}

} // namespace launcher::cli
