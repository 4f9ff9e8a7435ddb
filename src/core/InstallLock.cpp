#include "core/InstallLock.h"

#include "core/SetupFailure.h"

#include <cerrno>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace launcher {

InstallLock::InstallLock(const std::filesystem::path& file)
{
    // The lock belongs to the open file description, so the kernel drops it when
    // this process ends for any reason. Close-on-exec keeps it out of the programs
    // the launcher starts: a Wine server outliving setup must not keep it held.
    FileDescriptor fd(::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
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

InstallLock::~InstallLock()
{
    if (m_fd)
        ::flock(m_fd.get(), LOCK_UN);
}

} // namespace launcher
