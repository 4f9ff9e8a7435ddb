#include "app/CommandLine.h"

#include "app/CommandLineCommands.h"
#include "core/SetupFailure.h"

#include <algorithm>
#include <exception>
#include <string_view>

namespace launcher {
namespace {

constexpr const char* kUsage = "Usage: --cli --install --game PATH --audio PATH [--home PATH] [--cache PATH], or --cli "
                               "--launch/--status [--home PATH], or --cli --saves/--uninstall [--keep-saves] [--home "
                               "PATH], or --cli --restore-saves NAME [--home PATH], or --cli --diagnostics FILE [--home "
                               "PATH]";

struct CliCommand {
    // Whether the arguments choose this command.
    bool (*chosen)(const CommandLineArguments& arguments);
    int (*run)(const CommandContext& context);
};

// An option without a value is a mistake, never a choice: an empty "--home" would
// make the current folder the root.
constexpr std::string_view kOptions[] = {"--game", "--audio", "--cache", "--home", "--restore-saves", "--diagnostics"};

// In order of precedence: the first command the arguments choose runs.
constexpr CliCommand kCommands[] = {
    // Without values for both files it is no install, and the next commands are looked at.
    {[](const CommandLineArguments& arguments) {
         return arguments.has("--install") && arguments.value("--game") && arguments.value("--audio");
     },
     runInstallCommand},
    {[](const CommandLineArguments& arguments) { return arguments.has("--launch"); }, runLaunchCommand},
    {[](const CommandLineArguments& arguments) { return arguments.has("--status"); }, runStatusCommand},
    {[](const CommandLineArguments& arguments) { return arguments.has("--saves"); }, runSavesCommand},
    {[](const CommandLineArguments& arguments) { return arguments.value("--restore-saves").has_value(); },
     runRestoreSavesCommand},
    {[](const CommandLineArguments& arguments) { return arguments.has("--uninstall"); }, runUninstallCommand},
    {[](const CommandLineArguments& arguments) { return arguments.value("--diagnostics").has_value(); },
     runDiagnosticsCommand},
};

} // namespace

int runCLI(const std::vector<std::string>& words, std::ostream& out, std::ostream& err)
{
    try {
        const CommandLineArguments arguments(words);
        if (std::ranges::any_of(kOptions, [&](std::string_view option) { return arguments.lacksValue(option); }))
            throw SetupFailure(kUsage);
        const Installer installer(arguments.path("--home"),
                                  [&out](const std::string& line) { out << line << '\n' << std::flush; });
        for (const CliCommand& command : kCommands)
            if (command.chosen(arguments))
                return command.run({arguments, installer, out, err});
        throw SetupFailure(kUsage);
    } catch (const std::exception& failure) {
        err << failure.what() << '\n' << std::flush;
        return 1;
    }
}

} // namespace launcher
