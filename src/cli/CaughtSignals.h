#pragma once
// Catches signals for as long as the object lives, each one unless the
// launcher inherited it as ignored (so that "nohup" keeps working), and puts
// the previous handling back when dropped. The handler does nothing but store:
// the signal's number, and, when a stop request is given, its flag.
//
//   CaughtSignals signals({SIGINT, SIGTERM, SIGHUP}, &stop);
//   ... work that looks at `stop` ...
//   if (const int signal = signals.take()) ...
//
// One object at a time per process; construct and drop it on one thread.

#include "core/StopRequest.h"

#include <initializer_list>
#include <vector>

#include <signal.h>

namespace launcher::cli {

class CaughtSignals final {
public:
    explicit CaughtSignals(std::initializer_list<int> signals, const StopRequest* stop = nullptr);
    ~CaughtSignals();
    CaughtSignals(const CaughtSignals&) = delete;
    CaughtSignals& operator=(const CaughtSignals&) = delete;

    // The signal caught last and not taken yet, or 0; taking it clears it.
    int take();

private:
    std::vector<std::pair<int, struct sigaction>> m_previous;
};

} // namespace launcher::cli
