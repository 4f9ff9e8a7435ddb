#include "app/ProcessEntry.h"

#include <csignal>

namespace launcher {

void prepareProcess()
{
    // A parent that ignores SIGCHLD would have the kernel reap every program the
    // launcher starts, and their exit statuses would be lost.
    std::signal(SIGCHLD, SIG_DFL);
}

} // namespace launcher
