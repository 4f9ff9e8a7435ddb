#include "cli/CommandLineCommands.h"

#include "app/VerificationReport.h"
#include "app/Verify.h"
#include "cli/FailureText.h"
#include "cli/StoppableWork.h"
#include "cli/TerminalText.h"

#include <system_error>

namespace launcher::cli {

// --verify: one line for each part of the installation, changing nothing. Exits
// 0 when all are sound, 1 when anything is damaged, 2 when nothing could be
// checked. A held lock fails like every command, with status 1. A signal stops
// the runtime's programs it runs, as it stops setup.
int runVerifyCommand(const CommandContext& context)
{
    const auto& root = context.installation.root();
    std::error_code error;
    if (!std::filesystem::is_directory(root, error)) {
        context.err << "There is no installation to verify in " << terminalText(root.string())
                    << ". Set it up with --install.\n"
                    << std::flush;
        return kCouldNotCheck;
    }
    return runStoppable(context, [&] {
        try {
            const VerificationReport report = verify(context.installation);
            context.out << terminalLines(report.text());
            return report.sound() ? kSuccess : kDamaged;
        } catch (const std::filesystem::filesystem_error& failure) {
            context.err << failureText(failure) << std::flush;
            return kCouldNotCheck;
        }
    });
}

} // namespace launcher::cli
