#include "core/Installer.h"

#include "core/ExecutableFile.h"
#include "core/InstallationRecord.h"

#include <fstream>
#include <iterator>
#include <system_error>

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

        std::error_code error;
        return std::filesystem::exists(game() / "veyra2.exe", error) && isExecutableFile(wine())
            && std::filesystem::exists(prefix() / "system.reg", error)
            && std::filesystem::exists(prefix() / "drive_c/windows/syswow64/wmadmod.dll", error);
    } catch (...) {
        return false;
    }
}

} // namespace launcher
