#include "core/Installer.h"

#include "core/ExecutableFile.h"
#include "core/InstallationRecord.h"
#include "core/Posix.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace launcher {
namespace {

bool recordIsReadable(const std::filesystem::path& record)
{
    try {
        std::ifstream file(record, std::ios::binary);
        if (!file)
            return false;
        const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
        return !file.bad() && InstallationRecord::decode(text).format == InstallationRecord::kFormat;
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
