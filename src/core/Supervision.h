#pragma once
// What a front end follows and controls of an Installation's operations besides
// their status lines: progress of long work, and a stop request.
//
//   StopRequest stop;
//   Installation installation(root, report, Host::system(), Constants::builtIn(),
//                       {.progress = [](const Progress& p) { ... }, .stop = stop});
//
// Progress is reported on the operation's thread; the stop may be requested
// from any thread (see StopRequest.h).

#include "core/Progress.h"
#include "core/StopRequest.h"

namespace launcher {

struct Supervision {
    // Empty: no progress is reported.
    ProgressReport progress;
    // By default a request of its own that nobody else can make.
    StopRequest stop;
};

} // namespace launcher
