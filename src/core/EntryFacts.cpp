#include "core/EntryFacts.h"

#include "core/Posix.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>

namespace launcher {
namespace {

constexpr std::int64_t kNanoseconds = 1'000'000'000;

// POSIX names the field st_mtim; macOS calls it st_mtimespec.
template <typename Status>
const timespec& modificationOf(const Status& info)
{
    if constexpr (requires { info.st_mtim; })
        return info.st_mtim;
    else
        return info.st_mtimespec;
}

} // namespace

std::optional<EntryFacts> entryFacts(const std::filesystem::path& entry)
{
    struct stat info {};
    if (::lstat(entry.c_str(), &info) != 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return std::nullopt;
        throwFileError("cannot read file attributes", entry);
    }
    const auto kind = S_ISDIR(info.st_mode)   ? EntryFacts::Kind::folder
                      : S_ISREG(info.st_mode) ? EntryFacts::Kind::file
                                              : EntryFacts::Kind::other;
    const timespec& modified = modificationOf(info);
    return EntryFacts{kind, static_cast<std::uintmax_t>(info.st_size),
                      static_cast<std::int64_t>(modified.tv_sec) * kNanoseconds + modified.tv_nsec};
}

void setModificationTime(const std::filesystem::path& entry, std::int64_t modified)
{
    const timespec times[2] = {
        {0, UTIME_OMIT},
        {static_cast<time_t>(modified / kNanoseconds), static_cast<long>(modified % kNanoseconds)},
    };
    if (::utimensat(AT_FDCWD, entry.c_str(), times, AT_SYMLINK_NOFOLLOW) != 0)
        throwFileError("cannot set the modification time", entry);
}

} // namespace launcher
