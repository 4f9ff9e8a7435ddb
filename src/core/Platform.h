#pragma once
// Everything that differs between macOS and Linux lives behind this header.

#include "core/Constants.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

namespace launcher::platform {

#if defined(__APPLE__)
inline constexpr std::string_view kArchiveTool = "/usr/bin/tar";
#else
// Debian's bsdtar is the same libarchive tool that macOS ships as tar.
inline constexpr std::string_view kArchiveTool = "/usr/bin/bsdtar";
#endif
inline constexpr std::string_view kDownloadTool = "/usr/bin/curl";

// The folder below which the default root lives: Application Support on macOS,
// $XDG_DATA_HOME (else ~/.local/share) elsewhere.
std::filesystem::path userDataFolder();

// The dynamic loader's library-search variable that points the runtime at its
// own libraries, and the name prefixes of loader variables that must not reach it.
std::string_view librarySearchVariable();
const std::vector<std::string_view>& loaderVariablePrefixes();

// The program that proves x86_64 code runs here: arch -x86_64 on macOS (fails
// without Rosetta on Apple silicon), setarch x86_64 elsewhere (fails where the
// kernel cannot run x86_64 programs).
Command x86_64Check();

// Whether there is a display to show windows on: always on macOS; on
// Linux when DISPLAY or WAYLAND_DISPLAY names one.
bool hasDisplay();

// Whether a folder walk that skips hidden entries passes over this one: a name
// beginning with a dot, and on macOS also an entry flagged hidden (like ~/Library).
bool isHidden(const std::filesystem::path& entry);

// Space available to the user on the volume holding the folder.
std::optional<std::uintmax_t> availableSpace(const std::filesystem::path& folder);

// Creates `to` (which must not exist) as a copy of the regular file `from`, with
// its permission bits, by the fastest means the file system offers: a clone
// (clonefile on APFS, FICLONE on reflink file systems such as Btrfs and XFS),
// else a copy inside the kernel (copy_file_range, then sendfile) or the system's
// copyfile. The data never passes through the launcher's memory. A symbolic link
// or any other kind of file at `from` is refused; on failure `to` is removed.
// Returns the name of the primitive that copied the data, for benchmarks.
// Throws std::filesystem::filesystem_error.
std::string_view copyFile(const std::filesystem::path& from, const std::filesystem::path& to);
// getrusage()'s ru_maxrss in bytes: Linux counts kilobytes, macOS bytes.
std::uint64_t maxResidentBytes(long maxrss);

} // namespace launcher::platform
