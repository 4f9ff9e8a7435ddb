#pragma once
// What the save snapshots compare of a folder entry, read without following a
// link, and the modification time they carry over to their copies.

#include <cstdint>
#include <filesystem>
#include <optional>

namespace launcher {

struct EntryFacts {
    enum class Kind { folder, file, other };
    Kind kind = Kind::other;
    std::uintmax_t size = 0;
    // Last modification, in nanoseconds since 1970.
    std::int64_t modified = 0;
};

// Nothing when no entry is there; other failures are thrown as the file system's error.
std::optional<EntryFacts> entryFacts(const std::filesystem::path& entry);

// Gives the entry (never a link's target) this modification time, in nanoseconds since 1970.
void setModificationTime(const std::filesystem::path& entry, std::int64_t modified);

} // namespace launcher
