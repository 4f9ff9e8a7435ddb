#include "core/Installer.h"

#include "core/InstallationRecord.h"

#include <fstream>
#include <iterator>
#include <system_error>

#include <unistd.h>

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
        const auto wineProgram = wine();
        return std::filesystem::exists(game() / "veyra2.exe", error)
            && std::filesystem::is_regular_file(wineProgram, error) && ::access(wineProgram.c_str(), X_OK) == 0
            && std::filesystem::exists(prefix() / "system.reg", error)
            && std::filesystem::exists(prefix() / "drive_c/windows/syswow64/wmadmod.dll", error);
    } catch (...) {
        return false;
    }
}

} // namespace launcher
