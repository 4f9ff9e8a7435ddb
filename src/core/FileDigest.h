#pragma once

#include <filesystem>
#include <string>

namespace launcher {

// The SHA-256 digest of what is left to read from the open file, as 64
// lower-case hexadecimal characters, read in 1 MiB chunks. A read error is
// thrown as the file system's error for `path`.
std::string sha256Of(int fd, const std::filesystem::path& path);

// The digest of the regular file at `file`, opened without following a link;
// anything else is refused with the file system's error.
std::string sha256Of(const std::filesystem::path& file);

} // namespace launcher
