#include "app/DiagnosticsVerification.h"

#include "app/Verify.h"
#include "core/StopRequest.h"

#include <exception>
#include <sstream>

namespace launcher {

std::vector<std::string> verificationLines(const Installation& installation)
{
    std::vector<std::string> lines;
    try {
        std::istringstream text(verify(installation).text());
        for (std::string line; std::getline(text, line);)
            lines.push_back(line);
    } catch (const SetupStopped&) {
        // A stop ends the report, it is not one of its findings.
        throw;
    } catch (const std::exception& failure) {
        lines = {std::string("could not verify: ") + failure.what()};
    }
    return lines;
}

} // namespace launcher
