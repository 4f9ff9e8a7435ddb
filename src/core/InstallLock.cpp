#include "core/InstallLock.h"

#include "core/SetupFailure.h"

#include <cerrno>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace launcher {

// Close-on-exec keeps the descriptor out of the programs the launcher starts: a
// Wine server outliving setup must not keep the lock held.
InstallLock::InstallLock(const std::filesystem::path& file)
    : InstallLock(FileDescriptor(::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600)), file)
{
}

// The lock belongs to the open file description, so the kernel drops it when
// this process ends for any reason.
InstallLock::InstallLock(FileDescriptor fd, const std::filesystem::path& file)
{
    if (!fd)
        throwFileError("cannot open lock file", file);
    if (::flock(fd.get(), LOCK_EX | LOCK_NB) == 0) {
        m_fd = std::move(fd);
        return;
    }
    // Only a holder is another launcher; a file system without locks is not.
    if (errno != EWOULDBLOCK)
        throwFileError("cannot lock file", file);
    throw SetupFailure("Another launcher is installing or playing Veyra 2. Close it before continuing.");
}

std::unique_ptr<InstallLock> InstallLock::takeExisting(const std::filesystem::path& file)
{
    // flock needs no write access, so a read-only descriptor serves.
    FileDescriptor fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd && errno == ENOENT)
        return nullptr;
    return std::unique_ptr<InstallLock>(new InstallLock(std::move(fd), file));
}

InstallLock::~InstallLock()
{
    if (m_fd)
        ::flock(m_fd.get(), LOCK_UN);
}

} // namespace launcher
