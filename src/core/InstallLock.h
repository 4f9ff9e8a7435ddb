#pragma once
// The exclusive lock on "launcher.lock" that keeps setup and play of all launcher
// processes apart. Held from construction until destruction; nobody ever waits.

#include "core/Posix.h"

#include <filesystem>

namespace launcher {

class InstallLock final {
public:
    // Throws SetupFailure when another holder has the lock, and the file system's
    // error with the lock file's path when the file cannot be opened or locked.
    explicit InstallLock(const std::filesystem::path& file);
    ~InstallLock();

    InstallLock(const InstallLock&) = delete;
    InstallLock& operator=(const InstallLock&) = delete;

private:
    FileDescriptor m_fd;
};

} // namespace launcher
