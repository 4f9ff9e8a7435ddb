#pragma once

#include <ostream>

namespace launcher::cli {

// Flushes `out` and throws OutputNotWritten when any of it could not be written
// (a full disk, a closed pipe): for a command whose output is its result, lost
// output is a failure, not a success.
void requireWritten(std::ostream& out);

} // namespace launcher::cli
