#pragma once
// The steps of copyFile() that every platform shares; the platform's own file
// (FileCopyLinux.cpp, FileCopyMacOS.cpp) moves the data in between.

#include "core/Posix.h"

#include <filesystem>

#include <sys/types.h>

namespace launcher {

struct CopySource {
    FileDescriptor fd;
    // The source's permission bits, writable by the owner alone (ownerWritableMode()).
    mode_t mode = 0;
};

// Opens `from` without following a link and without blocking on a named pipe
// put in its place, and refuses anything but a regular file.
CopySource openCopySource(const std::filesystem::path& from);

// Creates the new file `to`; never follows a link there.
FileDescriptor createCopyTarget(const std::filesystem::path& to, mode_t mode);

// Gives the finished copy its mode; the umask must not narrow it.
void finishCopyTarget(int fd, const std::filesystem::path& to, mode_t mode);

} // namespace launcher
