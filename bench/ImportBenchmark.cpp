// Imports a generated game folder of about 2 GB in about 3,000 files, side by
// side with `cp -r` of the same folder on the same file system.
//
//   veyra2-import-benchmark [--folder <scratch folder>] [--megabytes 2048] [--files 3000] [--rounds 3]
//
// The scratch folder (default: a fresh folder in the system's temporary folder)
// holds the game, the launcher's root and the cp copy, so all three share one
// file system. Everything is removed at the end.

#include "core/Installer.h"
#include "core/FileCopy.h"
#include "core/StagingFolder.h"
#include "core/Uuid.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

struct Options {
    fs::path folder = fs::temp_directory_path() / ("veyra2-import-benchmark-" + launcher::freshUuid());
    std::uintmax_t megabytes = 2048;
    int files = 3000;
    int rounds = 3;
};

Options parse(int argc, char** argv)
{
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        if (name == "--folder")
            options.folder = fs::path(argv[i + 1]) / ("veyra2-import-benchmark-" + launcher::freshUuid());
        else if (name == "--megabytes")
            options.megabytes = std::stoull(argv[i + 1]);
        else if (name == "--files")
            options.files = std::stoi(argv[i + 1]);
        else if (name == "--rounds")
            options.rounds = std::stoi(argv[i + 1]);
    }
    return options;
}

// Incompressible content, so that no file system or copy tool can skip it as holes.
void writeNoise(const fs::path& file, std::uintmax_t size, std::uint64_t seed)
{
    fs::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    std::vector<std::uint64_t> block(1 << 17);
    std::uint64_t state = seed * 0x9E3779B97F4A7C15ULL + 1;
    for (std::uintmax_t written = 0; written < size;) {
        for (auto& word : block) {
            state ^= state << 13, state ^= state >> 7, state ^= state << 17;
            word = state;
        }
        const auto n = static_cast<std::streamsize>(std::min<std::uintmax_t>(size - written, block.size() * 8));
        out.write(reinterpret_cast<const char*>(block.data()), n);
        written += static_cast<std::uintmax_t>(n);
    }
}

// The five required files and maps, then data files in 30 folders, sizes varying
// around the mean; a few large archives as real games have.
void generateGame(const fs::path& game, const Options& options)
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

double seconds(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Runs the program to completion; false when it fails.
bool runProgram(std::vector<std::string> arguments)
{
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    pid_t child = 0;
    if (::posix_spawn(&child, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        return false;
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

double timeCopyCommand(std::vector<std::string> command, const fs::path& from, const fs::path& to)
{
    command.push_back(from.string());
    command.push_back(to.string());
    const auto start = Clock::now();
    if (!runProgram(command))
        throw std::runtime_error("cp failed");
    return seconds(start);
}

double timeImport(const launcher::Installer& installer, const fs::path& game)
{
    const auto start = Clock::now();
    installer.importGame(game);
    return seconds(start);
}

double median(std::vector<double> values)
{
    std::ranges::sort(values);
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    const Options options = parse(argc, argv);
    fs::create_directories(options.folder);
    struct Cleanup {
        fs::path folder;
        ~Cleanup() { launcher::removeTreeQuietly(folder); }
    } cleanup{options.folder};

    const fs::path game = options.folder / "Veyra 2";
    std::printf("Generating %ju MB in %d files in %s ...\n", options.megabytes, options.files + 9,
                game.c_str());
    generateGame(game, options);
    ::sync();

    const fs::path probe = options.folder / "probe";
    std::printf("Copy primitive on this file system: %s\n",
                std::string(launcher::copyFile(game / "veyra2.exe", probe)).c_str());
    fs::remove(probe);

    // GNU cp clones by default where it can; a forced byte copy shows what cloning saves.
    std::vector<std::pair<std::string, std::vector<std::string>>> commands{{"cp -r", {"/bin/cp", "-r"}}};
    if (runProgram({"/bin/cp", "--reflink=never", (game / "xlive.dll").string(), probe.string()}))
        commands.push_back({"cp -r --reflink=never", {"/bin/cp", "-r", "--reflink=never"}});
    fs::remove(probe);

    const launcher::Installer installer(options.folder / "root");
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
                times[0].push_back(timeImport(installer, game));
                fs::remove_all(installer.game());
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
