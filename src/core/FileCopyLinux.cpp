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
bool copyInKernel(Step copy, const std::filesystem::path& to, CopyTally* tally)
{
    for (bool first = true;; first = false) {
        if (tally != nullptr && tally->abandon)
            throwFileError("copy abandoned", to, ECANCELED);
        const ssize_t copied = copy(kCopyStep);
        if (copied == 0)
            return true;
        if (copied > 0) {
            if (tally != nullptr)
                tally->bytes += static_cast<std::uint64_t>(copied);
            continue;
        }
        if (errno == EINTR)
            continue;
        if (first && unsupported(errno))
            return false;
        throwFileError("cannot copy file", to);
    }
}

} // namespace

std::string_view copyFile(const std::filesystem::path& from, const std::filesystem::path& to, CopyTally* tally)
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
        if (!copyInKernel([&](std::size_t chunk) { return ::copy_file_range(in, nullptr, out, nullptr, chunk, 0); },
                          to, tally)) {
            primitive = "sendfile";
            if (!copyInKernel([&](std::size_t chunk) { return ::sendfile(out, in, nullptr, chunk); }, to, tally))
                throwFileError("cannot copy file", to);
        }
    } else if (tally != nullptr) {
        // A clone shares the data at once.
        tally->bytes += source.size;
    }
    finishCopyTarget(out, to, source.mode);
    unfinished.commit();
    return primitive;
}

} // namespace launcher
