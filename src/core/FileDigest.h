#pragma once

#include <filesystem>
#include <string>

namespace launcher {

// The SHA-256 digest of what is left to read from the open file, as 64
// lower-case hexadecimal characters, read in 1 MiB chunks. A read error is
// thrown as the file system's error for `path`.
std::string sha256Of(int fd, const std::filesystem::path& path);

} // namespace launcher
