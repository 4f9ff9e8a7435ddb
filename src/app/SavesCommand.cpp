#include "app/CommandLineCommands.h"

namespace launcher {

// --saves: the snapshots of the saves, newest first, one a line: name, files
// and bytes, separated by tabs.
int runSavesCommand(const CommandContext& context)
{
    for (const SaveSnapshot& snapshot : context.installer.saveSnapshots())
        context.out << snapshot.name << '\t' << snapshot.files << '\t' << snapshot.bytes << '\n';
    context.out << std::flush;
    return 0;
}

} // namespace launcher
