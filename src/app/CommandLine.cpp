#include "app/CommandLine.h"

#include "app/CommandLineCommands.h"
#include "app/FailureMessage.h"
#include "app/ProgressLine.h"
#include "core/SetupFailure.h"

#include <algorithm>
#include <exception>
#include <string_view>

namespace launcher {
namespace {

constexpr const char* kUsage = "Usage: --cli --install --game PATH --audio PATH [--home PATH] [--cache PATH], or --cli "
                               "--launch/--status/--verify [--home PATH], or --cli --repair [--game PATH] "
                               "[--audio PATH] [--cache PATH] [--home PATH], or --cli --saves/--uninstall "
                               "[--keep-saves] [--home PATH], or --cli --restore-saves NAME [--home PATH], or --cli "
                               "--diagnostics FILE [--home PATH]";

struct CliCommand {
    std::string_view word;
    // Whether the arguments hold what the command cannot run without.
    bool (*complete)(const CommandLineArguments& arguments);
    int (*run)(const CommandContext& context);
};

bool needsNothing(const CommandLineArguments&)
{
    return true;
}

// An option without a value is a mistake, never a choice: an empty "--home" would
// make the current folder the root.
constexpr std::string_view kOptions[] = {"--game", "--audio", "--cache", "--home", "--restore-saves", "--diagnostics"};

// Exactly one of them may be given.
constexpr CliCommand kCommands[] = {
    {"--install",
     [](const CommandLineArguments& arguments) { return arguments.value("--game") && arguments.value("--audio"); },
     runInstallCommand},
    {"--launch", needsNothing, runLaunchCommand},
    {"--status", needsNothing, runStatusCommand},
    {"--verify", needsNothing, runVerifyCommand},
    {"--repair", needsNothing, runRepairCommand},
    {"--saves", needsNothing, runSavesCommand},
    {"--restore-saves", needsNothing, runRestoreSavesCommand},
    {"--uninstall", needsNothing, runUninstallCommand},
    {"--diagnostics", needsNothing, runDiagnosticsCommand},
};

// The one command the arguments give, complete; nothing otherwise.
const CliCommand* chosenCommand(const CommandLineArguments& arguments)
{
    const CliCommand* chosen = nullptr;
    for (const CliCommand& command : kCommands) {
        if (!arguments.has(command.word))
            continue;
        if (chosen)
            return nullptr;
        chosen = &command;
    }
    return chosen && chosen->complete(arguments) ? chosen : nullptr;
}

} // namespace

int runCLI(const std::vector<std::string>& words, std::ostream& out, std::ostream& err, const CliProcess& process)
{
    // Off a terminal there is no progress output at all, and standard output
    // carries the status lines and nothing else.
    ProgressLine progressLine(process.progressLine ? &err : nullptr);
    try {
        const CommandLineArguments arguments(words);
        if (std::ranges::any_of(kOptions, [&](std::string_view option) { return arguments.lacksValue(option); }))
            throw SetupFailure(kUsage);
        Supervision supervision;
        if (process.progressLine)
            supervision.progress = [&progressLine](const Progress& progress) { progressLine.show(progress); };
        // A status line that cannot be written (a closed or broken output) is dropped.
        const Installer installer(
            arguments.path("--home"),
            [&out, &progressLine](const std::string& line) {
                progressLine.clear();
                out << line << '\n' << std::flush;
            },
            Host::system(), Constants::builtIn(), std::move(supervision));
        const CliCommand* command = chosenCommand(arguments);
        if (!command)
            throw SetupFailure(kUsage);
        return command->run({arguments, installer, process, progressLine, out, err});
    } catch (const std::exception& failure) {
        progressLine.clear();
        err << commandLineText(failureMessage(failure, FrontEnd::commandLine)) << std::flush;
        return 1;
    }
}

} // namespace launcher
