// Times "--cli --status" of the launcher program as a whole process, side by
// side with the same program built without the desktop front end, and reports
// their peak resident memory and whether any Qt library was mapped:
//
//   veyra2-cli-start-benchmark [--runs N]
//
// The two programs take turns on one fresh root (paired runs); medians, best
// times and their ratio are printed. The library check runs each program once
// more with the dynamic loader reporting every library it maps.

#include "BenchmarkSupport.h"
#include "ResidentMemory.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using launcher::bench::Clock;
using launcher::bench::median;

constexpr int kDefaultRuns = 200;

struct Run {
    double milliseconds = 0;
    std::uint64_t residentBytes = 0;
};

// Runs the program to its end with its output in `output` (or the null device).
Run runOnce(const fs::path& program, const std::vector<std::string>& arguments, const char* output = "/dev/null")
{
    std::vector<std::string> texts{program.string()};
    texts.insert(texts.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& text : texts)
        argv.push_back(text.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, output, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const auto start = Clock::now();
    pid_t pid = -1;
    const int error = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0)
        throw std::runtime_error("cannot start " + program.string());
    int status = 0;
    rusage usage{};
    while (::wait4(pid, &status, 0, &usage) < 0) {
    }
    const double elapsed = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error(program.string() + " failed");
    return {elapsed, launcher::bench::maxResidentBytes(usage.ru_maxrss)};
}

// Whether the loader mapped a Qt library during one run of the program.
bool mapsQt(const fs::path& program, const std::vector<std::string>& arguments, const fs::path& report)
{
#if defined(__APPLE__)
    ::setenv("DYLD_PRINT_LIBRARIES", "1", 1);
#else
    ::setenv("LD_DEBUG", "files", 1);
#endif
    runOnce(program, arguments, report.c_str());
    ::unsetenv("DYLD_PRINT_LIBRARIES");
    ::unsetenv("LD_DEBUG");
    std::FILE* file = std::fopen(report.c_str(), "r");
    std::string text;
    for (int c; file != nullptr && (c = std::fgetc(file)) != EOF;)
        text.push_back(static_cast<char>(c));
    if (file != nullptr)
        std::fclose(file);
    if (text.empty())
        throw std::runtime_error("the loader reported nothing for " + program.string());
    return text.find("Qt") != std::string::npos;
}

} // namespace

int main(int argc, char** argv)
{
    int runs = kDefaultRuns;
    launcher::bench::readOptions(argc, argv, "veyra2-cli-start-benchmark [--runs N]",
                                 [&](const std::string& name, const char* value) {
                                     if (name != "--runs")
                                         return false;
                                     runs = std::max(1, std::stoi(value));
                                     return true;
                                 });

    const fs::path folder = fs::temp_directory_path() / ("veyra2-cli-start-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const std::vector<std::string> arguments{"--cli", "--status", "--home", (folder / "root").string()};
    const fs::path programs[] = {VEYRA2_LAUNCHER_PROGRAM, VEYRA2_CLI_ONLY_PROGRAM};
    const char* names[] = {"launcher (with the desktop program beside it)", "same program without the desktop front end"};

    std::vector<double> times[2];
    std::uint64_t resident[2] = {0, 0};
    for (int i = 0; i < runs; ++i) {
        for (int which : {i % 2, 1 - i % 2}) {
            const Run run = runOnce(programs[which], arguments);
            times[which].push_back(run.milliseconds);
            resident[which] = std::max(resident[which], run.residentBytes);
        }
    }
    std::printf("--cli --status as a whole process, %d paired runs each\n", runs);
    for (int which : {0, 1}) {
        std::printf("  %-48s median %6.2f ms  best %6.2f ms  peak resident %5.1f MiB  Qt mapped: %s\n", names[which],
                    median(times[which]), *std::min_element(times[which].begin(), times[which].end()),
                    static_cast<double>(resident[which]) / (1 << 20),
                    mapsQt(programs[which], arguments, folder / "loader.txt") ? "yes" : "no");
    }
    std::printf("  ratio of the medians                             %6.3f (goal: at most 1.2)\n",
                median(times[0]) / median(times[1]));
    fs::remove_all(folder);
    return 0;
}
