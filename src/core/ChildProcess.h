#pragma once
// A program started with posix_spawn: by absolute path, with an argument vector,
// an explicit or inherited environment, standard input from the null device and
// both output streams to one open file. No shell is involved, and no other
// descriptor of the launcher's reaches the program. Each program leads a
// process group of its own, and its signals reach that whole group.
//
// The exit is noticed at once: a waiter thread blocks on the child and wakes the
// caller, so waiting with a deadline costs no polling delay.

#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <sys/types.h>

namespace launcher {

// A child's whole environment, variable name to value.
using Environment = std::map<std::string, std::string>;

struct SpawnRequest {
    std::filesystem::path executable;
    std::vector<std::string> arguments;
    // The child's whole environment; nullopt inherits the launcher's.
    std::optional<Environment> environment;
    std::optional<std::filesystem::path> directory;
    // Receives standard output and standard error; not closed by the child
    // process object. Without one both go to the null device.
    int output = -1;
};

class ChildProcess final {
public:
    // Throws std::system_error with the platform's error when the program cannot
    // start, or when the start cannot be described (a working folder or output
    // that the spawn set-up refuses).
    static ChildProcess spawn(const SpawnRequest& request);

    ChildProcess(ChildProcess&&) noexcept = default;
    ChildProcess& operator=(ChildProcess&&) noexcept = default;
    ~ChildProcess() = default;

    pid_t pid() const { return m_pid; }

    // The termination status once the program has exited, or nullopt when it is
    // still running after `timeout`. A program ended by signal N reports 128 + N.
    std::optional<int> waitFor(std::chrono::duration<double> timeout) const;
    int wait() const;

    // Sends the signal to the program's process group unless the program has
    // already exited.
    void signal(int number) const;
    // Asks the program's group to terminate and kills the group when the program
    // is still running after `grace`, or else as soon as the program has exited;
    // returns once the program has exited, with its termination status.
    int stop(std::chrono::duration<double> grace) const;

    struct State;

private:
    ChildProcess(pid_t pid, std::shared_ptr<State> state) : m_pid(pid), m_state(std::move(state)) {}

    pid_t m_pid = -1;
    std::shared_ptr<State> m_state;
};

} // namespace launcher
