#pragma once
// A built program started in the background, whose standard output is read line
// by line as it arrives, for tests that act while the program runs.

#include "support/ProgramRun.h"

#include <filesystem>
#include <optional>
#include <string>
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

    // The next line of standard output without its line feed; nullopt at its end.
    std::optional<std::string> readLine();
    void signal(int number) const;
    // Waits for the exit; the result holds the rest of standard output and all of standard error.
    ProgramResult wait();

private:
    pid_t m_pid = -1;
    int m_out = -1;
    std::string m_buffer;
    std::filesystem::path m_errFile;
    std::optional<ProgramResult> m_result;
};

} // namespace launcher::testing
