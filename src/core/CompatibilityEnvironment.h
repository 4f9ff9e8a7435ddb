#pragma once
// The whole environment of every program run inside the compatibility runtime:
// the launcher's own, without anything that could point the runtime at another
// Wine installation or other loader libraries, plus the variables that tie it to
// this installation's prefix and library folder. Built afresh on every call.

#include "core/ChildProcess.h"
#include "core/Layout.h"

namespace launcher {

Environment compatibilityEnvironment(const Layout& layout);

} // namespace launcher
