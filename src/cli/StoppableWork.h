#pragma once

#include "cli/CommandLineCommands.h"

#include <functional>

namespace launcher::cli {

// Runs a command's long work (setup, repair) so that SIGINT, SIGTERM and SIGHUP
// stop it: the running program's group is stopped, the step's staging folder
// removed and the lock released on the way out, no record is written, and the
// process then ends by the same signal, so that a calling shell sees 128 + its
// number. Returns 0 when the work ends by itself.
int runStoppable(const CommandContext& context, const std::function<void()>& work);

} // namespace launcher::cli
