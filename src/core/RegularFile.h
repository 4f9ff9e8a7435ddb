#pragma once
// Opening the files the launcher reads and appends to. A named pipe or a device
// put in place of one of them must neither stall the launcher nor feed it without
// end: every file is opened without blocking and taken only when it is a regular
// file, within a size limit where the reader gives one.
//
//   const std::optional<RegularFile> audio = openIfRegular(path, {.maxSize = kLimit});
//   if (!audio)
//       throw SetupFailure(...);                  // something else is there
//   const std::string text = readRegular(record, {.followLinks = false, .maxSize = kRecordLimit});
//   const FileDescriptor log = openRegularForAppending(logPath);

#include "core/Posix.h"

#include <cstdint>
#include <filesystem>
#include <limits>
#include <optional>
#include <string>

namespace launcher {

struct RegularFileRules {
    // The player's files may be links to their files; the launcher's own never are.
    bool followLinks = true;
    std::uintmax_t maxSize = std::numeric_limits<std::uintmax_t>::max();
};

struct RegularFile {
    FileDescriptor fd;
    std::uintmax_t size = 0;
    // The permission bits (rwx for owner, group and other).
    unsigned permissions = 0;
};

// Opens an existing file for reading. Returns nullopt when what is there is not a
// regular file or is larger than the limit; throws the file system's error when
// nothing can be opened there at all.
std::optional<RegularFile> openIfRegular(const std::filesystem::path& file, RegularFileRules rules = {});

// The same, with anything but a regular file within the limit thrown as the file
// system's error: "not a regular file" (EINVAL) or "file too large" (EFBIG).
RegularFile openRegular(const std::filesystem::path& file, RegularFileRules rules = {});

// The whole content of the file that openRegular() opens.
std::string readRegular(const std::filesystem::path& file, RegularFileRules rules = {});

// Opens the file for appending, creating it (mode 0644 under the umask) when
// missing. A link there is refused, and so is anything but a regular file.
FileDescriptor openRegularForAppending(const std::filesystem::path& file);

} // namespace launcher
