#pragma once
// Runs a built program as a user would from a shell, for end-to-end tests.

#include <chrono>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace launcher::testing {

struct ProgramResult {
    int status = -1;
    std::string out;
    std::string err;
};

// Where the program's standard output goes.
enum class StandardOutput {
    // A pipe that the test reads.
    Pipe,
    // Nowhere: descriptor 1 is closed, as after ">&-".
    Closed,
    // A pipe whose reading end is already closed, as when piped into a reader
    // that has quit ("| head -1").
    Broken,
};

struct ProgramOptions {
    // Variables set on top of the test's own environment; an empty value removes the variable.
    std::map<std::string, std::string> environment;
    std::optional<std::filesystem::path> directory;
    StandardOutput output = StandardOutput::Pipe;
    // Standard error on a pseudo-terminal, as in a terminal window; otherwise a file.
    bool errorOnTerminal = false;
};

// Runs the program to its end; standard input is the null device.
ProgramResult runProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                         const ProgramOptions& options = {});

// The environment of this process with `changes` applied as runProgram does.
std::map<std::string, std::string> environmentWith(const std::map<std::string, std::string>& changes);

} // namespace launcher::testing
