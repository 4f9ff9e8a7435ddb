#include "core/OwnerWritable.h"

#include "core/Posix.h"

#include <sys/stat.h>

namespace launcher {

unsigned ownerWritableMode(unsigned permissions)
{
    return (permissions & 0777 & ~(S_IWGRP | S_IWOTH)) | S_IRUSR | S_IWUSR;
}

void makeOwnerWritable(const std::filesystem::path& path)
{
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0)
        throwFileError("cannot read file attributes", path);
    if (S_ISLNK(info.st_mode))
        return;
    const mode_t mode = ownerWritableMode(info.st_mode) | (S_ISDIR(info.st_mode) ? S_IXUSR : 0);
    if ((info.st_mode & 07777) != mode && ::chmod(path.c_str(), mode) != 0)
        throwFileError("cannot set file permissions", path);
}

} // namespace launcher
