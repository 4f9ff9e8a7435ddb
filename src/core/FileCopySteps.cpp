#include "core/FileCopySteps.h"

#include "core/OwnerWritable.h"
#include "core/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>

namespace launcher {

CopySource openCopySource(const std::filesystem::path& from)
{
    RegularFile file = openRegular(from, {.followLinks = false});
    return {std::move(file.fd), ownerWritableMode(file.permissions)};
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
