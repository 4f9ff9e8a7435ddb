#include "core/Installer.h"

#include "core/SetupFailure.h"

#include <system_error>
#include <utility>

namespace launcher {
namespace {

namespace fs = std::filesystem;

// curl's own --max-time plus 50 seconds, so that curl reports its limit itself.
constexpr double kDownloadTimeout = 1850;

// The name under which a copy lies until its digest matched, so that an
// interrupted or unverified copy is never taken for a cache file. Removed on
// every way out; a failure to remove it is ignored.
class PartialFile final {
public:
    explicit PartialFile(fs::path path) : m_path(std::move(path)) {}
    ~PartialFile()
    {
        std::error_code ignored;
        fs::remove(m_path, ignored);
    }
    PartialFile(const PartialFile&) = delete;
    PartialFile& operator=(const PartialFile&) = delete;

    const fs::path& path() const { return m_path; }

private:
    fs::path m_path;
};

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
            "--max-time", "1800",
            "--output", output.string(),
            asset.url};
}

} // namespace

fs::path Installer::obtain(const RuntimeAsset& asset, const std::optional<fs::path>& cache) const
{
    const fs::path downloads = m_root / "Downloads";
    makeDirectory(downloads);
    const fs::path cached = downloads / asset.name;

    // A cache file is trusted only after its whole digest was computed again.
    if (fs::exists(cached)) {
        if (matchesPin(cached, asset.sha256))
            return cached;
        fs::remove(cached);
    }

    const PartialFile partial(downloads / (asset.name + ".partial"));
    if (cache && fs::exists(*cache / asset.name)) {
        // The copy, not the player's file, is what gets verified: the player's
        // file could change between a check and a later copy.
        fs::copy_file(*cache / asset.name, partial.path(), fs::copy_options::overwrite_existing);
        if (!matchesPin(partial.path(), asset.sha256))
            throw SetupFailure("The cached " + asset.name + " failed verification.");
    } else {
        run(m_constants.downloadTool, downloadArguments(asset, partial.path()), std::nullopt, std::nullopt, false,
            kDownloadTimeout);
        if (!matchesPin(partial.path(), asset.sha256))
            throw SetupFailure(
                "The runtime download failed checksum verification. Nothing from that download was run.");
    }
    fs::rename(partial.path(), cached);
    return cached;
}

} // namespace launcher
