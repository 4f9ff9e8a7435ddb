#include "core/Platform.h"

#include <cerrno>
#include <cstdlib>
#include <system_error>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#if defined(__APPLE__)
#include <copyfile.h>
#include <sys/clonefile.h>
#else
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/sendfile.h>
#endif

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

bool isHidden(const std::filesystem::path& entry)
{
    if (entry.filename().native().starts_with('.'))
        return true;
#if defined(__APPLE__)
    struct stat info {};
    return ::lstat(entry.c_str(), &info) == 0 && (info.st_flags & UF_HIDDEN) != 0;
#else
    return false;
#endif
}

std::optional<std::uintmax_t> availableSpace(const std::filesystem::path& folder)
{
    // std::filesystem::space reports f_bavail, the space an unprivileged user may fill.
    return std::filesystem::space(folder).available;
}

namespace {

[[noreturn]] void failCopy(const char* what, const std::filesystem::path& file, int error)
{
    throw std::filesystem::filesystem_error(what, file, std::error_code(error, std::generic_category()));
}

// An open file that closes itself; the copy's target is also removed unless kept.
class OpenFile final {
public:
    OpenFile(int fd, std::filesystem::path removeOnFailure = {}) : m_fd(fd), m_path(std::move(removeOnFailure)) {}
    ~OpenFile()
    {
        ::close(m_fd);
        if (!m_path.empty())
            ::unlink(m_path.c_str());
    }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;

    int fd() const { return m_fd; }
    void keep() { m_path.clear(); }

private:
    int m_fd;
    std::filesystem::path m_path;
};

#if !defined(__APPLE__)
bool unsupported(int error)
{
    return error == ENOSYS || error == EXDEV || error == EINVAL || error == EOPNOTSUPP || error == ENOTTY ||
           error == EPERM;
}

// Calls `copy` (one step of an in-kernel copy, returning bytes copied) until the
// end of the file. False when the primitive is unavailable for this pair of files.
template <typename Step>
bool copyInKernel(Step copy, const std::filesystem::path& to)
{
    constexpr std::size_t kChunk = std::size_t{1} << 30;
    for (bool first = true;; first = false) {
        const ssize_t copied = copy(kChunk);
        if (copied == 0)
            return true;
        if (copied > 0)
            continue;
        if (errno == EINTR)
            continue;
        if (first && unsupported(errno))
            return false;
        failCopy("cannot copy file", to, errno);
    }
}
#endif

} // namespace

std::string_view copyFile(const std::filesystem::path& from, const std::filesystem::path& to)
{
    // O_NONBLOCK keeps a named pipe put in place of the file from blocking the open.
    const int in = ::open(from.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (in < 0)
        failCopy("cannot open file", from, errno);
    const OpenFile source(in);
    struct stat info {};
    if (::fstat(in, &info) != 0)
        failCopy("cannot read file attributes", from, errno);
    if (!S_ISREG(info.st_mode))
        failCopy("not a regular file", from, EINVAL);
    const mode_t mode = (info.st_mode & 0777) | S_IRUSR | S_IWUSR;

#if defined(__APPLE__)
    if (::fclonefileat(in, AT_FDCWD, to.c_str(), 0) == 0) {
        ::chmod(to.c_str(), mode);
        return "clonefile";
    }
    if (errno != ENOTSUP && errno != EXDEV)
        failCopy("cannot copy file", to, errno);
#endif

    const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    if (out < 0)
        failCopy("cannot create file", to, errno);
    OpenFile target(out, to);

#if defined(__APPLE__)
    if (::fcopyfile(in, out, nullptr, COPYFILE_DATA) != 0)
        failCopy("cannot copy file", to, errno);
    std::string_view primitive = "fcopyfile";
#else
    std::string_view primitive = "FICLONE";
    if (::ioctl(out, FICLONE, in) != 0) {
        if (!unsupported(errno))
            failCopy("cannot copy file", to, errno);
        primitive = "copy_file_range";
        if (!copyInKernel([&](std::size_t chunk) { return ::copy_file_range(in, nullptr, out, nullptr, chunk, 0); }, to)) {
            primitive = "sendfile";
            if (!copyInKernel([&](std::size_t chunk) { return ::sendfile(out, in, nullptr, chunk); }, to))
                failCopy("cannot copy file", to, errno);
        }
    }
#endif
    if (::fchmod(out, mode) != 0)
        failCopy("cannot set file permissions", to, errno);
    target.keep();
    return primitive;
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
