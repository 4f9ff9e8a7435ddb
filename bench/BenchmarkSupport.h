#pragma once
// What the file benchmarks share: generated content, a program run, timing.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace launcher::bench {

using Clock = std::chrono::steady_clock;

// What a benchmark over one generated tree is told: --folder (a fresh folder
// inside it holds everything; by default inside the system's temporary folder),
// --megabytes and --files (the tree) and --rounds.
struct TreeOptions {
    std::filesystem::path folder;
    std::uintmax_t megabytes = 0;
    int files = 0;
    int rounds = 0;
};
// `name` names the fresh folder; `defaults` gives the sizes and rounds.
TreeOptions parseTreeOptions(int argc, char** argv, const std::string& name, TreeOptions defaults);

// Creates the benchmark's folder; removes it with everything in it when dropped.
class ScratchFolder final {
public:
    explicit ScratchFolder(std::filesystem::path folder);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

private:
    std::filesystem::path m_folder;
};

// Prints which primitive copies `sample` within its folder's file system.
void printCopyPrimitive(const std::filesystem::path& sample);

// Writes `size` bytes of incompressible content, so that no file system or copy
// tool can skip it as holes; the seed chooses the bytes.
void writeNoise(const std::filesystem::path& file, std::uintmax_t size, std::uint64_t seed);

// Runs the program (an absolute path first) to completion; false when it fails.
bool runProgram(std::vector<std::string> arguments);

double secondsSince(Clock::time_point start);
double median(std::vector<double> values);

} // namespace launcher::bench
