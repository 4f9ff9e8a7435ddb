#include "core/StagingFolder.h"

#include "core/Platform.h"
#include "core/Posix.h"
#include "core/Uuid.h"

#include <algorithm>
#include <cerrno>
#include <optional>
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

bool isStagingName(std::string_view name, std::string_view prefix)
{
    return name.starts_with(prefix) && isUuid(name.substr(prefix.size()));
}

std::vector<std::filesystem::path> stagingFoldersIn(const std::filesystem::path& folder,
                                                    std::span<const std::string_view> prefixes)
{
    std::vector<std::filesystem::path> found;
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (std::ranges::any_of(prefixes, [&](std::string_view prefix) { return isStagingName(name, prefix); }))
            found.push_back(it->path());
    }
    return found;
}

namespace {

// Folders deeper than this are not held open; they are moved up to the top of
// the tree and emptied by a later pass, so neither open descriptors nor path
// lengths grow with the depth of a tree that an archive made.
constexpr int kOpenDepth = 32;

using RemovalVisit = std::function<void(const RemovedFile&)>;

// What one removal hears of and what it leaves: the mount points, each once
// however many passes find it.
struct Removal {
    const RemovalVisit& removed;
    std::vector<std::filesystem::path> mountPoints;

    void keepMountPoint(const std::filesystem::path& path)
    {
        if (std::ranges::find(mountPoints, path) == mountPoints.end())
            mountPoints.push_back(path);
    }
};

std::size_t removeEntries(int folder, const std::filesystem::path& where, int top, int depth, Removal& removal);

std::size_t unlinkFile(int parent, const std::string& name, const struct stat& info, const RemovalVisit& removed)
{
    if (::unlinkat(parent, name.c_str(), 0) != 0)
        return 0;
    if (removed)
        removed({static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
                 static_cast<std::uintmax_t>(info.st_size), static_cast<std::uintmax_t>(info.st_nlink)});
    return 1;
}

// Removes one entry of the open folder at `where`, a folder with everything in
// it; returns whether anything was removed or moved up.
std::size_t removeEntry(int parent, const std::filesystem::path& where, const std::string& name, int top, int depth,
                        Removal& removal)
{
    struct stat info{};
    if (::fstatat(parent, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0)
        return 0;
    if (!S_ISDIR(info.st_mode))
        return unlinkFile(parent, name, info, removal.removed);
    // What the player mounted inside is not part of the tree, even where it is
    // the same file system mounted again.
    if (platform::isMountPoint(parent, name.c_str())) {
        removal.keepMountPoint(where / name);
        return 0;
    }
    if (depth >= kOpenDepth) {
        const std::string parked = ".removing-" + freshUuid();
        return ::renameat(parent, name.c_str(), top, parked.c_str()) == 0 ? 1 : 0;
    }
    // A folder without permissions cannot be emptied; the owner gets them first.
    ::fchmodat(parent, name.c_str(), (info.st_mode & 07777) | S_IRWXU, 0);
    std::size_t count = 0;
    const FileDescriptor child(::openat(parent, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (child)
        count += removeEntries(child.get(), where / name, top, depth + 1, removal);
    return count + (::unlinkat(parent, name.c_str(), AT_REMOVEDIR) == 0 ? 1 : 0);
}

std::size_t removeEntries(int folder, const std::filesystem::path& where, int top, int depth, Removal& removal)
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
    std::size_t count = 0;
    for (const auto& name : names)
        count += removeEntry(folder, where, name, top, depth, removal);
    return count;
}

} // namespace

void removeTreeQuietly(const std::filesystem::path& path, const RemovalVisit& removed,
                       const std::function<void(const std::filesystem::path&)>& mountPointKept) noexcept
{
    struct stat info{};
    if (::lstat(path.c_str(), &info) != 0)
        return;
    Removal removal{removed, {}};
    if (!S_ISDIR(info.st_mode)) {
        unlinkFile(AT_FDCWD, path.string(), info, removed);
        return;
    }
    if (platform::isMountPoint(AT_FDCWD, path.c_str())) {
        removal.keepMountPoint(path);
    } else {
        ::chmod(path.c_str(), (info.st_mode & 07777) | S_IRWXU);
        // Relative to open folders, so that no path grows past the system's limit.
        if (const FileDescriptor top(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC)); top) {
            while (removeEntries(top.get(), path, top.get(), 1, removal) > 0) {
            }
        }
        ::rmdir(path.c_str());
    }
    if (mountPointKept) {
        for (const std::filesystem::path& mountPoint : removal.mountPoints)
            mountPointKept(mountPoint);
    }
}

void removeTree(const std::filesystem::path& path)
{
    std::optional<std::filesystem::path> mountPoint;
    removeTreeQuietly(path, {}, [&mountPoint](const std::filesystem::path& kept) { mountPoint = kept; });
    // remove_all() would go on into the mounted file system.
    if (mountPoint)
        throwFileError("cannot remove a folder where another file system is mounted", *mountPoint, EBUSY);
    // Nothing is left in the usual case; otherwise this names what remains, and why.
    std::filesystem::remove_all(path);
}

} // namespace launcher
