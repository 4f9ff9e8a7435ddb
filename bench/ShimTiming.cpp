#include "ShimTiming.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>

namespace launcher::bench {

namespace fs = std::filesystem;

double milliseconds(Clock::duration duration)
{
    return std::chrono::duration<double, std::milli>(duration).count();
}

void runDirectly(const std::vector<std::string>& command)
{
    if (!runProgram(command))
        std::exit(1);
}

void placeShim(const fs::path& path, const fs::path& real)
{
    fs::create_directories(path.parent_path());
    fs::copy_file(VEYRA2_TIMING_SHIM, path, fs::copy_options::overwrite_existing);
    fs::remove(path.string() + ".real");
    fs::create_symlink(real, path.string() + ".real");
}

void shimInPlace(const fs::path& program)
{
    fs::rename(program, program.string() + ".real");
    fs::copy_file(VEYRA2_TIMING_SHIM, program);
}

std::vector<double> readShimLog(const fs::path& log)
{
    std::vector<double> times;
    std::ifstream in(log);
    for (long long nanoseconds = 0; in >> nanoseconds;)
        times.push_back(nanoseconds / 1e6);
    return times;
}

double shimCostMilliseconds(const fs::path& folder)
{
    const fs::path shim = folder / "tools/true";
    placeShim(shim, "/usr/bin/true");
    std::vector<double> differences;
    for (int i = 0; i < 200; ++i) {
        auto start = Clock::now();
        runDirectly({"/usr/bin/true"});
        const double direct = milliseconds(Clock::now() - start);
        start = Clock::now();
        runDirectly({shim});
        differences.push_back(milliseconds(Clock::now() - start) - direct);
    }
    return median(differences);
}

} // namespace launcher::bench
