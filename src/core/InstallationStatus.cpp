#include "core/Installation.h"

#include "core/ExecutableFile.h"
#include "core/InstallationRecord.h"
#include "core/Posix.h"

#include <algorithm>
#include <system_error>

namespace launcher {
namespace {

bool recordIsReadable(const std::filesystem::path& record)
{
    try {
        return InstallationRecord::read(record).format == InstallationRecord::kFormat;
    } catch (...) {
        return false;
    }
}

} // namespace

std::vector<InstallationCheck> Installation::installationChecks() const noexcept
{
    return {
        {"installed.json", recordIsReadable(record())},
        {"game", existsQuietly(game() / "veyra2.exe")},
        {"runtime", isExecutableFile(wine())},
        {"prefix", existsQuietly(prefix() / "system.reg")},
        {"audio decoder", existsQuietly(layout().decoder())},
    };
}

bool Installation::isInstalled() const noexcept
{
    return std::ranges::all_of(installationChecks(), &InstallationCheck::passed);
}

bool Installation::hasRecord() const noexcept
{
    return presentQuietly(record());
}

} // namespace launcher
