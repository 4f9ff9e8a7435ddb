#pragma once
// A built program started in the background, whose standard output is read line
// by line as it arrives, for tests that act while the program runs. Dropped
// while it runs, it is killed together with every program it started.

#include "support/ProgramRun.h"

#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <sys/types.h>

namespace launcher::testing {

class RunningProgram final {
public:
    RunningProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                   const ProgramOptions& options = {});
    ~RunningProgram();
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    pid_t pid() const { return m_pid; }
    // The next line of standard output without its line feed; nullopt at its end.
    std::optional<std::string> readLine();
    void signal(int number) const;
    // Kills the program and, first, every program it started with their
    // process groups, as a crash of the whole machine would; then waits.
    ProgramResult killWithPrograms();
    // Waits for the exit; the result holds the rest of standard output and all of standard error.
    ProgramResult wait();

private:
    std::string standardError();

    pid_t m_pid = -1;
    int m_out = -1;
    std::string m_buffer;
    std::filesystem::path m_errFile;
    // With standard error on a pseudo-terminal: what a reader thread took from it.
    int m_terminal = -1;
    std::thread m_terminalReader;
    std::mutex m_terminalGuard;
    std::string m_terminalText;
    std::optional<ProgramResult> m_result;
};

} // namespace launcher::testing
