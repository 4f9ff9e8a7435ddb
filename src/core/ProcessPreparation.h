#pragma once

namespace launcher {

// Puts the process into the state the launcher relies on, before anything else
// runs; called first by every program's main().
void prepareProcess();

} // namespace launcher
