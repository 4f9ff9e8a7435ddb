#include "core/Installer.h"

#include "core/ExecutableFile.h"
#include "core/InstallationRecord.h"
#include "core/Posix.h"

#include <system_error>

namespace launcher {

bool Installer::isInstalled() const noexcept
{
    try {
        if (InstallationRecord::read(record()).format != InstallationRecord::kFormat)
            return false;
        return existsQuietly(game() / "veyra2.exe") && isExecutableFile(wine())
            && existsQuietly(prefix() / "system.reg") && existsQuietly(layout().decoder());
    } catch (...) {
        return false;
    }
}

bool Installer::hasRecord() const noexcept
{
    std::error_code error;
    return std::filesystem::exists(std::filesystem::symlink_status(record(), error));
}

} // namespace launcher
