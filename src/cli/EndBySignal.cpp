#include "cli/EndBySignal.h"

#include <csignal>
#include <cstdlib>

#include <signal.h>

namespace launcher::cli {

void endBySignal(int number)
{
    std::signal(number, SIG_DFL);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, number);
    pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
    std::raise(number);
    // For a signal whose default is not to end the process.
    std::_Exit(128 + number);
}

} // namespace launcher::cli
