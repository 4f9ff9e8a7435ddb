#include "app/Diagnostics.h"
#include "cli/CommandLineCommands.h"
#include "cli/StoppableWork.h"
#include "cli/TerminalText.h"

namespace launcher::cli {

// --diagnostics FILE: the archive to attach to a bug report. A signal stops the
// runtime's programs that its report runs and removes its temporary folder.
int runDiagnosticsCommand(const CommandContext& context)
{
    const std::filesystem::path archive = *context.arguments.path("--diagnostics");
    return runStoppable(context, [&] {
        writeDiagnostics(context.installation, archive);
        context.out << "Saved the diagnostics archive " << terminalText(archive.string())
                    << ". Your home folder appears in it as ~. Attach it to your bug report.\n"
                    << std::flush;
        return kSuccess;
    });
}

} // namespace launcher::cli
