#include "cli/CommandLineCommands.h"

#include "app/ReadableSize.h"
#include "app/Uninstall.h"
#include "cli/TerminalText.h"

namespace launcher::cli {

// --uninstall [--keep-saves]: removes what the launcher made below the root and
// says what it removed, freed and kept.
int runUninstallCommand(const CommandContext& context)
{
    const Installation& installation = context.installation;
    std::ostream& out = context.out;
    if (!std::filesystem::exists(std::filesystem::symlink_status(installation.root()))) {
        out << "Nothing to remove: " << terminalText(installation.root().string()) << " does not exist.\n"
            << std::flush;
        return kSuccess;
    }
    const UninstallReport report = uninstall(installation, context.arguments.has("--keep-saves"));
    for (const std::string& name : report.plan.removed)
        out << "Removed " << terminalText(name) << '\n';
    out << "Freed " << readableSize(report.freedBytes);
    if (report.freedBytes >= 1000)
        out << " (" << report.freedBytes << " bytes)";
    out << '\n';
    if (report.savesSnapshot)
        out << "Your saves are in Backups/" << terminalText(*report.savesSnapshot) << '\n';
    for (const std::string& leftOut : report.savesLeftOut)
        context.err << terminalText(leftOut) << '\n';
    out << "Kept the folder " << terminalText(installation.root().string()) << '\n';
    for (const KeptEntry& kept : report.plan.kept)
        out << "Kept " << terminalText(kept.name) << " (" << kept.reason << ")\n";
    out << std::flush;
    context.err << std::flush;
    return kSuccess;
}

} // namespace launcher::cli
