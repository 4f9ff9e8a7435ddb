#include "core/Platform.h"

#include <cstdlib>
#include <system_error>

#include <sys/statvfs.h>

namespace launcher::platform {

std::filesystem::path userDataFolder()
{
    const char* home = std::getenv("HOME");
    const std::filesystem::path homeFolder = home != nullptr && *home != '\0' ? home : "/";
#if defined(__APPLE__)
    return homeFolder / "Library" / "Application Support";
#else
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    // The XDG rules say a relative value is invalid and must be ignored.
    if (dataHome != nullptr && *dataHome == '/')
        return dataHome;
    return homeFolder / ".local" / "share";
#endif
}

std::string_view librarySearchVariable()
{
#if defined(__APPLE__)
    return "DYLD_FALLBACK_LIBRARY_PATH";
#else
    return "LD_LIBRARY_PATH";
#endif
}

const std::vector<std::string_view>& loaderVariablePrefixes()
{
#if defined(__APPLE__)
    static const std::vector<std::string_view> prefixes{"DYLD_"};
#else
    static const std::vector<std::string_view> prefixes{"DYLD_", "LD_"};
#endif
    return prefixes;
}

Command x86_64Check()
{
#if defined(__APPLE__)
    return {"/usr/bin/arch", {"-x86_64", "/usr/bin/true"}};
#else
    return {"/usr/bin/setarch", {"x86_64", "/usr/bin/true"}};
#endif
}

bool hasDisplay()
{
#if defined(__APPLE__)
    return true;
#else
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0')
            return true;
    }
    return false;
#endif
}

std::optional<std::uintmax_t> availableSpace(const std::filesystem::path& folder)
{
    // std::filesystem::space reports f_bavail, the space an unprivileged user may fill.
    return std::filesystem::space(folder).available;
}

std::uint64_t maxResidentBytes(long maxrss)
{
#if defined(__APPLE__)
    return static_cast<std::uint64_t>(maxrss);
#else
    return static_cast<std::uint64_t>(maxrss) * 1024;
#endif
}

} // namespace launcher::platform
