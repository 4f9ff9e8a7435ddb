#pragma once
// The verify report's part of a diagnostics archive, kept apart so that it
// follows whatever verification the launcher has.

#include "core/Installer.h"

#include <string>
#include <vector>

namespace launcher {

// One line per part of the installation, "part: ok" or "part: " and the
// sentence that verification gave; none while the launcher cannot verify.
std::vector<std::string> verificationLines(const Installer& installer);

} // namespace launcher
