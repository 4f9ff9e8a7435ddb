#include "runtime/ResumableDownload.h"

#include "core/SetupFailure.h"
#include "core/StagingFolder.h"
#include "runtime/DownloadShare.h"
#include "runtime/DownloadWatch.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <string>
#include <system_error>
#include <thread>

namespace launcher {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// curl's exit statuses for a connection that could not be made or broke off,
// after which the same request may well succeed: could not resolve or connect,
// transfer ended early, time-out, TLS handshake, empty reply, send or receive
// error, HTTP/2 stream error.
constexpr std::array kConnectionLost{6, 7, 18, 28, 35, 52, 55, 56, 92};
// The answers to a range request after which the file starts again from zero:
// the whole file (the server cannot resume), and an HTTP error, which --fail
// makes of 416 (the range lies past the server's file). Any other HTTP error
// comes back on the request from zero.
constexpr std::array kCannotResume{22, 33};

std::vector<std::string> downloadArguments(const RuntimeAsset& asset, const fs::path& output)
{
    // First, or curl reads the player's ~/.curlrc, whose options would change the download.
    return {"--disable",
            "--fail",
            "--location",
            "--silent",
            "--show-error",
            "--retry", "2",
            "--proto", "=https",
            "--proto-redir", "=https",
            "--connect-timeout", "20",
            // Every block reaches the file as it arrives, so the watch sees what was received.
            "--no-buffer",
            // Asks only for the bytes after those already in the output file.
            "--continue-at", "-",
            "--output", output.string(),
            asset.url};
}

// A file past the cap is not the asset, whatever it holds. A read-only one (a
// pre-fetched file copied with its mode by a run that was killed) could not be
// added to. Anything but a regular file goes too: curl would write through a
// link to wherever it leads, wait on a named pipe and fail on a folder. The
// name is the launcher's own in its own folder, so nothing of the player's is lost.
void discardUnusable(const fs::path& partial, const RuntimeAsset& asset)
{
    std::error_code absent;
    const fs::file_status status = fs::symlink_status(partial, absent);
    if (absent)
        return;
    if (!fs::is_regular_file(status) || (asset.expectedSize > 0 && partialSize(partial) > 2 * asset.expectedSize)
        || (status.permissions() & fs::perms::owner_write) == fs::perms::none)
        removeTree(partial);
}

template <std::size_t N>
bool isAmong(int status, const std::array<int, N>& statuses)
{
    return std::find(statuses.begin(), statuses.end(), status) != statuses.end();
}

// Waits before the `attempt`th attempt in a row (counted from 1), showing the
// wait and looking for a stop request meanwhile. The first one goes at once,
// then 1, 2, 4, 8 s with the released constants.
void waitBeforeReconnect(const Installation& installation, int attempt)
{
    const auto wait = attempt < 2
        ? Clock::duration::zero()
        : Clock::duration(installation.constants().downloadReconnectWait * (1 << (attempt - 2)));
    const auto start = Clock::now();
    const auto end = start + wait;
    const std::string activity =
        "reconnecting (" + std::to_string(attempt) + " of " + std::to_string(kDownloadAttempts) + ")";
    do {
        installation.throwIfStopped();
        installation.progress({.activity = activity, .elapsed = Clock::now() - start});
        std::this_thread::sleep_for(std::min<Clock::duration>(end - Clock::now(), kProgressInterval));
    } while (Clock::now() < end);
    installation.throwIfStopped();
}

} // namespace

bool downloadResuming(const Installation& installation, const RuntimeAsset& asset, const fs::path& partial,
                      DownloadShare share)
{
    discardUnusable(partial, asset);
    bool resumed = partialSize(partial) > 0;
    if (resumed) {
        const std::uint64_t total = share.total > 0 ? share.total : asset.expectedSize;
        installation.report("Resuming the download: " + amountOf(share.before + partialSize(partial), total)
                            + " already here.");
    }

    // The attempts in a row that brought no new bytes.
    int fruitless = 0;
    for (;;) {
        discardUnusable(partial, asset);
        const std::uint64_t before = partialSize(partial);
        try {
            DownloadWatch watch(installation, partial, asset, share);
            installation.run({installation.host().downloadTool, downloadArguments(asset, partial)},
                             {.timeout = timeouts::kDownload, .watch = [&watch] { watch.look(); }});
            return resumed;
        } catch (const ProgramFailure& failure) {
            if (before > 0 && isAmong(failure.status(), kCannotResume)) {
                fs::remove(partial);
                resumed = false;
                continue;
            }
            if (!isAmong(failure.status(), kConnectionLost))
                throw;
            fruitless = partialSize(partial) > before ? 0 : fruitless + 1;
            if (fruitless >= kDownloadAttempts)
                throw;
            // The next attempt adds to bytes that another response sent.
            resumed = resumed || partialSize(partial) > 0;
        } catch (...) {
            discardUnusable(partial, asset);
            throw;
        }
        waitBeforeReconnect(installation, fruitless + 1);
    }
}

} // namespace launcher
