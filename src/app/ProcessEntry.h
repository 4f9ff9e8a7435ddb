#pragma once

namespace launcher {

// Puts the process into the state the launcher relies on, before anything else
// runs; called first by every program's main().
void prepareProcess();

// Ends the process by the signal, as if it had not been caught, so that the
// parent sees it (a shell: 128 + its number).
[[noreturn]] void endBySignal(int number);

} // namespace launcher
