#pragma once
// The player's archives as the import takes them: names that stay inside the
// destination, and unpacked trees without links or special files.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace launcher {

class Installation;

// Whether an archive entry's name stays inside the destination: relative, free
// of ".." parts and NUL, and without a drive letter in its first part.
bool safeArchiveEntry(std::string_view name);

// The names in the player's archive as the archive tool lists them, refused
// when it lists none or a name that could reach outside the destination.
std::vector<std::string> safeArchiveNames(const Installation& installation, const std::filesystem::path& archive);

// Unpacks the player's archive into `destination` once its names are safe,
// owned by the user, refusing a link or special file in what it unpacked and
// leaving each entry writable by its owner alone.
void unpackUserArchive(const Installation& installation, const std::filesystem::path& archive,
                       const std::filesystem::path& destination);

// Refuses a tree holding a link or anything but folders and regular files.
void rejectSymlinks(const std::filesystem::path& folder);

} // namespace launcher
