#pragma once

namespace launcher::cli {

// Ends the process by the signal, as if it had not been caught, so that the
// parent sees it (a shell: 128 + its number).
[[noreturn]] void endBySignal(int number);

} // namespace launcher::cli
