#include "cli/FailureText.h"

#include "app/FailureMessage.h"
#include "cli/TerminalText.h"

namespace launcher::cli {

std::string failureText(const std::exception& failure)
{
    const FailureMessage message = failureMessage(failure, FrontEnd::commandLine);
    std::string text = terminalText(message.sentence) + '\n';
    if (!message.details.empty())
        text += "Details: " + terminalText(message.details) + '\n';
    return text;
}

} // namespace launcher::cli
