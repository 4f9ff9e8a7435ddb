#pragma once

#include "core/ChildProcess.h"

namespace launcher {

// The launcher's own environment at the time of the call, name to value.
Environment currentEnvironment();

} // namespace launcher
