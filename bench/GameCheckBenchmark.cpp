// The game-file check of --verify (every file the import listed in
// Install/game-files.json against its recorded size) beside a plain lstat() of
// the same files, at two sizes of game, with the game sound and with every
// listed file changed, when the list of changed files grows with the game: the
// check must grow with the number of files as the stat does, so that a
// regression to quadratic work shows.
//
//   veyra2-game-check-benchmark [--folder <scratch folder>] [--files 100000] [--rounds 5]
//
// The root holds only the game, --files small files (and a tenth as many for
// the smaller size) in folders of 100, and its list, so verification starts no
// runtime and its other parts find nothing to read. Everything is generated in
// the scratch folder (default: a fresh folder in the system's temporary
// folder), which is removed at the end. Medians of the rounds, all from the page
// cache after a first round. The stat slows down per file as well at the
// larger size (more folders than the caches hold close), so the goal is
// relative to it: exits 1 when the check's time over the stat's at the larger
// size is more than twice that at the smaller one; quadratic work would make it
// about ten times.

#include "BenchmarkSupport.h"
#include "app/VerificationReport.h"
#include "app/Verify.h"
#include "core/Installation.h"
#include "import/GameFileList.h"
#include "import/GameLocation.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;
using launcher::bench::Clock;
using launcher::bench::median;
using launcher::bench::secondsSince;

void writeSmallFile(const fs::path& file, std::string_view bytes)
{
    std::FILE* out = std::fopen(file.c_str(), "wb");
    if (out == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size() || std::fclose(out) != 0)
        throw std::runtime_error("cannot write " + file.string());
}

// The game's required files, and `files` files of 1 to 64 bytes, 100 to a
// folder, whose relative names it returns.
std::vector<std::string> generateGame(const fs::path& game, int files)
{
    for (const std::string_view required : launcher::kRequiredGameFiles) {
        fs::create_directories((game / required).parent_path());
        writeSmallFile(game / required, "");
    }
    std::vector<std::string> names;
    const std::string content(64, 'x');
    for (int i = 0; i < files; ++i) {
        names.push_back("data/folder" + std::to_string(i / 100) + "/file" + std::to_string(i) + ".dat");
        if (i % 100 == 0)
            fs::create_directories((game / names.back()).parent_path());
        writeSmallFile(game / names.back(), std::string_view(content).substr(0, 1 + i % 64));
    }
    return names;
}

// What the check reads of each file, without the list: its status, not followed.
std::size_t statEach(const fs::path& game, const std::vector<std::string>& names)
{
    std::size_t regular = 0;
    struct stat info{};
    for (const std::string& name : names)
        regular += ::lstat((game / name).c_str(), &info) == 0 && S_ISREG(info.st_mode) ? 1 : 0;
    return regular;
}

struct Timing {
    int files = 0;
    double sound = 0;
    double changed = 0;
    double stat = 0;
};

// The median time of verifying the root, whose game line must be as expected.
double timeVerification(const fs::path& root, int rounds, bool sound)
{
    const launcher::Installation installation(root);
    std::vector<double> times;
    // The first round only fills the page cache.
    for (int round = 0; round <= rounds; ++round) {
        const auto start = Clock::now();
        const launcher::VerificationReport report = verify(installation);
        const double seconds = secondsSince(start);
        const std::optional<std::string>& game = report.lines[2].problem;
        if (!game || game->starts_with("Game files are missing or changed") == sound)
            throw std::runtime_error("verification did not find the game as generated: " + game.value_or("ok"));
        if (round > 0)
            times.push_back(seconds);
    }
    return median(times);
}

Timing measure(const fs::path& folder, int files, int rounds)
{
    const fs::path root = folder / ("root-" + std::to_string(files));
    const launcher::Layout layout(root);
    const std::vector<std::string> names = generateGame(layout.game(), files);
    launcher::writeGameFileList(layout.game(), layout.gameFileList());

    std::vector<double> stats;
    for (int round = 0; round <= rounds; ++round) {
        const auto start = Clock::now();
        if (statEach(layout.game(), names) != names.size())
            throw std::runtime_error("a generated file is missing");
        if (round > 0)
            stats.push_back(secondsSince(start));
    }
    // The sound game's line names only the graphics libraries, which are not
    // generated; once every listed file has changed, it names them all.
    const double sound = timeVerification(root, rounds, true);
    for (const std::string& name : names)
        fs::resize_file(layout.game() / name, fs::file_size(layout.game() / name) + 1);
    const double changed = timeVerification(root, rounds, false);
    return {files, sound, changed, median(stats)};
}

} // namespace

int main(int argc, char** argv)
{
    const launcher::bench::TreeOptions options =
        launcher::bench::parseTreeOptions(argc, argv, "veyra2-game-check-benchmark", {.files = 100'000, .rounds = 5});
    const launcher::bench::ScratchFolder scratch(options.folder);

    std::printf("%10s %10s %16s %10s %14s %16s\n", "files", "sound (s)", "all changed (s)", "lstat (s)",
                "sound / lstat", "changed / lstat");
    std::vector<Timing> timings;
    for (const int files : {std::max(1, options.files / 10), options.files}) {
        const Timing t = measure(scratch.path(), files, options.rounds);
        std::printf("%10d %10.3f %16.3f %10.3f %14.2f %16.2f\n", t.files, t.sound, t.changed, t.stat,
                    t.sound / t.stat, t.changed / t.stat);
        std::fflush(stdout);
        timings.push_back(t);
    }
    // How much the check's time over the stat's grew with the game.
    const auto growth = [&](double Timing::*time) {
        return (timings[1].*time / timings[1].stat) / (timings[0].*time / timings[0].stat);
    };
    const double worst = std::max(growth(&Timing::sound), growth(&Timing::changed));
    std::printf("the check against lstat at %d files over %d: %.2f sound, %.2f all changed "
                "(linear: about 1; goal: under 2)\n",
                timings[1].files, timings[0].files, growth(&Timing::sound), growth(&Timing::changed));
    return worst < 2 ? 0 : 1;
}
