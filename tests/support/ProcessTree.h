#pragma once
// The processes below the test program, so that tests can end what they
// started and the harness can find what a test left behind. Read from the
// system's process table (TestPlatform.h).

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include <sys/types.h>

namespace launcher::testing {

struct ProcessInfo {
    pid_t pid = 0;
    pid_t parent = 0;
    pid_t group = 0;
    // As Linux's /proc shows it: 'R', 'S', 'T' (stopped by a signal), 'Z'
    // (exited, not yet reaped) ...
    char state = '?';
    std::string commandLine;

    bool exited() const { return state == 'Z' || state == 'X'; }
};

// Every process descending from `ancestor`, not itself, exited ones included.
std::vector<ProcessInfo> descendantsOf(pid_t ancestor);

// Whether the process exists and has not exited.
bool isRunning(pid_t pid);

// The process numbers a program under test wrote into `file`, separated by white space.
std::vector<pid_t> pidsIn(const std::filesystem::path& file);

// Whether the process has exited, or does so within `limit`: a process that was
// just killed takes a moment to finish exiting.
bool hasEndedWithin(pid_t pid, std::chrono::milliseconds limit);

// Reaps the exited processes this process adopted or started.
void reapExitedChildren();

// Kills every running descendant of `ancestor` and the process groups they
// lead; returns what was killed. The killed become exited processes, which
// their parents, or reapExitedChildren(), reap.
std::vector<ProcessInfo> killDescendants(pid_t ancestor);

} // namespace launcher::testing
