#include "core/Platform.h"

#include "core/Posix.h"

#include <cerrno>
#include <cstdlib>
#include <fstream>

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/utsname.h>
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

bool exchangePaths(const std::filesystem::path& first, const std::filesystem::path& second)
{
    if (::renameat2(AT_FDCWD, first.c_str(), AT_FDCWD, second.c_str(), RENAME_EXCHANGE) == 0)
        return true;
    // EINVAL is what a file system without the exchange answers.
    if (errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP)
        return false;
    throwFileError("cannot exchange", first);
}

bool isMountPoint(int parent, const char* name)
{
    constexpr int kLookOnly = AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT;
    struct statx entry{};
    if (::statx(parent, name, kLookOnly, STATX_TYPE, &entry) != 0)
        return false;
    // Since Linux 5.8 every mount's root is marked, a bind mount's too, which
    // lies on the same device as the folder above it.
    if ((entry.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) != 0)
        return (entry.stx_attributes & STATX_ATTR_MOUNT_ROOT) != 0;
    struct statx above{};
    if (::statx(parent, (std::string(name) + "/..").c_str(), kLookOnly, STATX_TYPE, &above) != 0)
        return false;
    return entry.stx_dev_major != above.stx_dev_major || entry.stx_dev_minor != above.stx_dev_minor;
}

bool flushToMedium(int fd)
{
    return ::fsync(fd) == 0;
}

void flushTree(const std::filesystem::path& folder)
{
    const FileDescriptor descriptor(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!descriptor)
        throwFileError("cannot open folder", folder);
    if (::syncfs(descriptor.get()) != 0)
        throwFileError("cannot flush", folder);
}

std::string systemDescription()
{
    std::string distribution = "Linux";
    std::ifstream release("/etc/os-release");
    for (std::string line; std::getline(release, line);) {
        if (line.starts_with("PRETTY_NAME=")) {
            distribution = line.substr(12);
            std::erase(distribution, '"');
        }
    }
    struct utsname system {};
    if (::uname(&system) != 0)
        return distribution;
    return distribution + " (" + system.sysname + " " + system.release + ", " + system.machine + ")";
}

} // namespace launcher::platform
