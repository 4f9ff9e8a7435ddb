#include "core/InstallLock.h"

#include "core/SetupFailure.h"

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
    if (fd && ::flock(fd.get(), LOCK_EX | LOCK_NB) == 0) {
        m_fd = std::move(fd);
        return;
    }
    throw SetupFailure("Another launcher is installing or playing Veyra 2. Close it before continuing.");
}

InstallLock::~InstallLock()
{
    if (m_fd)
        ::flock(m_fd.get(), LOCK_UN);
}

} // namespace launcher
