#include "core/Installer.h"

#include "core/ArchiveTool.h"
#include "core/SetupFailure.h"

#include <system_error>
#include <utility>

namespace launcher {
namespace {

// The name under which the media package stores the decoder library. It is
// passed to the archive tool as written, in upper case.
constexpr const char* kPackageMember = "WMADMOD.DLL";

// Removes the verified decoder file on every way out that did not verify it, so
// a failed call never leaves a library under that name: not a copy or an
// extraction cut short, and not a library that failed verification.
class PendingDecoder final {
public:
    explicit PendingDecoder(std::filesystem::path file) : m_file(std::move(file)) {}
    ~PendingDecoder()
    {
        if (!m_verified) {
            std::error_code ignored;
            std::filesystem::remove(m_file, ignored);
        }
    }
    PendingDecoder(const PendingDecoder&) = delete;
    PendingDecoder& operator=(const PendingDecoder&) = delete;

    void markVerified() { m_verified = true; }

private:
    std::filesystem::path m_file;
    bool m_verified = false;
};

} // namespace

std::filesystem::path Installer::prepareCodec(const std::filesystem::path& audio) const
{
    namespace fs = std::filesystem;
    const std::string digest = sha256(audio);

    const fs::path folder = m_root / "Audio-import";
    const fs::path decoder = folder / "wmadmod.dll";
    makeDirectory(folder);

    // The player may choose the result of an earlier call; removing it first
    // would destroy the very file that is to be copied.
    std::error_code notTheSameFile;
    if (digest == m_constants.codecHash && fs::equivalent(audio, decoder, notTheSameFile))
        return decoder;

    fs::remove(decoder);
    PendingDecoder pending(decoder);
    if (digest == m_constants.codecHash) {
        fs::copy_file(audio, decoder);
    } else if (digest == m_constants.mediaPackageHash) {
        ArchiveTool(*this).extractMember(audio, folder, kPackageMember);
        // Where the file system ignores letter case the extracted member already
        // is the decoder file; elsewhere it takes the lower-case name.
        if (!fs::exists(decoder))
            fs::rename(folder / kPackageMember, decoder);
    } else {
        throw SetupFailure("This audio file is not the tested Microsoft WMA 9 decoder/package. Select the supported "
                           "MPSetup.exe or WMADMOD.DLL described in the setup guide.");
    }

    if (sha256(decoder) != m_constants.codecHash)
        throw SetupFailure("Audio codec verification failed.");
    pending.markVerified();
    return decoder;
}

} // namespace launcher
