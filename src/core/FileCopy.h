#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <string_view>

namespace launcher {

// Lets other threads follow copies as they go and end them early.
struct CopyTally {
    // Grows by the bytes copied, in steps of at most kCopyStep.
    std::atomic<std::uint64_t> bytes{0};
    // Once set, a copy ends at its next step, failing with ECANCELED.
    std::atomic<bool> abandon{false};
};
inline constexpr std::uint64_t kCopyStep = std::uint64_t{64} << 20;

// Creates `to` (which must not exist) as a copy of the regular file `from`, with
// its permission bits made writable by the owner alone (ownerWritableMode()), by the fastest means the file
// system offers: a clone (clonefile on APFS, FICLONE on reflink file systems
// such as Btrfs and XFS), else a copy inside the kernel (copy_file_range, then
// sendfile, or the system's fcopyfile). The data never passes through the
// launcher's memory. A symbolic link or any other kind of file at `from` is
// refused; on failure `to` is removed. Returns the name of the primitive that
// copied the data, for benchmarks. Throws std::filesystem::filesystem_error.
// With a tally, the copy counts its bytes there and honours its abandon flag.
std::string_view copyFile(const std::filesystem::path& from, const std::filesystem::path& to,
                          CopyTally* tally = nullptr);

} // namespace launcher
