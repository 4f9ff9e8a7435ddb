#pragma once

#include <filesystem>

namespace launcher {

// True for a regular file (links followed) that this process may execute; a file
// that cannot even be examined counts as absent.
bool isExecutableFile(const std::filesystem::path& file) noexcept;

} // namespace launcher
