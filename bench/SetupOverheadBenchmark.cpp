// What the launcher adds to the external programs of a whole setup.
//
// A complete setup from the pre-fetched fixture archives runs in-process with the
// real archive tool, the real x86_64 check and the stand-in runtime. A second
// kind of setup puts a timing shim in front of every external program (the
// archive tool, the x86_64 check and the runtime's wine program), which records
// each program's own run time. The launcher's overhead is the plain setup's time
// minus the sum of the programs' own times; the shim's own cost is measured and
// shown apart.
#include "ShimTiming.h"
#include "app/Setup.h"
#include "core/FileDigest.h"
#include "core/Installation.h"
#include "core/StagingFolder.h"
#include "support/TemporaryFolder.h"
#include "support/TestHost.h"

#include <cstdio>
#include <cstdlib>
#include <numeric>
#include <vector>

using namespace launcher;
using namespace launcher::bench;
namespace fs = std::filesystem;

namespace {

constexpr int kRepetitions = 7;

double setupMilliseconds(const fs::path& root, const Host& host, const Constants& constants, const fs::path& cache)
{
    removeTreeQuietly(root);
    const Installation installation(root, {}, host, constants);
    const auto start = Clock::now();
    install(installation, testing::fixture("game/installer.zip"), testing::fixture("audio/MPSetup.exe"), cache);
    return milliseconds(Clock::now() - start);
}

// The fixture engine archive with the shim in front of its wine program.
fs::path engineWithShim(const fs::path& folder, const fs::path& archive)
{
    const fs::path tree = folder / "engine";
    fs::create_directories(tree);
    runDirectly({"/usr/bin/bsdtar", "-xf", testing::fixture("runtime/prefetched/" + archive.filename().string()), "-C", tree});
    shimInPlace(tree / "wswine.bundle/bin/wine");
    runDirectly({"/usr/bin/bsdtar", "-cJf", archive, "-C", tree, "wswine.bundle"});
    return archive;
}

} // namespace

int main()
{
    const testing::TemporaryFolder folder;
    const fs::path root = folder / "root";
    const fs::path prefetched = testing::fixture("runtime/prefetched");

    Host plain = testing::testHost();
    plain.x86_64Check = Host::system().x86_64Check;
    const Constants& pins = Constants::builtIn();

    Host shimmed = plain;
    placeShim(folder / "tools/bsdtar", plain.archiveTool);
    placeShim(folder / "tools" / plain.x86_64Check.executable.filename(), plain.x86_64Check.executable);
    shimmed.archiveTool = folder / "tools/bsdtar";
    shimmed.x86_64Check.executable = folder / "tools" / plain.x86_64Check.executable.filename();
    const fs::path shimmedCache = folder / "prefetched";
    fs::create_directories(shimmedCache);
    fs::copy_file(prefetched / pins.libraries.name, shimmedCache / pins.libraries.name);
    // The engine archive with the shim in front of wine is pinned for this run alone.
    Constants shimmedPins = pins;
    shimmedPins.engine.sha256 = sha256Of(engineWithShim(folder.path(), shimmedCache / pins.engine.name));

    const fs::path log = folder / "programs.log";
    ::setenv("TIMING_SHIM_LOG", log.c_str(), 1);

    std::vector<double> wholeSetups;
    std::vector<double> programSums;
    std::size_t programs = 0;
    for (int i = 0; i < kRepetitions; ++i) {
        wholeSetups.push_back(setupMilliseconds(root, plain, pins, prefetched));
        fs::remove(log);
        setupMilliseconds(root, shimmed, shimmedPins, shimmedCache);
        const auto times = readShimLog(log);
        programs = times.size();
        programSums.push_back(std::accumulate(times.begin(), times.end(), 0.0));
    }

    const double whole = median(wholeSetups);
    const double ownTime = median(programSums);
    const double overhead = whole - ownTime;
    std::printf("Complete setup from the pre-fetched fixture archives, median of %d runs\n", kRepetitions);
    std::printf("  launcher, whole setup             %9.2f ms\n", whole);
    std::printf("  external programs run            %9zu\n", programs);
    std::printf("  their own run time, summed        %9.2f ms\n", ownTime);
    std::printf("  launcher overhead, in total       %9.2f ms\n", overhead);
    std::printf("  launcher overhead, per program    %9.2f ms\n", overhead / static_cast<double>(programs));
    std::printf("  (timing shim's own cost, excluded %9.2f ms per program)\n", shimCostMilliseconds(folder.path()));
    return 0;
}
