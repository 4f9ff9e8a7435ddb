#include "core/Platform.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <system_error>

#include "core/Posix.h"

#include <cerrno>

#include <mach-o/dyld.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/sysctl.h>
#include <sys/utsname.h>

namespace launcher::platform {

std::filesystem::path archiveTool()
{
    return "/usr/bin/tar";
}

std::filesystem::path downloadTool()
{
    return "/usr/bin/curl";
}

std::filesystem::path userDataFolder()
{
    return homeFolder() / "Library" / "Application Support";
}

std::string_view librarySearchVariable()
{
    return "DYLD_FALLBACK_LIBRARY_PATH";
}

const std::vector<std::string_view>& loaderVariablePrefixes()
{
    static const std::vector<std::string_view> prefixes{"DYLD_"};
    return prefixes;
}

std::string_view utf8Locale()
{
    return "UTF-8";
}

Command x86_64Check()
{
    return {"/usr/bin/arch", {"-x86_64", "/usr/bin/true"}};
}

bool hasDisplay()
{
    return true;
}

bool isHidden(const std::filesystem::path& entry)
{
    if (entry.filename().native().starts_with('.'))
        return true;
    struct stat info {};
    return ::lstat(entry.c_str(), &info) == 0 && (info.st_flags & UF_HIDDEN) != 0;
}

std::optional<std::uintmax_t> availableSpace(const std::filesystem::path& folder)
{
    // statvfs's f_bavail, the space an unprivileged user may fill.
    return std::filesystem::space(folder).available;
}

std::filesystem::path programPath()
{
    std::uint32_t size = 0;
    ::_NSGetExecutablePath(nullptr, &size);
    std::string path(size, '\0');
    if (::_NSGetExecutablePath(path.data(), &size) != 0)
        throw std::system_error(ENAMETOOLONG, std::generic_category(), "Cannot find the running program");
    path.resize(path.find('\0'));
    return std::filesystem::weakly_canonical(path);
}

bool exchangePaths(const std::filesystem::path& first, const std::filesystem::path& second)
{
    if (::renamex_np(first.c_str(), second.c_str(), RENAME_SWAP) == 0)
        return true;
    if (errno == ENOTSUP || errno == EINVAL)
        return false;
    throwFileError("cannot exchange", first);
}

namespace {

std::string sysctlText(const char* name)
{
    char value[256] = {};
    std::size_t size = sizeof value - 1;
    return ::sysctlbyname(name, value, &size, nullptr, 0) == 0 ? std::string(value) : std::string("unknown");
}

// Whether this x86_64 process runs translated on Apple silicon.
bool underRosetta()
{
    int translated = 0;
    std::size_t size = sizeof translated;
    return ::sysctlbyname("sysctl.proc_translated", &translated, &size, nullptr, 0) == 0 && translated == 1;
}

} // namespace

std::string systemDescription()
{
    struct utsname system {};
    ::uname(&system);
    return "macOS " + sysctlText("kern.osproductversion") + " (" + system.sysname + " " + system.release + ", " +
           system.machine + (underRosetta() ? " under Rosetta)" : ")");
}

} // namespace launcher::platform
