#include "core/Platform.h"

#include <cstdlib>

#include <unistd.h>

namespace launcher::platform {

std::filesystem::path archiveTool()
{
    return "/usr/bin/bsdtar";
}

std::filesystem::path downloadTool()
{
    return "/usr/bin/curl";
}

std::filesystem::path userDataFolder()
{
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    // The XDG rules say a relative value is invalid and must be ignored.
    if (dataHome != nullptr && *dataHome == '/')
        return dataHome;
    return homeFolder() / ".local" / "share";
}

std::string_view librarySearchVariable()
{
    return "LD_LIBRARY_PATH";
}

const std::vector<std::string_view>& loaderVariablePrefixes()
{
    static const std::vector<std::string_view> prefixes{"DYLD_", "LD_"};
    return prefixes;
}

std::string_view utf8Locale()
{
    return "C.UTF-8";
}

Command x86_64Check()
{
    return {"/usr/bin/setarch", {"x86_64", "/usr/bin/true"}};
}

bool hasDisplay()
{
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0')
            return true;
    }
    return false;
}

bool isHidden(const std::filesystem::path& entry)
{
    return entry.filename().native().starts_with('.');
}

std::optional<std::uintmax_t> availableSpace(const std::filesystem::path& folder)
{
    // std::filesystem::space reports f_bavail, the space an unprivileged user may fill.
    return std::filesystem::space(folder).available;
}

std::filesystem::path programPath()
{
    return std::filesystem::read_symlink("/proc/self/exe");
}

} // namespace launcher::platform
