#include "BenchmarkSupport.h"

#include "core/FileCopy.h"
#include "core/StagingFolder.h"
#include "core/Uuid.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace launcher::bench {

void readOptions(int argc, char** argv, const std::string& usage,
                 const std::function<bool(const std::string& name, const char* value)>& take)
{
    for (int i = 1; i < argc; i += 2) {
        if (i + 1 == argc || !take(argv[i], argv[i + 1])) {
            std::fprintf(stderr, "usage: %s\n", usage.c_str());
            std::exit(2);
        }
    }
}

TreeOptions parseTreeOptions(int argc, char** argv, const std::string& name, TreeOptions defaults)
{
    TreeOptions options = std::move(defaults);
    std::filesystem::path parent = std::filesystem::temp_directory_path();
    readOptions(argc, argv, name + " [--folder DIR] [--megabytes N] [--files N] [--rounds N]",
                [&](const std::string& option, const char* value) {
                    if (option == "--folder")
                        parent = value;
                    else if (option == "--megabytes")
                        options.megabytes = std::stoull(value);
                    else if (option == "--files")
                        options.files = std::stoi(value);
                    else if (option == "--rounds")
                        options.rounds = std::max(1, std::stoi(value));
                    else
                        return false;
                    return true;
                });
    options.folder = parent / (name + "-" + freshUuid());
    return options;
}

LargeFileOptions parseLargeFileOptions(int argc, char** argv, const std::string& program)
{
    LargeFileOptions options;
    readOptions(argc, argv, program + " [--bytes N] [--rounds N] [--folder DIR]",
                [&](const std::string& option, const char* value) {
                    if (option == "--bytes")
                        options.bytes = std::stoull(value);
                    else if (option == "--rounds")
                        options.rounds = std::max(1, std::stoi(value));
                    else if (option == "--folder")
                        options.folder = value;
                    else
                        return false;
                    return true;
                });
    return options;
}

ScratchFolder::ScratchFolder(std::filesystem::path folder) : m_folder(std::move(folder))
{
    std::filesystem::create_directories(m_folder);
}

ScratchFolder::ScratchFolder(const std::filesystem::path& parent, const std::string& name)
    : ScratchFolder(parent / ("veyra2-" + name + "-" + freshUuid()))
{
}

ScratchFolder::~ScratchFolder()
{
    removeTreeQuietly(m_folder);
}

void printCopyPrimitive(const std::filesystem::path& sample)
{
    const std::filesystem::path probe = sample.parent_path() / ("probe-" + freshUuid());
    std::printf("Copy primitive on this file system: %s\n", std::string(copyFile(sample, probe)).c_str());
    std::filesystem::remove(probe);
}

void writeNoise(const std::filesystem::path& file, std::uintmax_t size, std::uint64_t seed)
{
    std::filesystem::create_directories(file.parent_path());
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

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

} // namespace launcher::bench
