#pragma once
// The one way every external program runs during setup: by absolute path, with
// an argument vector and no shell, standard input from the null device, in a
// process group of its own, waited for with a time-out. What it prints goes to
// the end of the setup log, or, for a capture, is returned instead. A non-zero
// exit and a time-out become the player's messages, which send the player to
// the setup log; a stopped or failed capture leaves its output there too. A
// check that only reads asks instead: the answer, kept in memory, is returned
// whether the program succeeded or not, so that no log needs to be written.
//
//   const ProcessRunner runner(layout.log(), supervision);
//   runner.run({tar, {"-xf", archive, "-C", folder}}, {.timeout = timeouts::kArchiveTool, .activity = "Unpacking"});
//   const std::string listing = runner.capture({tar, {"-tf", archive}});
//   const ProgramAnswer answer = runner.ask({wine, {"--version"}}, {.timeout = timeouts::kWineCheck});
//
// Blocks the calling thread until the program has ended; one program at a time
// per caller. While a program runs, the runner looks about every
// kWatchInterval for a stop request, and reports progress. It keeps no state
// between runs.

#include "core/ChildProcess.h"
#include "core/Host.h"
#include "core/Supervision.h"
#include "core/Timeouts.h"

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace launcher {

class CapturePipe;

struct RunOptions {
    // The child's whole environment; nullopt inherits the launcher's.
    std::optional<Environment> environment;
    // The child's working folder; nullopt keeps the launcher's own.
    std::optional<std::filesystem::path> directory;
    timeouts::Seconds timeout = timeouts::kDefault;
    // What the program does, in a few words for the player ("Unpacking"): while
    // it runs, progress tells this and for how long. Empty: no progress.
    std::string activity;
    // Called on the calling thread about every kWatchInterval while the program
    // runs, in place of the activity's progress, for progress and for limits of
    // the caller's own. Throwing stops the program the way a time-out does; the
    // exception then passes on unchanged.
    std::function<void()> watch;
    // Called after the program was stopped before its end (its time-out, a
    // failing watch, a stop request), before the failure passes on: for what
    // the stopped program could not clean up itself. Its failures are ignored.
    std::function<void()> afterStop;
};

// What a program asked by a check answered.
struct ProgramAnswer {
    // It exited with status 0 within its time, its output whole.
    bool succeeded = false;
    // What it printed, standard output and error interleaved as written.
    std::string text;
    // Whether the answer of a program that did not succeed reached the setup log.
    bool logged = false;
};

class ProcessRunner final {
public:
    static constexpr std::chrono::milliseconds kWatchInterval = kProgressInterval;
    // The most a capture keeps; a program that prints more is stopped, and its
    // run fails like a non-zero exit, since its output could not be read whole.
    static constexpr std::size_t kCaptureLimit = std::size_t{16} << 20;

    // `log` is the setup log; its folder is created before every run.
    explicit ProcessRunner(std::filesystem::path log, Supervision supervision = {})
        : m_log(std::move(log)), m_supervision(std::move(supervision))
    {
    }

    const std::filesystem::path& log() const { return m_log; }

    // Appends the program's output to the setup log.
    void run(const Command& command, const RunOptions& options = {}) const;
    // Returns what the program wrote to standard output and standard error,
    // interleaved as written; throws when it is not UTF-8 text.
    std::string capture(const Command& command, const RunOptions& options = {}) const;
    // For checks that only read: runs like capture(), but a program that does
    // not succeed (a non-zero exit, its time-out, output past the limit) is an
    // answer, not a failure. Only such an answer is added to the setup log, when
    // the log can be written; a success writes nothing. Throws when the program
    // cannot start, and on a stop request.
    ProgramAnswer ask(const Command& command, const RunOptions& options = {}) const;
    // For clean-up after a stop: runs like run() also when a stop was
    // requested, and ignores every failure.
    void runCleanUp(const Command& command, const RunOptions& options) const noexcept;

private:
    void runTo(int output, CapturePipe* capture, const Command& command, const RunOptions& options,
               bool honourStop) const;
    void runToLog(const Command& command, const RunOptions& options, bool honourStop) const;
    // Whether the text reached the end of the setup log.
    bool appendToLog(const std::string& text) const noexcept;

    std::filesystem::path m_log;
    Supervision m_supervision;
};

} // namespace launcher
