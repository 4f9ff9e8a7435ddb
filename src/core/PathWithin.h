#pragma once

#include <filesystem>

namespace launcher {

// Whether `path` is `folder` or lies anywhere below it. Both are compared as the
// file system resolves them (links followed, as far as the paths exist), so that
// a link or a "." or ".." does not hide that one lies inside the other.
bool liesWithin(const std::filesystem::path& path, const std::filesystem::path& folder);

} // namespace launcher
