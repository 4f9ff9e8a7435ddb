#include "core/FileCopy.h"

#include "core/FileCopySteps.h"
#include "core/Platform.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <system_error>

#include <copyfile.h>
#include <fcntl.h>
#include <sys/clonefile.h>
#include <sys/stat.h>
#include <unistd.h>

namespace launcher {
namespace {

// Owns a copyfile state.
class CopyState final {
public:
    CopyState() : m_state(::copyfile_state_alloc())
    {
        if (m_state == nullptr)
            throw std::system_error(ENOMEM, std::generic_category(), "Cannot prepare a file copy");
    }
    CopyState(const CopyState&) = delete;
    CopyState& operator=(const CopyState&) = delete;
    ~CopyState() { ::copyfile_state_free(m_state); }
    copyfile_state_t get() const { return m_state; }

private:
    copyfile_state_t m_state;
};

// What the status callback keeps between its calls for one file.
struct DataProgress {
    CopyTally& tally;
    std::uint64_t counted = 0;
    // The error of the data stage that ended the copy, kept here rather than
    // trusted to survive in errno through copyfile's clean-up.
    int error = 0;
};

// Called by fcopyfile on the caller's thread at each stage: counts the bytes
// copied so far and ends the copy at a data error or once it is abandoned.
// Never throws: it returns into C.
int followDataCopy(int what, int stage, copyfile_state_t state, const char*, const char*, void* context)
{
    auto& progress = *static_cast<DataProgress*>(context);
    if (what != COPYFILE_COPY_DATA) {
        // The other stages are the extended attributes that copyfile adds of
        // itself, the quarantine among them, and that it would pass over
        // without a callback: a volume that keeps none (a network share) must
        // not fail the copy of the data.
        return COPYFILE_CONTINUE;
    }
    if (stage == COPYFILE_ERR) {
        progress.error = errno;
        return COPYFILE_QUIT;
    }
    if (stage != COPYFILE_PROGRESS)
        return COPYFILE_CONTINUE;
    // copyfile(3): a quit at the progress stage ends the copy with ECANCELED.
    if (progress.tally.abandon)
        return COPYFILE_QUIT;
    off_t copied = 0;
    if (::copyfile_state_get(state, COPYFILE_STATE_COPIED, &copied) == 0 &&
        static_cast<std::uint64_t>(copied) > progress.counted) {
        progress.tally.bytes += static_cast<std::uint64_t>(copied) - progress.counted;
        progress.counted = static_cast<std::uint64_t>(copied);
    }
    return COPYFILE_CONTINUE;
}

} // namespace

std::string_view copyFile(const std::filesystem::path& from, const std::filesystem::path& to, CopyTally* tally)
{
    if (tally != nullptr && tally->abandon)
        throwFileError("copy abandoned", to, ECANCELED);
    const CopySource source = openCopySource(from);
    const int in = source.fd.get();

    if (::fclonefileat(in, AT_FDCWD, to.c_str(), 0) == 0) {
        RemoveUnlessCommitted unfinished(to);
        // The clone carries the source's flags: a file locked in Finder (uchg)
        // would refuse the mode change, and its own removal after a failure.
        // Only the owner's locks are lifted: the system's flags only the
        // superuser may change, and clearing every flag would fail for anyone
        // else. A lock that stays makes the mode change fail, naming the copy.
        platform::unlockEntry(AT_FDCWD, to.c_str());
        if (::chmod(to.c_str(), source.mode) != 0)
            throwFileError("cannot set file permissions", to);
        unfinished.commit();
        // A clone shares the data at once.
        if (tally != nullptr)
            tally->bytes += source.size;
        return "clonefile";
    }
    if (errno != ENOTSUP && errno != EXDEV)
        throwFileError("cannot copy file", to);

    // Another volume, or one that cannot clone (exFAT, SMB): the data only, in
    // blocks, so that a large file shows its progress and an abandon ends it.
    const FileDescriptor target = createCopyTarget(to, source.mode);
    RemoveUnlessCommitted unfinished(to);
    const CopyState state;
    CopyTally unwatched;
    DataProgress progress{tally != nullptr ? *tally : unwatched};
    if (::copyfile_state_set(state.get(), COPYFILE_STATE_STATUS_CB, reinterpret_cast<const void*>(&followDataCopy)) != 0 ||
        ::copyfile_state_set(state.get(), COPYFILE_STATE_STATUS_CTX, &progress) != 0)
        throwFileError("cannot copy file", to);
    if (::fcopyfile(in, target.get(), state.get(), COPYFILE_DATA) != 0) {
        if (progress.error != 0)
            throwFileError("cannot copy file", to, progress.error);
        throwFileError(errno == ECANCELED ? "copy abandoned" : "cannot copy file", to);
    }
    finishCopyTarget(target.get(), to, source.mode);
    unfinished.commit();
    progress.tally.bytes += source.size - std::min(progress.counted, source.size);
    return "fcopyfile";
}

} // namespace launcher
