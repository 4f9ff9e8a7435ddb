#include "core/FileCopySteps.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>

namespace launcher {

CopySource openCopySource(const std::filesystem::path& from)
{
    CopySource source{FileDescriptor(::open(from.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC))};
    if (!source.fd)
        throwFileError("cannot open file", from);
    struct stat info {};
    if (::fstat(source.fd.get(), &info) != 0)
        throwFileError("cannot read file attributes", from);
    if (!S_ISREG(info.st_mode))
        throwFileError("not a regular file", from, EINVAL);
    source.mode = (info.st_mode & 0777) | S_IRUSR | S_IWUSR;
    source.size = static_cast<std::uint64_t>(info.st_size);
    return source;
}

FileDescriptor createCopyTarget(const std::filesystem::path& to, mode_t mode)
{
    FileDescriptor target(::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode));
    if (!target)
        throwFileError("cannot create file", to);
    return target;
}

void finishCopyTarget(int fd, const std::filesystem::path& to, mode_t mode)
{
    if (::fchmod(fd, mode) != 0)
        throwFileError("cannot set file permissions", to);
}

} // namespace launcher
