#pragma once
// The commands of the command line, one file each. A command runs on the
// calling thread, writes status lines to `out` as they happen and returns the
// exit status; its failures are thrown and reported by runCLI().

#include "app/CommandLine.h"
#include "app/CommandLineArguments.h"
#include "app/ProgressLine.h"
#include "core/Installer.h"

#include <ostream>

namespace launcher {

struct CommandContext {
    const CommandLineArguments& arguments;
    // The engine for the chosen root, whose status lines go to `out`.
    const Installer& installer;
    const CliProcess& process;
    // Drawn on `err` during long steps; cleared before anything else goes there.
    ProgressLine& progressLine;
    std::ostream& out;
    std::ostream& err;
};

int runInstallCommand(const CommandContext& context);
int runLaunchCommand(const CommandContext& context);
int runStatusCommand(const CommandContext& context);
int runVerifyCommand(const CommandContext& context);
int runRepairCommand(const CommandContext& context);
int runSavesCommand(const CommandContext& context);
int runRestoreSavesCommand(const CommandContext& context);
int runUninstallCommand(const CommandContext& context);
int runDiagnosticsCommand(const CommandContext& context);

} // namespace launcher
