#include "core/ProcessPreparation.h"

#include <csignal>

#include <fcntl.h>
#include <unistd.h>

namespace launcher {

void prepareProcess()
{
    // A parent that ignores SIGCHLD would have the kernel reap every program the
    // launcher starts, and their exit statuses would be lost.
    std::signal(SIGCHLD, SIG_DFL);

    // Started with a standard stream closed (">&-"), the next file the launcher
    // opens would take its number: status lines would land in "launcher.lock".
    // The null device fills each gap, lowest number first, as open() hands them out.
    for (int stream = STDIN_FILENO; stream <= STDERR_FILENO; ++stream) {
        if (::fcntl(stream, F_GETFD) != -1)
            continue;
        const int fd = ::open("/dev/null", O_RDWR);
        if (fd >= 0 && fd != stream)
            ::close(fd);
    }

    // A closed or broken standard output (a pipe into "head -1") must not kill
    // setup halfway: writes then fail, the lines are dropped, and the exit
    // status tells the result. Children start with the default again.
    std::signal(SIGPIPE, SIG_IGN);
}

} // namespace launcher
