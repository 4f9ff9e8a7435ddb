#include "core/Installer.h"

#include "core/ExecutableFile.h"
#include "core/InstallationRecord.h"
#include "core/Posix.h"
#include "core/RegularFile.h"

#include <algorithm>

namespace launcher {
namespace {

// A record is a few hundred bytes; anything far larger is no record of ours, and
// a link to a device that never ends must not be read at all.
constexpr RegularFileRules kRecordRules{.followLinks = false, .maxSize = 64 * 1024};

bool recordIsReadable(const std::filesystem::path& record)
{
    try {
        return InstallationRecord::decode(readRegular(record, kRecordRules)).format == InstallationRecord::kFormat;
    } catch (...) {
        return false;
    }
}

} // namespace

std::vector<InstallationCheck> Installer::installationChecks() const noexcept
{
    return {
        {"installed.json", recordIsReadable(record())},
        {"game", existsQuietly(game() / "veyra2.exe")},
        {"runtime", isExecutableFile(wine())},
        {"prefix", existsQuietly(prefix() / "system.reg")},
        {"audio decoder", existsQuietly(prefix() / "drive_c/windows/syswow64/wmadmod.dll")},
    };
}

bool Installer::isInstalled() const noexcept
{
    return std::ranges::all_of(installationChecks(), &InstallationCheck::passed);
}

} // namespace launcher
