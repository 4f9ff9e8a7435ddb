// How long a verification of a sound installation takes apart from its wine
// calls, and what the game file list costs the import.
//
//   veyra2-verify-benchmark [--files 3000] [--file-bytes 65536] [--archive-megabytes 341] [--rounds 9]
//
// A complete setup from the fixture files, whose game is then imported again
// with `--files` more files, so that the game file list has a game's length.
// The timing shim stands in front of the runtime's wine program and records the
// wine calls' own run times; the launcher's own part is the whole verification
// minus those. Verification runs twice: with the small fixture archives in the
// download cache, and with cached archives of the real runtime's size, whose
// digests verification computes in full.

#include "ShimTiming.h"
#include "app/Setup.h"
#include "app/VerificationReport.h"
#include "app/Verify.h"
#include "core/FileDigest.h"
#include "core/Installation.h"
#include "import/DirectXComponents.h"
#include "import/GameFileList.h"
#include "import/GameImport.h"
#include "support/TemporaryFolder.h"
#include "support/TestHost.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <numeric>
#include <string>
#include <vector>

using namespace launcher;
using namespace launcher::bench;
namespace fs = std::filesystem;

namespace {

struct Options {
    int files = 3000;
    std::uintmax_t fileBytes = 65536;
    std::uintmax_t archiveMegabytes = 341;
    int rounds = 9;
};

Options parse(int argc, char** argv)
{
    Options options;
    readOptions(argc, argv, "veyra2-verify-benchmark [--files N] [--file-bytes N] [--archive-megabytes N] [--rounds N]",
                [&](const std::string& name, const char* value) {
                    if (name == "--files")
                        options.files = std::stoi(value);
                    else if (name == "--file-bytes")
                        options.fileBytes = std::stoull(value);
                    else if (name == "--archive-megabytes")
                        options.archiveMegabytes = std::stoull(value);
                    else if (name == "--rounds")
                        options.rounds = std::max(1, std::stoi(value));
                    else
                        return false;
                    return true;
                });
    return options;
}

void writeBytes(const fs::path& file, std::uintmax_t size, char fill)
{
    fs::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    const std::string block(1 << 20, fill);
    for (std::uintmax_t written = 0; written < size; written += block.size())
        out.write(block.data(), static_cast<std::streamsize>(std::min<std::uintmax_t>(size - written, block.size())));
}

struct Timing {
    double whole;
    double wine;
    std::size_t calls;
};

Timing timeVerification(const Installation& installation, const fs::path& shimLog, int rounds)
{
    std::vector<double> wholes;
    std::vector<double> wines;
    std::size_t calls = 0;
    for (int round = 0; round < rounds; ++round) {
        fs::remove(shimLog);
        const auto start = Clock::now();
        const VerificationReport report = verify(installation);
        wholes.push_back(milliseconds(Clock::now() - start));
        if (!report.sound()) {
            std::fprintf(stderr, "The installation is not sound:\n%s", report.text().c_str());
            std::exit(1);
        }
        const auto times = readShimLog(shimLog);
        calls = times.size();
        wines.push_back(std::accumulate(times.begin(), times.end(), 0.0));
    }
    return {median(wholes), median(wines), calls};
}

void printTiming(const char* title, const Timing& timing)
{
    std::printf("%s\n", title);
    std::printf("  verification, whole               %9.2f ms\n", timing.whole);
    std::printf("  its %zu wine calls, own run time    %9.2f ms\n", timing.calls, timing.wine);
    std::printf("  apart from the wine calls         %9.2f ms\n", timing.whole - timing.wine);
}

} // namespace

int main(int argc, char** argv)
{
    const Options options = parse(argc, argv);
    const testing::TemporaryFolder folder;
    const fs::path root = folder / "root";
    Constants pins = Constants::builtIn();
    const Installation installation(root, {}, testing::testHost(), pins);
    install(installation, testing::fixture("game/installer.zip"), testing::fixture("audio/MPSetup.exe"),
            testing::fixture("runtime/prefetched"));

    // The fixture game with a game's number of files, imported again.
    const fs::path game = folder / "Veyra 2";
    fs::copy(testing::fixture("game/Veyra 2"), game, fs::copy_options::recursive);
    for (int file = 0; file < options.files; ++file)
        writeBytes(game / ("data/pack" + std::to_string(file % 30)) / (std::to_string(file) + ".pak"),
                   options.fileBytes, static_cast<char>(file));
    auto start = Clock::now();
    importGame(installation, game);
    const double import = milliseconds(Clock::now() - start);
    installDirectX(installation);
    std::vector<double> listWrites;
    for (int round = 0; round < options.rounds; ++round) {
        start = Clock::now();
        writeGameFileList(installation.game(), folder / "game-files.json");
        listWrites.push_back(milliseconds(Clock::now() - start));
    }
    std::printf("Fixture game with %d files of %ju bytes added (%.0f MB)\n", options.files, options.fileBytes,
                static_cast<double>(options.files) * static_cast<double>(options.fileBytes) / 1e6);
    std::printf("  import, whole                     %9.2f ms\n", import);
    std::printf("  of which the game file list       %9.2f ms (median of %d writes)\n", median(listWrites),
                options.rounds);

    const fs::path shimLog = folder / "wine-calls.log";
    ::setenv("TIMING_SHIM_LOG", shimLog.c_str(), 1);
    shimInPlace(installation.wine());
    printTiming("Verification of the sound installation, fixture archives cached",
                timeVerification(installation, shimLog, options.rounds));

    // Cached archives of the real runtime's size, pinned for this run alone.
    const std::uintmax_t archiveBytes = options.archiveMegabytes * 1'000'000;
    writeBytes(installation.layout().downloads() / pins.engine.name, archiveBytes / 2, 'e');
    writeBytes(installation.layout().downloads() / pins.libraries.name, archiveBytes - archiveBytes / 2, 'l');
    pins.engine.sha256 = sha256Of(installation.layout().downloads() / pins.engine.name);
    pins.libraries.sha256 = sha256Of(installation.layout().downloads() / pins.libraries.name);
    const Installation realSize(root, {}, testing::testHost(), pins);
    const std::string title = "Verification with " + std::to_string(options.archiveMegabytes) + " MB of archives cached";
    printTiming(title.c_str(), timeVerification(realSize, shimLog, options.rounds));
    std::printf("(the timing shim's own cost, counted with the wine calls: %.2f ms per call)\n",
                shimCostMilliseconds(folder.path()));
    return 0;
}
