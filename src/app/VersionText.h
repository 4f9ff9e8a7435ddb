#pragma once

#include <string>

namespace launcher {

// The launcher's name and version, "Veyra 2 Mac Launcher 0.1.0", as both front
// ends show it (--version, the About box).
std::string versionText();

} // namespace launcher
