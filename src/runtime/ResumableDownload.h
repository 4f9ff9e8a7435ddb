#pragma once
// Fetching one runtime archive into its partial file, taking up what an earlier
// attempt left there: curl asks only for the missing bytes, and a dropped
// connection is taken up again after a short wait. Judging the bytes is the
// caller's part; nothing here reads them.
//
//   const bool resumed = downloadResuming(installation, asset, partial, share);
//   if (sha256Of(partial) != asset.sha256 && resumed) ... // start once more from zero
//
// Blocks; runs on the caller's thread and honours the stop request of its supervision.

#include "core/Installation.h"
#include "runtime/DownloadShare.h"

#include <filesystem>

namespace launcher {

// Reconnects in a row that may bring no new bytes before the download fails.
inline constexpr int kDownloadAttempts = 5;

// Downloads until curl reports the whole body, keeping the partial file on
// every way out, except a file past twice the asset's expected size, which
// cannot be the asset, a read-only one, which curl could not add to, and
// anything but a regular file (a link, a named pipe, a folder): those are
// removed, before each attempt too, so that the download starts afresh. Returns whether the file was completed from bytes of an earlier
// attempt, of an earlier run or before a dropped connection. Throws the
// watch's and the runner's failures, after the reconnects when the connection
// kept dropping.
bool downloadResuming(const Installation& installation, const RuntimeAsset& asset, const std::filesystem::path& partial,
                      DownloadShare share);

} // namespace launcher
