#pragma once
// Work that can fail halfway happens in a staging folder directly under the
// root, named by a fixed prefix and a fresh UUID, and removed on every exit.
//
//   StagingFolder staging(installation.root(), Layout::kGameStaging);
//   ... work in staging.path() ...
//   // removed when `staging` goes out of scope, success or not

#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string_view>
#include <vector>

namespace launcher {

class StagingFolder final {
public:
    // Creates the folder; throws std::filesystem::filesystem_error.
    StagingFolder(const std::filesystem::path& root, std::string_view prefix);
    ~StagingFolder();

    StagingFolder(const StagingFolder&) = delete;
    StagingFolder& operator=(const StagingFolder&) = delete;

    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

// Whether a folder name is exactly the prefix followed by a UUID, the form of the
// staging folders made here: only those may be removed as leftovers.
bool isStagingName(std::string_view name, std::string_view prefix);

// The entries of `folder` named as staging folders of one of the prefixes, all
// listed before the caller removes any: removing while reading a folder may
// skip entries. An unreadable folder lists what was read.
std::vector<std::filesystem::path> stagingFoldersIn(const std::filesystem::path& folder,
                                                    std::span<const std::string_view> prefixes);

// A file (anything but a folder) that a tree removal has unlinked.
struct RemovedFile {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uintmax_t size = 0;
    // The file's hard links just before this one went, this one included.
    std::uintmax_t links = 0;
};

// What a tree removal left in place.
struct RemovalLeftovers {
    // The mount points inside, each kept with the folders above it, each named once.
    std::vector<std::filesystem::path> mountPoints;
    // The first entry that could not be removed for another reason, and the
    // system's error; an empty path when there was none.
    std::filesystem::path refused;
    int refusal = 0;
};

// Removes a file or a whole tree without following symbolic links and without
// crossing into a file system mounted inside it, also when it holds folders
// without permissions or entries that their owner locked (macOS's uchg and
// uappnd, which are lifted first); failures are ignored, so callers that must
// know look at what it returns or test for the path afterwards. `removed`,
// when given, hears of every file unlinked, on the calling thread, and may not throw.
RemovalLeftovers removeTreeQuietly(const std::filesystem::path& path,
                                   const std::function<void(const RemovedFile&)>& removed = {}) noexcept;

// Removes a file or a whole tree as removeTreeQuietly() does, giving the owner
// access to each folder on the way, so that a read-only folder that the player's
// game or an archive made does not stop a setup halfway. What still cannot be
// removed is thrown as the file system's error with the entry that refused; a
// mount point inside as EBUSY with its path, after the rest around it was removed.
void removeTree(const std::filesystem::path& path);

} // namespace launcher
