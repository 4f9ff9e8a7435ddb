#include "app/CommandLineCommands.h"

#include "app/ReadableSize.h"

namespace launcher {

// --uninstall [--keep-saves]: removes what the launcher made below the root and
// says what it removed, freed and kept.
int runUninstallCommand(const CommandContext& context)
{
    const Installer& installer = context.installer;
    std::ostream& out = context.out;
    if (!std::filesystem::exists(std::filesystem::symlink_status(installer.root()))) {
        out << "Nothing to remove: " << installer.root().string() << " does not exist.\n" << std::flush;
        return 0;
    }
    const UninstallReport report = installer.uninstall(context.arguments.has("--keep-saves"));
    for (const std::string& name : report.plan.removed)
        out << "Removed " << name << '\n';
    out << "Freed " << readableSize(report.freedBytes);
    if (report.freedBytes >= 1000)
        out << " (" << report.freedBytes << " bytes)";
    out << '\n';
    if (report.savesSnapshot)
        out << "Your saves are in Backups/" << *report.savesSnapshot << '\n';
    out << "Kept the folder " << installer.root().string() << '\n';
    for (const KeptEntry& kept : report.plan.kept)
        out << "Kept " << kept.name << " (" << kept.reason << ")\n";
    out << std::flush;
    return 0;
}

} // namespace launcher
