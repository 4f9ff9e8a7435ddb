#include "core/FileCopy.h"

#include "core/FileCopySteps.h"

#include <cerrno>

#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/sendfile.h>
#include <unistd.h>

namespace launcher {
namespace {

bool unsupported(int error)
{
    return error == ENOSYS || error == EXDEV || error == EINVAL || error == EOPNOTSUPP || error == ENOTTY ||
           error == EPERM;
}

// Calls `copy` (one step of an in-kernel copy, returning bytes copied) until the
// end of the file. False when the primitive is unavailable for this pair of files.
template <typename Step>
bool copyInKernel(Step copy, const std::filesystem::path& to)
{
    constexpr std::size_t kChunk = std::size_t{1} << 30;
    for (bool first = true;; first = false) {
        const ssize_t copied = copy(kChunk);
        if (copied == 0)
            return true;
        if (copied > 0)
            continue;
        if (errno == EINTR)
            continue;
        if (first && unsupported(errno))
            return false;
        throwFileError("cannot copy file", to);
    }
}

} // namespace

std::string_view copyFile(const std::filesystem::path& from, const std::filesystem::path& to)
{
    const CopySource source = openCopySource(from);
    const int in = source.fd.get();
    const FileDescriptor target = createCopyTarget(to, source.mode);
    RemoveUnlessCommitted unfinished(to);
    const int out = target.get();

    std::string_view primitive = "FICLONE";
    if (::ioctl(out, FICLONE, in) != 0) {
        if (!unsupported(errno))
            throwFileError("cannot copy file", to);
        primitive = "copy_file_range";
        if (!copyInKernel([&](std::size_t chunk) { return ::copy_file_range(in, nullptr, out, nullptr, chunk, 0); }, to)) {
            primitive = "sendfile";
            if (!copyInKernel([&](std::size_t chunk) { return ::sendfile(out, in, nullptr, chunk); }, to))
                throwFileError("cannot copy file", to);
        }
    }
    finishCopyTarget(out, to, source.mode);
    unfinished.commit();
    return primitive;
}

} // namespace launcher
