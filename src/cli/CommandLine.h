#pragma once
// The command-line front end: one command per process, chosen by the strict
// grammar of the command table (CommandTable.h), which also makes the usage text.
//
// A command line outside the grammar prints the usage text and the word that
// was not understood on `err`, exits 1 and touches nothing. Status lines go to
// `out` as they happen; a failure's message goes to `err`, and so does, on a
// terminal, the progress line of long steps. A setup stopped by SIGINT,
// SIGTERM or SIGHUP cleans up, says so on `err` and ends by that signal; a
// launch passes SIGINT and SIGTERM on to the game.

#include <ostream>
#include <string>
#include <vector>

namespace launcher::cli {

// What the command line may do to the process it runs in. The defaults suit a
// run inside another program, such as a test.
struct CliProcess {
    // `err` is a terminal: long steps draw one self-updating progress line there.
    bool progressLine = false;
    // Called with the signal that stopped setup, after its clean-up and message;
    // the program passes endBySignal. Without it runCLI returns 128 + the number.
    void (*endBy)(int signal) = nullptr;
};

// Takes the whole argument list, program path first; returns the exit status.
int runCLI(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
           const CliProcess& process = {});

} // namespace launcher::cli
