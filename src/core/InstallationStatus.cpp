#include "core/Installer.h"

#include "core/ExecutableFile.h"
#include "core/InstallationRecord.h"
#include "core/Posix.h"
#include "core/RegularFile.h"

namespace launcher {
namespace {

// A record is a few hundred bytes; anything far larger is no record of ours, and
// a link to a device that never ends must not be read at all.
constexpr RegularFileRules kRecordRules{.followLinks = false, .maxSize = 64 * 1024};

} // namespace

bool Installer::isInstalled() const noexcept
{
    try {
        if (InstallationRecord::decode(readRegular(record(), kRecordRules)).format != InstallationRecord::kFormat)
            return false;

        return existsQuietly(game() / "veyra2.exe") && isExecutableFile(wine())
            && existsQuietly(prefix() / "system.reg")
            && existsQuietly(prefix() / "drive_c/windows/syswow64/wmadmod.dll");
    } catch (...) {
        return false;
    }
}

} // namespace launcher
