// The snapshot a launch takes of the player's saves, on a generated save tree of
// about 200 MB in about 3,000 files with one file changed, side by side with
// `cp -r` of the same tree on the same file system.
//
//   veyra2-snapshot-benchmark [--folder <scratch folder>] [--megabytes 200] [--files 3000] [--rounds 7]
//
// Before the timed rounds, ten snapshots are taken, so that every round also
// rotates the oldest out, as launches do once the player has played ten times.
// Each round changes one file, takes the launch's snapshot, which the game
// waits for, then rotates, which a launch does once the game has started, then
// copies the tree with cp -r. Everything is removed at the end.

#include "BenchmarkSupport.h"
#include "saves/SaveSnapshots.h"

#include <cstdio>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using launcher::bench::Clock;
using launcher::bench::median;
using launcher::bench::secondsSince;

// Save games, settings and screenshots of a few game profiles, in 40 folders;
// sizes vary around the mean.
void generateSaves(const fs::path& profile, const launcher::bench::TreeOptions& options)
{
    const std::uintmax_t mean = (options.megabytes << 20) / static_cast<std::uintmax_t>(options.files);
    for (int i = 0; i < options.files; ++i) {
        const std::uintmax_t size = mean / 2 + (mean * static_cast<std::uintmax_t>(i % 11)) / 10;
        launcher::bench::writeNoise(profile / ("Documents/Veyra 2/folder" + std::to_string(i % 40)) /
                                        ("save" + std::to_string(i) + ".sav"),
                                    size, 100 + static_cast<std::uint64_t>(i));
    }
}

struct LaunchTimes {
    double snapshot = 0;
    double rotation = 0;
};

LaunchTimes timeLaunchSnapshot(const launcher::SaveSnapshots& snapshots)
{
    const auto start = Clock::now();
    const std::optional<launcher::TakenSnapshot> taken = snapshots.take();
    if (!taken)
        throw std::runtime_error("no snapshot was taken");
    const double snapshot = secondsSince(start);
    const auto rotationStart = Clock::now();
    snapshots.rotate(taken->name);
    return {snapshot, secondsSince(rotationStart)};
}

} // namespace

int main(int argc, char** argv)
{
    const launcher::bench::TreeOptions options = launcher::bench::parseTreeOptions(
        argc, argv, "veyra2-snapshot-benchmark", {.megabytes = 200, .files = 3000, .rounds = 7});
    const launcher::bench::ScratchFolder scratch(options.folder);

    const launcher::Layout layout(options.folder / "root");
    const fs::path profile = layout.users() / "player";
    std::printf("Generating %ju MB in %d files in %s ...\n", options.megabytes, options.files, profile.c_str());
    generateSaves(profile, options);
    fs::create_directories(layout.game());
    ::sync();
    launcher::bench::printCopyPrimitive(profile / "Documents/Veyra 2/folder0/save0.sav");

    const launcher::SaveSnapshots snapshots(layout);
    const double first = timeLaunchSnapshot(snapshots).snapshot;
    ::sync();
    const auto unchangedStart = Clock::now();
    snapshots.take();
    const double unchanged = secondsSince(unchangedStart);
    std::printf("first snapshot (every file copied): %.3f s; nothing changed (no snapshot): %.1f ms\n", first,
                unchanged * 1000);

    const fs::path changed = profile / "Documents/Veyra 2/folder7/save7.sav";
    int version = 0;
    auto changeOneFile = [&] { launcher::bench::writeNoise(changed, fs::file_size(changed), 1000 + ++version); };
    for (std::size_t filled = 1; filled < launcher::SaveSnapshots::kRotated; ++filled) {
        changeOneFile();
        timeLaunchSnapshot(snapshots);
    }
    ::sync();

    const fs::path copy = options.folder / "cp-copy";
    std::vector<double> snapshotTimes;
    std::vector<double> rotationTimes;
    std::vector<double> copyTimes;
    std::printf("%-6s %-26s %-24s %-10s\n", "round", "snapshot, 1 changed (ms)", "then rotation (ms)", "cp -r (ms)");
    for (int round = 0; round < options.rounds; ++round) {
        changeOneFile();
        ::sync();
        const LaunchTimes times = timeLaunchSnapshot(snapshots);
        snapshotTimes.push_back(times.snapshot);
        rotationTimes.push_back(times.rotation);
        ::sync();
        const auto start = Clock::now();
        if (!launcher::bench::runProgram({"/bin/cp", "-r", layout.users().string(), copy.string()}))
            throw std::runtime_error("cp failed");
        copyTimes.push_back(secondsSince(start));
        fs::remove_all(copy);
        ::sync();
        std::printf("%-6d %-26.1f %-24.1f %-10.1f\n", round + 1, snapshotTimes.back() * 1000,
                    rotationTimes.back() * 1000, copyTimes.back() * 1000);
    }
    const double snapshot = median(snapshotTimes);
    const double rotation = median(rotationTimes);
    const double cp = median(copyTimes);
    std::printf("median %-26.1f %-24.1f %-10.1f\n", snapshot * 1000, rotation * 1000, cp * 1000);
    std::printf("snapshot / cp -r = %.3f (goal: at most 0.100); with the rotation: %.3f\n", snapshot / cp,
                (snapshot + rotation) / cp);
    std::printf("launch delay the snapshot adds before the game starts: %.1f ms with one file changed, %.1f ms with "
                "nothing changed; the rotation, %.1f ms, follows the start\n",
                snapshot * 1000, unchanged * 1000, rotation * 1000);
    return snapshot / cp <= 0.1 ? 0 : 1;
}
