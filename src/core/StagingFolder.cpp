#include "core/StagingFolder.h"

#include "core/Posix.h"
#include "core/Uuid.h"

#include <string>
#include <string_view>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace launcher {

StagingFolder::StagingFolder(const std::filesystem::path& root, std::string_view prefix)
    : m_path(root / (std::string(prefix) + freshUuid()))
{
    std::filesystem::create_directories(m_path);
}

StagingFolder::~StagingFolder()
{
    removeTreeQuietly(m_path);
}

namespace {

// Folders deeper than this are not held open; they are moved up to the top of
// the tree and emptied by a later pass, so neither open descriptors nor path
// lengths grow with the depth of a tree that an archive made.
constexpr int kOpenDepth = 32;

std::size_t removeEntries(int folder, int top, int depth);

// Removes one entry of the open folder, a folder with everything in it; returns
// whether anything was removed or moved up.
std::size_t removeEntry(int parent, const std::string& name, int top, int depth)
{
    struct stat info{};
    if (::fstatat(parent, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0)
        return 0;
    if (!S_ISDIR(info.st_mode))
        return ::unlinkat(parent, name.c_str(), 0) == 0 ? 1 : 0;
    if (depth >= kOpenDepth) {
        const std::string parked = ".removing-" + freshUuid();
        return ::renameat(parent, name.c_str(), top, parked.c_str()) == 0 ? 1 : 0;
    }
    // A folder without permissions cannot be emptied; the owner gets them first.
    ::fchmodat(parent, name.c_str(), (info.st_mode & 07777) | S_IRWXU, 0);
    std::size_t removed = 0;
    const FileDescriptor child(::openat(parent, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (child)
        removed += removeEntries(child.get(), top, depth + 1);
    return removed + (::unlinkat(parent, name.c_str(), AT_REMOVEDIR) == 0 ? 1 : 0);
}

std::size_t removeEntries(int folder, int top, int depth)
{
    FileDescriptor listing(::dup(folder));
    DIR* entries = listing ? ::fdopendir(listing.get()) : nullptr;
    if (entries == nullptr)
        return 0;
    // The folder stream owns the duplicate from here on.
    listing.release();
    // The duplicate shares its reading position with `folder`, which an earlier
    // pass may have left at the end.
    ::rewinddir(entries);
    // The names are read first: removing while reading a folder may skip entries.
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(entries)) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..")
            names.emplace_back(name);
    }
    ::closedir(entries);
    std::size_t removed = 0;
    for (const auto& name : names)
        removed += removeEntry(folder, name, top, depth);
    return removed;
}

} // namespace

void removeTreeQuietly(const std::filesystem::path& path) noexcept
{
    struct stat info{};
    if (::lstat(path.c_str(), &info) != 0)
        return;
    if (!S_ISDIR(info.st_mode)) {
        ::unlink(path.c_str());
        return;
    }
    ::chmod(path.c_str(), (info.st_mode & 07777) | S_IRWXU);
    // Relative to open folders, so that no path grows past the system's limit.
    if (const FileDescriptor top(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC)); top) {
        while (removeEntries(top.get(), top.get(), 1) > 0) {
        }
    }
    ::rmdir(path.c_str());
}

void removeTree(const std::filesystem::path& path)
{
    removeTreeQuietly(path);
    // Nothing is left in the usual case; otherwise this names what remains, and why.
    std::filesystem::remove_all(path);
}

} // namespace launcher
