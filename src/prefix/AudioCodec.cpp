#include "core/Installation.h"

#include "core/FileCopy.h"
#include "core/FileDigest.h"
#include "core/OwnerWritable.h"
#include "core/PlayerSentences.h"
#include "core/Posix.h"
#include "core/RegularFile.h"
#include "core/SetupFailure.h"
#include "prefix/AudioCodec.h"

#include <system_error>

namespace launcher {
namespace {

// The name under which the media package stores the decoder library. It is
// passed to the archive tool as written, in upper case.
constexpr const char* kPackageMember = "WMADMOD.DLL";

// The tested package and library are a few megabytes. Anything far larger is
// refused before a long digest of what cannot be the tested file.
constexpr RegularFileRules kAudioRules{.maxSize = std::uintmax_t{64} << 20};

} // namespace

std::filesystem::path prepareCodec(const Installation& installation, const std::filesystem::path& audio)
{
    namespace fs = std::filesystem;
    // A named pipe or device in place of the file is no tested file either; it is
    // never read, so it cannot stall setup.
    const std::optional<RegularFile> opened = openIfRegular(audio, kAudioRules);
    if (!opened)
        throw SelectionRefused(Selection::audio, sentences::kUntestedAudioFile);
    const std::string digest = sha256Of(opened->fd.get(), audio);

    const fs::path folder = installation.layout().audioImport();
    const fs::path decoder = installation.layout().verifiedDecoder();
    installation.makeDirectory(folder);

    // The player may choose the result of an earlier call; removing it first
    // would destroy the very file that is to be copied.
    std::error_code notTheSameFile;
    if (digest == installation.constants().codecHash && fs::equivalent(audio, decoder, notTheSameFile))
        return decoder;

    fs::remove(decoder);
    // A failed call never leaves a library under the decoder's name: not a copy
    // or an extraction cut short, and not a library that failed verification.
    RemoveUnlessCommitted pending(decoder);
    if (digest == installation.constants().codecHash) {
        // The player's file may be a link to it; the copy takes the file itself.
        copyFile(fs::canonical(audio), decoder);
    } else if (digest == installation.constants().mediaPackageHash) {
        installation.archiveTool().extractMember(audio, folder, kPackageMember);
        // Where the file system ignores letter case the extracted member already
        // is the decoder file; elsewhere it takes the lower-case name.
        if (!fs::exists(decoder))
            fs::rename(folder / kPackageMember, decoder);
        makeOwnerWritable(decoder);
    } else {
        throw SelectionRefused(Selection::audio, sentences::kUntestedAudioFile);
    }

    if (sha256Of(decoder) != installation.constants().codecHash)
        throw SetupFailure(sentences::kCodecVerificationFailed);
    pending.commit();
    return decoder;
}

} // namespace launcher
