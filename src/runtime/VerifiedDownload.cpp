#include "core/Installation.h"

#include "core/FileDigest.h"
#include "core/PlayerSentences.h"
#include "core/Posix.h"
#include "core/RegularFile.h"
#include "core/SetupFailure.h"
#include "core/StagingFolder.h"
#include "runtime/DownloadShare.h"
#include "runtime/ResumableDownload.h"
#include "runtime/VerifiedDownload.h"

#include <string>

namespace launcher {
namespace {

namespace fs = std::filesystem;

// Exact text comparison: a computed digest is always 64 lower-case hexadecimal
// characters, so an empty, upper-case or otherwise malformed pin never matches.
bool matchesPin(const fs::path& file, const std::string& pin)
{
    return sha256Of(file) == pin;
}

// The partial file is judged as the file curl wrote, never through a link put
// in its place, which the rename would otherwise store as the archive.
bool partialMatchesPin(const fs::path& partial, const std::string& pin)
{
    return sha256Of(openRegular(partial, {.followLinks = false}).fd.get(), partial) == pin;
}

// Downloads into `partial` until a download's digest decides. Bytes completed
// from an earlier attempt may have come from another object, so a mismatch
// after resuming is given one fresh download from zero; only a fresh download
// that mismatches is a failure, and its partial file goes.
void downloadVerified(const Installation& installation, const RuntimeAsset& asset, const fs::path& partial,
                      DownloadShare share)
{
    const bool resumed = downloadResuming(installation, asset, partial, share);
    if (partialMatchesPin(partial, asset.sha256))
        return;
    fs::remove(partial);
    if (resumed) {
        downloadResuming(installation, asset, partial, share);
        if (partialMatchesPin(partial, asset.sha256))
            return;
        fs::remove(partial);
    }
    throw SetupFailure(sentences::kChecksumFailure);
}

// The archive in the downloads folder, once its digest matched the pin: the one
// there already, a copy of the player's, or a download.
fs::path obtainVerified(const Installation& installation, const RuntimeAsset& asset,
                        const std::optional<fs::path>& cache, DownloadShare share)
{
    const fs::path downloads = installation.layout().downloads();
    installation.makeDirectory(downloads);
    const fs::path cached = downloads / asset.name;

    // A cache file is trusted only after its whole digest was computed again.
    if (fs::exists(cached)) {
        if (matchesPin(cached, asset.sha256))
            return cached;
        fs::remove(cached);
    }

    // The name under which a copy lies until its digest matched, so that an
    // interrupted or unverified copy is never taken for a cache file. A
    // download keeps it when it ends without a verdict, for the next attempt
    // to resume.
    const fs::path partial = downloads / (asset.name + ".partial");
    if (cache && fs::exists(*cache / asset.name)) {
        RemoveUnlessCommitted copy(partial);
        // A leftover of an earlier run goes first: a read-only one (a pre-fetched file
        // copied with its mode) could not be written over, and a link would be written through.
        removeTree(partial);
        // The copy, not the player's file, is what gets verified: the player's
        // file could change between a check and a later copy.
        fs::copy_file(*cache / asset.name, partial, fs::copy_options::overwrite_existing);
        if (!partialMatchesPin(partial, asset.sha256))
            throw SetupFailure("The cached " + asset.name + " failed verification.");
        fs::rename(partial, cached);
        copy.commit();
        return cached;
    }
    downloadVerified(installation, asset, partial, share);
    fs::rename(partial, cached);
    return cached;
}

} // namespace

fs::path obtain(const Installation& installation, const RuntimeAsset& asset, const std::optional<fs::path>& cache,
                DownloadShare share)
{
    const fs::path verified = obtainVerified(installation, asset, cache, share);
    // The pin is the trust decision: an archive that matched it is unpacked
    // and run from as the launcher's own, whichever browser fetched it first.
    installation.host().liftQuarantine(verified);
    return verified;
}

} // namespace launcher
