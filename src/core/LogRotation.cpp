#include "core/LogRotation.h"

#include "core/Posix.h"

#include <cerrno>

#include <sys/stat.h>

namespace launcher {

void rotateLog(const std::filesystem::path& log)
{
    struct stat info {};
    if (::lstat(log.c_str(), &info) != 0) {
        if (errno == ENOENT)
            return;
        throwFileError("cannot read file attributes", log);
    }
    // Anything but a regular file is refused by the append that follows.
    if (!S_ISREG(info.st_mode) || static_cast<std::uintmax_t>(info.st_size) <= kLogRotationSize)
        return;
    std::filesystem::path older = log;
    older += ".1";
    if (::rename(log.c_str(), older.c_str()) != 0)
        throwFileError("cannot rotate log", log);
}

} // namespace launcher
