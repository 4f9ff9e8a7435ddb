#pragma once
// The large files the benchmarks work on: their common options, a working
// folder removed on every way out, and incompressible content from a fast
// generator.

#include "core/StagingFolder.h"
#include "core/Uuid.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace launcher::bench {

// [--bytes N] [--rounds N] [--folder DIR]: by default a file as large as both
// runtime archives together, 5 rounds, in the system's temporary folder.
struct LargeFileOptions {
    std::uintmax_t bytes = 341'000'000;
    int rounds = 5;
    std::filesystem::path folder = std::filesystem::temp_directory_path();
};

// Throws std::invalid_argument with the usage of `program` for anything else.
inline LargeFileOptions parseLargeFileOptions(int argc, char** argv, const std::string& program)
{
    LargeFileOptions options;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        if (name == "--bytes")
            options.bytes = std::stoull(argv[i + 1]);
        else if (name == "--rounds")
            options.rounds = std::max(1, std::stoi(argv[i + 1]));
        else if (name == "--folder")
            options.folder = argv[i + 1];
        else
            throw std::invalid_argument("unknown option " + name);
    }
    if (argc % 2 == 0)
        throw std::invalid_argument("usage: " + program + " [--bytes N] [--rounds N] [--folder DIR]");
    return options;
}

class WorkFolder final {
public:
    // A fresh folder below `parent`, named after the benchmark.
    WorkFolder(const std::filesystem::path& parent, const std::string& name)
        : m_path(parent / ("veyra2-" + name + "-" + freshUuid()))
    {
        std::filesystem::create_directories(m_path);
    }
    ~WorkFolder() { removeTreeQuietly(m_path); }
    WorkFolder(const WorkFolder&) = delete;
    WorkFolder& operator=(const WorkFolder&) = delete;
    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

// Incompressible content from a fast generator, written in 1 MiB blocks.
inline void writeIncompressibleFile(const std::filesystem::path& file, std::uintmax_t bytes)
{
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    std::vector<std::uint64_t> block((1 << 20) / sizeof(std::uint64_t));
    std::uint64_t state = 0x9E3779B97F4A7C15ULL;
    for (std::uintmax_t written = 0; written < bytes;) {
        for (auto& word : block) {
            state ^= state << 13;
            state ^= state >> 7;
            state ^= state << 17;
            word = state;
        }
        const auto size = static_cast<std::streamsize>(std::min<std::uintmax_t>(bytes - written, 1 << 20));
        out.write(reinterpret_cast<const char*>(block.data()), size);
        written += static_cast<std::uintmax_t>(size);
    }
    if (!out.flush())
        throw std::runtime_error("cannot write " + file.string());
}

} // namespace launcher::bench
