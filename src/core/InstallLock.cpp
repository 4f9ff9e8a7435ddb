#include "core/InstallLock.h"

#include "core/PlayerSentences.h"
#include "core/SetupFailure.h"

#include <cerrno>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace launcher {
namespace {

// Never through a link, which could lead the lock file out of the root, and
// never waiting, which a named pipe there would make the open do for ever.
// Close-on-exec keeps the descriptor out of the programs the launcher starts: a
// Wine server outliving setup must not keep the lock held.
constexpr int kLockOpening = O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;

// What an entry of this mode is, for the player.
const char* kindOf(mode_t mode)
{
    if (S_ISLNK(mode))
        return "a symbolic link";
    if (S_ISFIFO(mode))
        return "a named pipe";
    if (S_ISDIR(mode))
        return "a folder";
    if (S_ISSOCK(mode))
        return "a socket";
    return "a device";
}

// Anything but a regular file at the lock's place is refused with a sentence
// naming it: the launcher never removes what it may not have made.
[[noreturn]] void refuseOtherKind(const std::filesystem::path& file, mode_t mode)
{
    throw SetupFailure("The lock file " + file.string() + " is " + kindOf(mode)
                       + ", not a file the launcher made. Remove it, then try again.");
}

} // namespace

InstallLock::InstallLock(const std::filesystem::path& file)
    : InstallLock(FileDescriptor(::open(file.c_str(), O_RDWR | O_CREAT | kLockOpening, 0600)), file)
{
}

// The lock belongs to the open file description, so the kernel drops it when
// this process ends for any reason.
InstallLock::InstallLock(FileDescriptor fd, const std::filesystem::path& file)
{
    struct stat info{};
    if (!fd) {
        // A link or a socket cannot be opened at all; a folder not for writing.
        const int error = errno;
        if (::lstat(file.c_str(), &info) == 0 && !S_ISREG(info.st_mode))
            refuseOtherKind(file, info.st_mode);
        throwFileError("cannot open lock file", file, error);
    }
    if (::fstat(fd.get(), &info) != 0)
        throwFileError("cannot read file attributes", file);
    if (!S_ISREG(info.st_mode))
        refuseOtherKind(file, info.st_mode);
    if (::flock(fd.get(), LOCK_EX | LOCK_NB) == 0) {
        m_fd = std::move(fd);
        return;
    }
    // Only a holder is another launcher; a file system without locks is not.
    if (errno != EWOULDBLOCK)
        throwFileError("cannot lock file", file);
    throw SetupFailure(sentences::kLockHeldElsewhere);
}

std::unique_ptr<InstallLock> InstallLock::takeExisting(const std::filesystem::path& file)
{
    // flock needs no write access, so a read-only descriptor serves.
    FileDescriptor fd(::open(file.c_str(), O_RDONLY | kLockOpening));
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
