#pragma once

#include <filesystem>

namespace launcher {

// The path made absolute against the current folder and free of "." and ".."
// parts and of a trailing separator, without asking the file system anything
// else. When the current folder cannot be learned, the path is only made normal.
std::filesystem::path absoluteNormal(const std::filesystem::path& path);

} // namespace launcher
