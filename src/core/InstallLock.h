#pragma once
// The exclusive lock on "launcher.lock" that keeps setup and play of all launcher
// processes apart. Held from construction until destruction; nobody ever waits.

#include "core/Posix.h"

#include <filesystem>
#include <memory>

namespace launcher {

class InstallLock final {
public:
    // Throws SetupFailure when another holder has the lock, and the file system's
    // error with the lock file's path when the file cannot be opened or locked.
    explicit InstallLock(const std::filesystem::path& file);
    ~InstallLock();

    // For commands that only read, which never create the lock file: the lock
    // when the file exists, nothing when it does not. Every launcher that sets
    // up or plays creates the file before it locks it, so without the file no
    // launcher holds the lock. Throws like the constructor.
    static std::unique_ptr<InstallLock> takeExisting(const std::filesystem::path& file);

    InstallLock(const InstallLock&) = delete;
    InstallLock& operator=(const InstallLock&) = delete;

private:
    // Locks the file opened at `file`, or throws the lock's failure.
    InstallLock(FileDescriptor fd, const std::filesystem::path& file);

    FileDescriptor m_fd;
};

} // namespace launcher
