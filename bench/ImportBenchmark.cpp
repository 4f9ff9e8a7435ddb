// Imports a generated game folder of about 2 GB in about 3,000 files, side by
// side with `cp -r` of the same folder on the same file system.
//
//   veyra2-import-benchmark [--folder <scratch folder>] [--megabytes 2048] [--files 3000] [--rounds 3]
//
// The scratch folder (default: a fresh folder in the system's temporary folder)
// holds the game, the launcher's root and the cp copy, so all three share one
// file system. Everything is removed at the end.

#include "BenchmarkSupport.h"
#include "core/Installation.h"
#include "import/GameImport.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using launcher::bench::Clock;
using launcher::bench::median;
using launcher::bench::runProgram;
using launcher::bench::writeNoise;

// The five required files and maps, then data files in 30 folders, sizes varying
// around the mean; a few large archives as real games have.
void generateGame(const fs::path& game, const launcher::bench::TreeOptions& options)
{
    for (const char* required : {"veyra2.exe", "xlive.dll", "maps/shared.map", "maps/mainmenu.map",
                                 "maps/single_player_shared.map"})
        writeNoise(game / required, 1 << 20, 1);
    const std::uintmax_t total = options.megabytes << 20;
    const std::uintmax_t large = total / 4;
    for (int i = 0; i < 4; ++i)
        writeNoise(game / "data" / ("archive" + std::to_string(i) + ".pak"), large / 4, 2 + i);
    const std::uintmax_t mean = (total - large) / static_cast<std::uintmax_t>(options.files);
    for (int i = 0; i < options.files; ++i) {
        const std::uintmax_t size = mean / 2 + (mean * static_cast<std::uintmax_t>(i % 11)) / 10;
        writeNoise(game / ("content/folder" + std::to_string(i % 30)) / ("file" + std::to_string(i) + ".dat"), size,
                   100 + i);
    }
}

double timeCopyCommand(std::vector<std::string> command, const fs::path& from, const fs::path& to)
{
    command.push_back(from.string());
    command.push_back(to.string());
    const auto start = Clock::now();
    if (!runProgram(command))
        throw std::runtime_error("cp failed");
    return launcher::bench::secondsSince(start);
}

double timeImport(const launcher::Installation& installation, const fs::path& game)
{
    const auto start = Clock::now();
    importGame(installation, game);
    return launcher::bench::secondsSince(start);
}

} // namespace

int main(int argc, char** argv)
{
    const launcher::bench::TreeOptions options = launcher::bench::parseTreeOptions(
        argc, argv, "veyra2-import-benchmark", {.megabytes = 2048, .files = 3000, .rounds = 3});
    const launcher::bench::ScratchFolder scratch(options.folder);

    const fs::path game = options.folder / "Veyra 2";
    std::printf("Generating %ju MB in %d files in %s ...\n", options.megabytes, options.files + 9,
                game.c_str());
    generateGame(game, options);
    ::sync();

    launcher::bench::printCopyPrimitive(game / "veyra2.exe");

    // GNU cp clones by default where it can; a forced byte copy shows what cloning saves.
    std::vector<std::pair<std::string, std::vector<std::string>>> commands{{"cp -r", {"/bin/cp", "-r"}}};
    const fs::path probe = options.folder / "probe";
    if (runProgram({"/bin/cp", "--reflink=never", (game / "xlive.dll").string(), probe.string()}))
        commands.push_back({"cp -r --reflink=never", {"/bin/cp", "-r", "--reflink=never"}});
    fs::remove(probe);

    const launcher::Installation installation(options.folder / "root");
    const fs::path copy = options.folder / "cp-copy";
    std::vector<std::vector<double>> times(commands.size() + 1);
    std::printf("%-6s %-16s", "round", "importGame (s)");
    for (const auto& command : commands)
        std::printf(" %-24s", (command.first + " (s)").c_str());
    std::printf("\n");
    for (int round = 0; round < options.rounds; ++round) {
        // Rotate the order, so that no side always meets another's write-back.
        for (std::size_t step = 0; step < times.size(); ++step) {
            const std::size_t side = (step + static_cast<std::size_t>(round)) % times.size();
            if (side == 0) {
                times[0].push_back(timeImport(installation, game));
                fs::remove_all(installation.game());
            } else {
                times[side].push_back(timeCopyCommand(commands[side - 1].second, game, copy));
                fs::remove_all(copy);
            }
            ::sync();
        }
        std::printf("%-6d", round + 1);
        for (const auto& side : times)
            std::printf(" %-16.2f", side.back());
        std::printf("\n");
    }
    std::printf("median");
    for (const auto& side : times)
        std::printf(" %-16.2f", median(side));
    std::printf("\nimportGame / cp -r = %.2f\n", median(times[0]) / median(times[1]));
    return 0;
}
