#include "core/Platform.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <system_error>

#include "core/Posix.h"

#include <cerrno>

#include <CoreFoundation/CoreFoundation.h>
#include <fcntl.h>
#include <mach-o/dyld.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/sysctl.h>
#include <sys/utsname.h>
#include <unistd.h>

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

namespace {

// Owns one CoreFoundation object: released when it goes.
template <typename Reference>
class Owned final {
public:
    explicit Owned(Reference reference) : m_reference(reference) {}
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    ~Owned()
    {
        if (m_reference != nullptr)
            ::CFRelease(m_reference);
    }
    Reference get() const { return m_reference; }

private:
    Reference m_reference;
};

// The file system's error behind a failed resource query: errno where the error
// is one, else the system's own description.
[[noreturn]] void throwQueryError(CFErrorRef error, const std::filesystem::path& folder)
{
    const Owned<CFErrorRef> owned(error);
    if (error != nullptr && ::CFEqual(::CFErrorGetDomain(error), kCFErrorDomainPOSIX))
        throwFileError("cannot read the free space", folder, static_cast<int>(::CFErrorGetCode(error)));
    std::string description = "cannot read the free space";
    if (error != nullptr) {
        const Owned<CFStringRef> text(::CFErrorCopyDescription(error));
        char buffer[512] = {};
        if (text.get() != nullptr && ::CFStringGetCString(text.get(), buffer, sizeof buffer, kCFStringEncodingUTF8))
            description += std::string(": ") + buffer;
    }
    throw std::filesystem::filesystem_error(description, folder, std::make_error_code(std::errc::io_error));
}

} // namespace

std::optional<std::uintmax_t> availableSpace(const std::filesystem::path& folder)
{
    // The figure for important use, the one Finder shows: it counts purgeable
    // space (caches, local snapshots) that APFS frees on demand, which statvfs's
    // f_bavail leaves out.
    const std::string& path = folder.native();
    const Owned<CFURLRef> url(::CFURLCreateFromFileSystemRepresentation(
        kCFAllocatorDefault, reinterpret_cast<const UInt8*>(path.data()), static_cast<CFIndex>(path.size()), true));
    if (url.get() == nullptr)
        throwFileError("cannot read the free space", folder, ENOMEM);
    CFTypeRef value = nullptr;
    CFErrorRef error = nullptr;
    if (!::CFURLCopyResourcePropertyForKey(url.get(), kCFURLVolumeAvailableCapacityForImportantUsageKey, &value,
                                           &error))
        throwQueryError(error, folder);
    const Owned<CFTypeRef> owned(value);
    // A volume that does not report the figure leaves the value empty.
    SInt64 bytes = 0;
    if (value == nullptr || ::CFGetTypeID(value) != ::CFNumberGetTypeID() ||
        !::CFNumberGetValue(static_cast<CFNumberRef>(value), kCFNumberSInt64Type, &bytes) || bytes < 0)
        return std::nullopt;
    return static_cast<std::uintmax_t>(bytes);
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

// macOS has no bind mounts: a mount point is where the device changes.
bool isMountPoint(int parent, const char* name)
{
    struct stat entry{};
    struct stat above{};
    return ::fstatat(parent, name, &entry, AT_SYMLINK_NOFOLLOW) == 0
        && ::fstatat(parent, (std::string(name) + "/..").c_str(), &above, AT_SYMLINK_NOFOLLOW) == 0
        && entry.st_dev != above.st_dev;
}

bool flushToMedium(int fd)
{
    return ::fcntl(fd, F_FULLFSYNC) == 0 || ::fsync(fd) == 0;
}

namespace {

// Opens the file or folder without following a link; nothing for a link or any other kind of entry.
FileDescriptor openForFlush(const std::filesystem::path& entry)
{
    FileDescriptor descriptor(::open(entry.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    if (!descriptor && errno != ELOOP)
        throwFileError("cannot open", entry);
    return descriptor;
}

} // namespace

void flushTree(const std::filesystem::path& folder)
{
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        if (!entry.is_regular_file() && !entry.is_directory())
            continue;
        const FileDescriptor descriptor = openForFlush(entry.path());
        if (descriptor && ::fsync(descriptor.get()) != 0)
            throwFileError("cannot flush", entry.path());
    }
    const FileDescriptor top = openForFlush(folder);
    if (!top || !flushToMedium(top.get()))
        throwFileError("cannot flush", folder);
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
