#pragma once
// The one way every external program runs during setup: by absolute path, with
// an argument vector and no shell, standard input from the null device, waited
// for with a time-out. What it prints goes to the end of the setup log, or, for
// a capture, is returned instead. A non-zero exit and a time-out become the
// player's messages, which send the player to the setup log.
//
//   const ProcessRunner runner(layout.log());
//   runner.run({tar, {"-xf", archive, "-C", folder}}, {.timeout = timeouts::kArchiveTool});
//   const std::string listing = runner.capture({tar, {"-tf", archive}});
//
// Blocks the calling thread until the program has ended; one program at a time
// per caller. The runner keeps no state between runs.

#include "core/ChildProcess.h"
#include "core/Host.h"
#include "core/Timeouts.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace launcher {

struct RunOptions {
    // The child's whole environment; nullopt inherits the launcher's.
    std::optional<Environment> environment;
    // The child's working folder; nullopt keeps the launcher's own.
    std::optional<std::filesystem::path> directory;
    timeouts::Seconds timeout = timeouts::kDefault;
    // Called on the calling thread about every kWatchInterval while the program
    // runs, for progress and for limits of the caller's own. Throwing stops the
    // program the way a time-out does; the exception then passes on unchanged.
    std::function<void()> watch;
};

class ProcessRunner final {
public:
    static constexpr std::chrono::milliseconds kWatchInterval{200};

    // `log` is the setup log; its folder is created before every run.
    explicit ProcessRunner(std::filesystem::path log) : m_log(std::move(log)) {}

    const std::filesystem::path& log() const { return m_log; }

    // Appends the program's output to the setup log.
    void run(const Command& command, const RunOptions& options = {}) const;
    // Returns what the program wrote to standard output and standard error,
    // interleaved as written; throws when it is not UTF-8 text.
    std::string capture(const Command& command, const RunOptions& options = {}) const;

private:
    void runTo(int output, const std::filesystem::path& outputPath, const Command& command,
               const RunOptions& options) const;

    std::filesystem::path m_log;
};

} // namespace launcher
