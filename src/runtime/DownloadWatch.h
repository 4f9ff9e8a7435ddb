#pragma once
// The watch over a running download: about every 200 ms it looks how far the
// partial file has grown, reports bytes, speed and time left, and stops a
// download that stalls or grows far past its archive's expected size. curl
// writes every block it receives at once (--no-buffer), so the file's size is
// the count of bytes received, also on a slow link.
//
//   DownloadWatch watch(installation, partial, asset, share);
//   installation.run(curl, {.timeout = timeouts::kDownload, .watch = [&watch] { watch.look(); }});
//
// Runs on the thread of the download, as the runner's watch.

#include "core/ByteMeter.h"
#include "core/Installation.h"
#include "runtime/DownloadShare.h"

#include <filesystem>

namespace launcher {

// The bytes a partial file holds so far: 0 before the first byte made it, and
// for anything but a regular file there.
std::uint64_t partialSize(const std::filesystem::path& partial) noexcept;

class DownloadWatch final {
public:
    // Starts the stall clock, counting from what the partial file holds now;
    // `installation` must outlive the watch.
    DownloadWatch(const Installation& installation, std::filesystem::path partial, const RuntimeAsset& asset,
                  DownloadShare share);

    // Reports the progress; throws SetupFailure when no data arrived for the
    // stall limit, or when the file grew past twice its expected size.
    void look();

private:
    const Installation& m_installation;
    std::filesystem::path m_partial;
    std::uint64_t m_expectedSize;
    DownloadShare m_share;
    ByteMeter m_meter;
};

} // namespace launcher
