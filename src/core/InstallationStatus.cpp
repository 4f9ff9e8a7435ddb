#include "core/Installer.h"

#include "core/ExecutableFile.h"
#include "core/InstallationRecord.h"
#include "core/Posix.h"

#include <fstream>
#include <iterator>

namespace launcher {

bool Installer::isInstalled() const noexcept
{
    try {
        std::ifstream file(record(), std::ios::binary);
        if (!file)
            return false;
        const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
        if (file.bad() || InstallationRecord::decode(text).format != InstallationRecord::kFormat)
            return false;

        return existsQuietly(game() / "veyra2.exe") && isExecutableFile(wine())
            && existsQuietly(prefix() / "system.reg")
            && existsQuietly(prefix() / "drive_c/windows/syswow64/wmadmod.dll");
    } catch (...) {
        return false;
    }
}

} // namespace launcher
