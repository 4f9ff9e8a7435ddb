// What watching a download costs: the same local HTTPS download of a file as
// large as both runtime archives together, run through the process runner with
// and without the download's watch (partial file size, speed, stall and size
// limits, and the progress line's text, about five times a second).
//
//   veyra2-download-watch-benchmark [--bytes N] [--rounds N] [--folder DIR]
//
// The file is made in a fresh folder below DIR (default: the system's temporary
// folder) and served by the tests' local HTTPS server. The rounds alternate the
// two kinds of download, each going first in every other pair; each figure is
// the median. The watch's own cost is the time spent inside it, measured around
// every look. Exits 1 when that reaches 1 % of the download's time.

#include "core/Installation.h"
#include "runtime/DownloadWatch.h"
#include "support/LocalHttpsServer.h"
#include "support/TestHost.h"
#include "BenchmarkSupport.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace launcher;
using bench::Clock;
using bench::median;

constexpr double kGoal = 0.01;

struct Download {
    double seconds = 0;
    // Time spent inside the watch, and how often it looked.
    double watchSeconds = 0;
    int looks = 0;
};

} // namespace

int main(int argc, char** argv)
try {
    const bench::LargeFileOptions options = bench::parseLargeFileOptions(argc, argv, "veyra2-download-watch-benchmark");
    const bench::ScratchFolder folder(options.folder, "download-watch");
    const std::string name = "runtime.tar.xz";
    fs::create_directories(folder.path() / "served");
    bench::writeNoise(folder.path() / "served" / name, options.bytes, 1);

    const testing::LocalHttpsServer server(folder.path() / "served");
    ::setenv("CURL_CA_BUNDLE", server.caBundle().c_str(), 1);
    const std::string url = server.url("/" + name);

    std::string shown;
    const Installation installation(
        folder.path() / "root", {}, testing::testHost(), Constants::builtIn(),
        {.progress = [&shown](const Progress& progress) { shown = progressText(progress); }});
    const RuntimeAsset asset{.name = name, .url = url, .sha256 = "", .expectedSize = options.bytes};
    const fs::path partial = installation.layout().downloads() / (name + ".partial");
    installation.makeDirectory(partial.parent_path());
    const Command curl{installation.host().downloadTool,
                       {"--fail", "--silent", "--show-error", "--proto", "=https", "--output", partial.string(), url}};

    const auto download = [&](bool watched) {
        fs::remove(partial);
        Download result;
        DownloadWatch watch(installation, partial, asset, {});
        RunOptions run{.timeout = timeouts::kDownload};
        if (watched) {
            run.watch = [&] {
                const auto start = Clock::now();
                watch.look();
                result.watchSeconds += bench::secondsSince(start);
                ++result.looks;
            };
        }
        const auto start = Clock::now();
        installation.run(curl, run);
        result.seconds = bench::secondsSince(start);
        if (fs::file_size(partial) != options.bytes)
            throw std::runtime_error("the download is incomplete");
        return result;
    };

    download(false); // warms the page cache and the server
    std::vector<double> plain;
    std::vector<double> watched;
    std::vector<double> watchShare;
    int looks = 0;
    // Which kind goes first alternates, so that neither always follows the other's clean-up.
    for (int round = 0; round < 2 * options.rounds; ++round) {
        if ((round + round / 2) % 2 == 0) {
            plain.push_back(download(false).seconds);
            continue;
        }
        const Download withWatch = download(true);
        watched.push_back(withWatch.seconds);
        watchShare.push_back(withWatch.watchSeconds / withWatch.seconds);
        looks = withWatch.looks;
    }

    const double megabytes = static_cast<double>(options.bytes) / 1e6;
    const double share = median(watchShare);
    std::printf("Local HTTPS download of %.0f MB through the process runner, median of %d rounds\n", megabytes,
                options.rounds);
    std::printf("  without the watch      %8.3f s  %7.1f MB/s\n", median(plain), megabytes / median(plain));
    std::printf("  with the watch         %8.3f s  %7.1f MB/s  (%+.2f %%)\n", median(watched),
                megabytes / median(watched), (median(watched) / median(plain) - 1) * 100);
    std::printf("  time inside the watch  %8.3f ms over %d looks: %.4f %% of the download (goal: under %.0f %%)\n",
                share * median(watched) * 1000, looks, share * 100, kGoal * 100);
    std::printf("  last progress line     \"%s\"\n", shown.c_str());
    return share < kGoal ? 0 : 1;
} catch (const std::exception& failure) {
    std::cerr << failure.what() << '\n';
    return 2;
}
