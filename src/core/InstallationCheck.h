#pragma once

#include <string>

namespace launcher {

// One condition of a complete installation and whether it holds.
struct InstallationCheck {
    // What was tested, for a report: "installed.json", "game", "runtime", …
    std::string what;
    bool passed = false;
};

} // namespace launcher
