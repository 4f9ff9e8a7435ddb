#include "core/ExecutableFile.h"

#include <system_error>

#include <unistd.h>

namespace launcher {

bool isExecutableFile(const std::filesystem::path& file) noexcept
{
    std::error_code error;
    return std::filesystem::is_regular_file(file, error) && ::access(file.c_str(), X_OK) == 0;
}

} // namespace launcher
