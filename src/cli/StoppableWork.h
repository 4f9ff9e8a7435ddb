#pragma once

#include "cli/CommandLineCommands.h"

#include <functional>

namespace launcher::cli {

// Runs a command's work (setup, repair, a check, a report) so that SIGINT,
// SIGTERM and SIGHUP stop it: the running program's group is stopped (no
// program of the runtime is left behind), staging and temporary folders are
// removed and the lock released on the way out, no record is written, the
// command's sentence for a stop is printed, and the process then ends by the
// same signal, so that a calling shell sees 128 + its number. Returns the
// work's status when it ends by itself.
int runStoppable(const CommandContext& context, const std::function<int()>& work);

} // namespace launcher::cli
