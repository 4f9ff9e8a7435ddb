#include "core/PathWithin.h"

#include "core/AbsolutePath.h"

#include <algorithm>
#include <system_error>

namespace launcher {
namespace {

namespace fs = std::filesystem;

// The path as the file system resolves it, or, where even that fails, as written.
fs::path resolved(const fs::path& path)
{
    std::error_code error;
    const fs::path canonical = fs::weakly_canonical(path, error);
    return absoluteNormal(error ? path : canonical);
}

} // namespace

bool liesWithin(const fs::path& path, const fs::path& folder)
{
    const fs::path inner = resolved(path);
    const fs::path outer = resolved(folder);
    return std::mismatch(outer.begin(), outer.end(), inner.begin(), inner.end()).first == outer.end();
}

} // namespace launcher
