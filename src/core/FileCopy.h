#pragma once

#include <filesystem>
#include <string_view>

namespace launcher {

// Creates `to` (which must not exist) as a copy of the regular file `from`, with
// its permission bits made writable by the owner alone (ownerWritableMode()), by the fastest means the file
// system offers: a clone (clonefile on APFS, FICLONE on reflink file systems
// such as Btrfs and XFS), else a copy inside the kernel (copy_file_range, then
// sendfile, or the system's fcopyfile). The data never passes through the
// launcher's memory. A symbolic link or any other kind of file at `from` is
// refused; on failure `to` is removed. Returns the name of the primitive that
// copied the data, for benchmarks. Throws std::filesystem::filesystem_error.
std::string_view copyFile(const std::filesystem::path& from, const std::filesystem::path& to);

} // namespace launcher
