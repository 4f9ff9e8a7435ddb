#include "core/FileCopy.h"

#include "core/FileCopySteps.h"

#include <cerrno>

#include <copyfile.h>
#include <fcntl.h>
#include <sys/clonefile.h>
#include <sys/stat.h>

namespace launcher {

std::string_view copyFile(const std::filesystem::path& from, const std::filesystem::path& to, CopyTally* tally)
{
    if (tally != nullptr && tally->abandon)
        throwFileError("copy abandoned", to, ECANCELED);
    const CopySource source = openCopySource(from);
    const int in = source.fd.get();
    // fcopyfile moves the whole file in one call, so the tally grows per file.
    const auto count = [&] {
        if (tally != nullptr)
            tally->bytes += source.size;
    };

    if (::fclonefileat(in, AT_FDCWD, to.c_str(), 0) == 0) {
        RemoveUnlessCommitted unfinished(to);
        if (::chmod(to.c_str(), source.mode) != 0)
            throwFileError("cannot set file permissions", to);
        unfinished.commit();
        count();
        return "clonefile";
    }
    if (errno != ENOTSUP && errno != EXDEV)
        throwFileError("cannot copy file", to);

    const FileDescriptor target = createCopyTarget(to, source.mode);
    RemoveUnlessCommitted unfinished(to);
    if (::fcopyfile(in, target.get(), nullptr, COPYFILE_DATA) != 0)
        throwFileError("cannot copy file", to);
    finishCopyTarget(target.get(), to, source.mode);
    unfinished.commit();
    count();
    return "fcopyfile";
}

} // namespace launcher
