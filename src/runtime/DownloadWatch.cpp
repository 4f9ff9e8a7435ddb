#include "runtime/DownloadWatch.h"

#include "core/PlayerSentences.h"
#include "core/SetupFailure.h"
#include "runtime/DownloadShare.h"

#include <string>

#include <sys/stat.h>

namespace launcher {

std::uint64_t partialSize(const std::filesystem::path& partial) noexcept
{
    // Before the first byte arrives the partial file may not exist yet; what is
    // not a regular file holds none of the download's bytes, and a link is not followed.
    struct stat info{};
    if (::lstat(partial.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return 0;
    return static_cast<std::uint64_t>(info.st_size);
}

DownloadWatch::DownloadWatch(const Installation& installation, std::filesystem::path partial, const RuntimeAsset& asset,
                             DownloadShare share)
    : m_installation(installation)
    , m_partial(std::move(partial))
    , m_expectedSize(asset.expectedSize)
    , m_share(share.total > 0 ? share : DownloadShare{.before = 0, .total = asset.expectedSize})
    , m_meter(ByteMeter::Clock::now(), m_share.before + partialSize(m_partial))
{
}

void DownloadWatch::look()
{
    const std::uint64_t written = partialSize(m_partial);

    // The expected size never decides what is accepted (only the pin does); it
    // only stops a file that grows without end.
    if (m_expectedSize > 0 && written > 2 * m_expectedSize)
        throw SetupFailure(sentences::kDownloadTooLarge);
    // Past its expected size the file shows bytes without a fraction.
    const std::optional<std::uint64_t> expected =
        m_share.total > 0 && written <= m_expectedSize ? std::optional(m_share.total) : std::nullopt;
    const Progress progress = m_meter.measure(m_share.before + written, expected);

    const std::chrono::seconds limit = m_installation.constants().downloadStallLimit;
    if (m_meter.idle() >= limit)
        throw SetupFailure("The download of the compatibility runtime stopped: no data arrived for "
                           + std::to_string(limit.count())
                           + " seconds. Check your internet connection, then try again.");
    m_installation.progress(progress);
}

} // namespace launcher
