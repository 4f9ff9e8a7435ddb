#include "app/CommandLine.h"

#include "app/CommandLineCommands.h"
#include "app/CommandLineMessages.h"
#include "core/SetupFailure.h"

#include <exception>
#include <string_view>

namespace launcher {
namespace {

constexpr const char* kUsage = "Usage: --cli --install --game PATH --audio PATH [--home PATH] [--cache PATH], or --cli "
                               "--launch/--status/--verify [--home PATH], or --cli --repair [--game PATH] "
                               "[--audio PATH] [--cache PATH] [--home PATH]";

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

// Exactly one of them may be given.
constexpr CliCommand kCommands[] = {
    {"--install",
     [](const CommandLineArguments& arguments) { return arguments.value("--game") && arguments.value("--audio"); },
     runInstallCommand},
    {"--launch", needsNothing, runLaunchCommand},
    {"--status", needsNothing, runStatusCommand},
    {"--verify", needsNothing, runVerifyCommand},
    {"--repair", needsNothing, runRepairCommand},
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

int runCLI(const std::vector<std::string>& words, std::ostream& out, std::ostream& err)
{
    try {
        const CommandLineArguments arguments(words);
        const Installer installer(arguments.path("--home"),
                                  [&out](const std::string& line) { out << line << '\n' << std::flush; });
        const CliCommand* command = chosenCommand(arguments);
        if (!command)
            throw SetupFailure(kUsage);
        return command->run({arguments, installer, out, err});
    } catch (const std::exception& failure) {
        err << commandLineMessage(failure) << '\n' << std::flush;
        return 1;
    }
}

} // namespace launcher
