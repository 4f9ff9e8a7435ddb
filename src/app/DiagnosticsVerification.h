#pragma once
// The verify report's part of a diagnostics archive.

#include "core/Installation.h"

#include <string>
#include <vector>

namespace launcher {

// One line per part of the installation, "part: ok" or "part: " and the
// sentence that verification gave; or one line saying why nothing could be
// verified (a setup or the game holding the lock, say). Blocks for as long as
// verification does.
std::vector<std::string> verificationLines(const Installation& installation);

} // namespace launcher
