#pragma once
// The commands of the command line, one file each, listed in the command table.
// A command runs on the calling thread, writes status lines to `out` as they
// happen and returns the exit status; its failures are thrown and reported by
// runCLI(). Names and paths from outside go through terminalText().

#include "cli/CommandLine.h"
#include "cli/CommandLineArguments.h"
#include "cli/ExitStatus.h"
#include "cli/ProgressLine.h"
#include "core/Installation.h"

#include <ostream>

namespace launcher::cli {

struct CommandContext {
    const CommandLineArguments& arguments;
    // The engine for the chosen root, whose status lines go to `out`.
    const Installation& installation;
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
int runHelpCommand(const CommandContext& context);
int runVersionCommand(const CommandContext& context);

} // namespace launcher::cli
