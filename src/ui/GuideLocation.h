#pragma once

#include <filesystem>
#include <optional>

namespace launcher {

// The setup guide "Setup Guide.html" shipped with the running program: in the
// bundle's resources on macOS, in the installed data folder on Linux, or next
// to the program in a build tree. Nothing when none exists. Needs the application object.
std::optional<std::filesystem::path> bundledGuide();

} // namespace launcher
