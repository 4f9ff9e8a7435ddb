// What a dropped connection costs a download: the launcher's download of a file
// as large as both runtime archives together from a local HTTPS server that cuts
// the first connection half-way, and how many bytes the server had to send again
// beyond the file, as a share of the file. Beside it, what starting again from
// zero would have cost (the half already sent).
//
//   veyra2-resume-cost-benchmark [--bytes N] [--rounds N] [--folder DIR]
//
// The file is made in a fresh folder below DIR (default: the system's temporary
// folder). Each round downloads it anew through obtain(), pin and all. The
// server counts the body bytes it sent. Exits 1 when the median share fetched
// again reaches 1 %.

#include "core/FileDigest.h"
#include "core/Installation.h"
#include "runtime/VerifiedDownload.h"
#include "support/LocalHttpsServer.h"
#include "support/TestHost.h"
#include "BenchmarkSupport.h"

#include <algorithm>
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

} // namespace

int main(int argc, char** argv)
try {
    const bench::LargeFileOptions options = bench::parseLargeFileOptions(argc, argv, "veyra2-resume-cost-benchmark");
    const bench::ScratchFolder folder(options.folder, "resume-cost");
    const std::string name = "runtime.tar.xz";
    const fs::path served = folder.path() / "served" / name;
    fs::create_directories(served.parent_path());
    bench::writeNoise(served, options.bytes, 1);
    const RuntimeAsset asset{.name = name, .url = "", .sha256 = sha256Of(served), .expectedSize = options.bytes};
    const double size = static_cast<double>(options.bytes);

    std::vector<double> again;
    std::vector<double> seconds;
    for (int round = 0; round < options.rounds; ++round) {
        // A new server for each round: it cuts only the first connection for a file.
        const testing::LocalHttpsServer server(served.parent_path(), 0, {}, {.dropFirstHalfway = true});
        ::setenv("CURL_CA_BUNDLE", server.caBundle().c_str(), 1);
        RuntimeAsset fromServer = asset;
        fromServer.url = server.url("/" + name);
        const fs::path root = folder.path() / ("root-" + std::to_string(round));
        const auto start = Clock::now();
        obtain(Installation(root, {}, testing::testHost()), fromServer, std::nullopt);
        seconds.push_back(bench::secondsSince(start));
        if (server.bytesServed() < options.bytes)
            throw std::runtime_error("the server sent less than the file");
        again.push_back((static_cast<double>(server.bytesServed()) - size) / size);
        fs::remove_all(root);
    }

    std::printf("Local HTTPS download of %.0f MB cut once half-way, median of %d rounds (%.2f s each)\n", size / 1e6,
                options.rounds, median(seconds));
    std::printf("  fetched again by the launcher (resuming)  %8.0f bytes  %.5f of the file (worst %.5f; goal: under %.0f %%)\n",
                median(again) * size, median(again), *std::max_element(again.begin(), again.end()), kGoal * 100);
    std::printf("  fetched again by starting from zero       %8.0f bytes  %.5f of the file\n", size / 2, 0.5);
    return median(again) < kGoal ? 0 : 1;
} catch (const std::exception& failure) {
    std::cerr << failure.what() << '\n';
    return 2;
}
