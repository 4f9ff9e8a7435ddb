#pragma once
// The processes below the test program, so that tests can end what they
// started and the harness can find what a test left behind. Read from /proc;
// on a system without it the lists are empty and nothing is adopted.

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
    // As /proc shows it: 'R', 'S', 'Z' (exited, not yet reaped) ...
    char state = '?';
    std::string commandLine;

    bool exited() const { return state == 'Z' || state == 'X'; }
};

// Every process descending from `ancestor`, not itself, exited ones included.
std::vector<ProcessInfo> descendantsOf(pid_t ancestor);

// Whether the process exists and has not exited.
bool isRunning(pid_t pid);

// Whether the process ignores the signal (as "nohup" makes a program ignore
// SIGHUP), from the mask /proc shows; false where there is no such mask.
bool ignoresSignal(pid_t pid, int signal);

// The process numbers a program under test wrote into `file`, separated by white space.
std::vector<pid_t> pidsIn(const std::filesystem::path& file);

// Whether the process has exited, or does so within `limit`: a process that was
// just killed takes a moment to finish exiting.
bool hasEndedWithin(pid_t pid, std::chrono::milliseconds limit);

// Makes this process adopt the orphans among its descendants, as init would
// otherwise, so that a program left behind by a killed child is still found.
void adoptOrphans();

// Reaps the exited processes this process adopted or started.
void reapExitedChildren();

// Kills every running descendant of `ancestor` and the process groups they
// lead; returns what was killed. The killed become exited processes, which
// their parents, or reapExitedChildren(), reap.
std::vector<ProcessInfo> killDescendants(pid_t ancestor);

} // namespace launcher::testing
