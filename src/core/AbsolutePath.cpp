#include "core/AbsolutePath.h"

#include <system_error>

namespace launcher {

std::filesystem::path absoluteNormal(const std::filesystem::path& path)
{
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    std::filesystem::path result = (error ? path : absolute).lexically_normal();
    if (!result.has_filename() && result.has_relative_path())
        result = result.parent_path();
    return result;
}

} // namespace launcher
