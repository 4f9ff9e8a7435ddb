#include "core/Installer.h"

#include "core/SetupFailure.h"

#include <cstdint>

namespace launcher {
namespace {

// Decimal gigabytes: exactly 12,000,000,000 bytes is enough.
constexpr std::uintmax_t kRequiredSpace = 12'000'000'000;
constexpr double kX86_64CheckTimeout = 20;

} // namespace

void Installer::preflight() const
{
    makeDirectory(m_root);

    if (m_root.native().find('\n') != std::string::npos)
        throw SetupFailure("The installation path contains an unsupported newline.");

    // A volume that reports no figure is given the benefit of the doubt.
    const std::optional<std::uintmax_t> available = m_constants.availableSpace(m_root);
    if (available && *available < kRequiredSpace)
        throw SetupFailure("Setup needs at least 12 GB of available disk space. Free some space and retry.");

    const Command& check = m_constants.x86_64Check;
    try {
        run(check.executable, check.arguments, std::nullopt, std::nullopt, false, kX86_64CheckTimeout);
    } catch (...) {
        // Whatever went wrong (missing tool, non-zero exit, time-out), the remedy
        // for the player is the same, so the runner's own message is not shown.
        throw SetupFailure("This Mac needs Rosetta before it can run the compatibility engine. Install Rosetta "
                           "through macOS, then retry. The setup guide includes instructions.");
    }
}

} // namespace launcher
