#include "cli/CommandLine.h"

#include "cli/CommandLineCommands.h"
#include "cli/ExitStatus.h"
#include "cli/FailureText.h"
#include "cli/OutputCheck.h"
#include "cli/ProgressLine.h"
#include "cli/TerminalText.h"

#include <exception>
#include <optional>

namespace launcher::cli {
namespace {

// The usage text, and the word that was not understood where there is one.
int refuse(const NotUnderstood& refusal, std::ostream& err)
{
    err << usageText();
    if (*refusal.what() != '\0')
        err << "Not understood: " << refusal.what() << '\n';
    err << std::flush;
    return kFailure;
}

} // namespace

int runCLI(const std::vector<std::string>& words, std::ostream& out, std::ostream& err, const CliProcess& process)
{
    // Nothing is looked at, created or locked before the whole line is understood.
    std::optional<CommandLineArguments> arguments;
    try {
        arguments = CommandLineArguments::parse(words);
    } catch (const NotUnderstood& refusal) {
        return refuse(refusal, err);
    }

    // Off a terminal there is no progress output at all, and standard output
    // carries the status lines and nothing else.
    ProgressLine progressLine(process.progressLine ? &err : nullptr);
    try {
        Supervision supervision;
        if (process.progressLine)
            supervision.progress = [&progressLine](const Progress& progress) { progressLine.show(progress); };
        // A status line that cannot be written (a closed or broken output) is dropped.
        const Installation installation(
            arguments->path("--home"),
            [&out, &progressLine](const std::string& line) {
                progressLine.clear();
                out << terminalText(line) << '\n' << std::flush;
            },
            Host::system(), Constants::builtIn(), std::move(supervision));
        const CommandRow& command = arguments->command();
        const int status = command.run({*arguments, installation, process, progressLine, out, err});
        if (command.printsResult)
            requireWritten(out);
        return status;
    } catch (const std::exception& failure) {
        progressLine.clear();
        err << failureText(failure) << std::flush;
        return kFailure;
    }
}

} // namespace launcher::cli
