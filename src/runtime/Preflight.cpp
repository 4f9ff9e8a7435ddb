#include "core/Installation.h"

#include "core/PlayerSentences.h"
#include "core/SetupFailure.h"

#include <cstdint>

namespace launcher {
namespace {

// Decimal gigabytes: exactly 12,000,000,000 bytes is enough.
constexpr std::uintmax_t kRequiredSpace = 12'000'000'000;

} // namespace

void preflight(const Installation& installation)
{
    installation.makeDirectory(installation.root());

    if (installation.root().native().find('\n') != std::string::npos)
        throw SetupFailure(sentences::kNewlineInRootPath);

    // A volume that reports no figure is given the benefit of the doubt.
    const std::optional<std::uintmax_t> available = installation.host().availableSpace(installation.root());
    if (available && *available < kRequiredSpace)
        throw SetupFailure(sentences::kNotEnoughSpace);

    try {
        installation.run(installation.host().x86_64Check,
                         {.timeout = timeouts::kX86_64Check, .activity = "Checking this Mac"});
    } catch (const SetupStopped&) {
        throw;
    } catch (const std::filesystem::filesystem_error&) {
        // The setup log cannot be written (a named pipe put in its place, say):
        // that is no fault of the Mac, and the file system's error names it.
        throw;
    } catch (...) {
        // Whatever went wrong with the check itself (missing tool, non-zero exit,
        // time-out), the remedy for the player is the same, so the runner's own
        // message is not shown.
        throw SetupFailure(sentences::kNeedsRosetta);
    }
}

} // namespace launcher
