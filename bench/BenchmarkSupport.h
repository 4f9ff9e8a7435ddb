#pragma once
// What the benchmarks share: their options, a scratch folder, generated
// content, a program run, timing.

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace launcher::bench {

using Clock = std::chrono::steady_clock;

// Hands each "--name value" pair of a benchmark's command line to `take`,
// which returns false for a name it does not know. An unknown name, or a
// name without a value, prints `usage` and ends the program with status 2.
void readOptions(int argc, char** argv, const std::string& usage,
                 const std::function<bool(const std::string& name, const char* value)>& take);

// What a benchmark over one generated tree is told: --folder (a fresh folder
// inside it holds everything; by default inside the system's temporary folder),
// --megabytes and --files (the tree) and --rounds.
struct TreeOptions {
    std::filesystem::path folder;
    std::uintmax_t megabytes = 0;
    int files = 0;
    int rounds = 0;
};
// `name`, the program's, names the fresh folder; `defaults` gives the sizes and rounds.
TreeOptions parseTreeOptions(int argc, char** argv, const std::string& name, TreeOptions defaults);

// [--bytes N] [--rounds N] [--folder DIR] of the benchmarks over one large file:
// by default a file as large as both runtime archives together, 5 rounds, in the
// system's temporary folder.
struct LargeFileOptions {
    std::uintmax_t bytes = 341'000'000;
    int rounds = 5;
    std::filesystem::path folder = std::filesystem::temp_directory_path();
};
LargeFileOptions parseLargeFileOptions(int argc, char** argv, const std::string& program);

// Creates the benchmark's folder; removes it with everything in it when dropped.
class ScratchFolder final {
public:
    explicit ScratchFolder(std::filesystem::path folder);
    // A fresh folder below `parent`, named after the benchmark.
    ScratchFolder(const std::filesystem::path& parent, const std::string& name);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const { return m_folder; }

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

template <typename Value>
Value median(std::vector<Value> values)
{
    std::ranges::sort(values);
    return values[values.size() / 2];
}

} // namespace launcher::bench
