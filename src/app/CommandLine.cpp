#include "app/CommandLine.h"

#include "app/CommandLineCommands.h"
#include "app/ProgressLine.h"
#include "core/SetupFailure.h"

#include <algorithm>
#include <exception>
#include <string_view>

namespace launcher {
namespace {

constexpr const char* kUsage = "Usage: --cli --install --game PATH --audio PATH [--home PATH] [--cache PATH], or --cli "
                               "--launch/--status [--home PATH]";

struct CliCommand {
    // Whether the arguments choose this command.
    bool (*chosen)(const CommandLineArguments& arguments);
    int (*run)(const CommandContext& context);
};

// An option without a value is a mistake, never a choice: an empty "--home" would
// make the current folder the root.
constexpr std::string_view kOptions[] = {"--game", "--audio", "--cache", "--home"};

// In order of precedence: the first command the arguments choose runs.
constexpr CliCommand kCommands[] = {
    // Without values for both files it is no install, and the next commands are looked at.
    {[](const CommandLineArguments& arguments) {
         return arguments.has("--install") && arguments.value("--game") && arguments.value("--audio");
     },
     runInstallCommand},
    {[](const CommandLineArguments& arguments) { return arguments.has("--launch"); }, runLaunchCommand},
    {[](const CommandLineArguments& arguments) { return arguments.has("--status"); }, runStatusCommand},
};

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
        for (const CliCommand& command : kCommands)
            if (command.chosen(arguments))
                return command.run({arguments, installer, process, progressLine, out, err});
        throw SetupFailure(kUsage);
    } catch (const std::exception& failure) {
        progressLine.clear();
        err << failure.what() << '\n' << std::flush;
        return 1;
    }
}

} // namespace launcher
