#include "core/Installer.h"

#include "core/Posix.h"
#include "core/SetupFailure.h"

#include <string>

namespace launcher {
namespace {

namespace fs = std::filesystem;

// Exact text comparison: a computed digest is always 64 lower-case hexadecimal
// characters, so an empty, upper-case or otherwise malformed pin never matches.
bool matchesPin(const fs::path& file, const std::string& pin)
{
    return Installer::sha256(file) == pin;
}

std::vector<std::string> downloadArguments(const RuntimeAsset& asset, const fs::path& output)
{
    return {"--fail",
            "--location",
            "--silent",
            "--show-error",
            "--retry", "2",
            "--proto", "=https",
            "--proto-redir", "=https",
            "--connect-timeout", "20",
            "--max-time", std::to_string(timeouts::kDownloadTransfer.count()),
            "--output", output.string(),
            asset.url};
}

} // namespace

fs::path Installer::obtain(const RuntimeAsset& asset, const std::optional<fs::path>& cache) const
{
    const fs::path downloads = layout().downloads();
    makeDirectory(downloads);
    const fs::path cached = downloads / asset.name;

    // A cache file is trusted only after its whole digest was computed again.
    if (fs::exists(cached)) {
        if (matchesPin(cached, asset.sha256))
            return cached;
        fs::remove(cached);
    }

    // The name under which a copy lies until its digest matched, so that an
    // interrupted or unverified copy is never taken for a cache file.
    RemoveUnlessCommitted partial(downloads / (asset.name + ".partial"));
    // A leftover of an earlier run goes first: a read-only one (a pre-fetched file
    // copied with its mode) could not be written over.
    fs::remove(partial.path());
    if (cache && fs::exists(*cache / asset.name)) {
        // The copy, not the player's file, is what gets verified: the player's
        // file could change between a check and a later copy.
        fs::copy_file(*cache / asset.name, partial.path(), fs::copy_options::overwrite_existing);
        if (!matchesPin(partial.path(), asset.sha256))
            throw SetupFailure("The cached " + asset.name + " failed verification.");
    } else {
        run({host().downloadTool, downloadArguments(asset, partial.path())}, {.timeout = timeouts::kDownload});
        if (!matchesPin(partial.path(), asset.sha256))
            throw SetupFailure(
                "The runtime download failed checksum verification. Nothing from that download was run.");
    }
    fs::rename(partial.path(), cached);
    partial.commit();
    return cached;
}

} // namespace launcher
