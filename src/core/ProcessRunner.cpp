#include "core/ProcessRunner.h"

#include "core/CapturePipe.h"
#include "core/PlayerSentences.h"
#include "core/Posix.h"
#include "core/RegularFile.h"
#include "core/SetupFailure.h"
#include "core/Utf8Text.h"

#include <algorithm>
#include <cerrno>
#include <exception>

#include <unistd.h>

namespace launcher {
namespace {

using Clock = std::chrono::steady_clock;

ProgramFailure exitFailure(const Command& command, int status)
{
    return ProgramFailure(command.executable.filename().string() + " failed (" + std::to_string(status)
                              + "). Open the setup log for details. If antivirus quarantined a file, review its report "
                                "before retrying.",
                          status);
}

// Waits up to `limit` for the program's exit, reading its captured output meanwhile.
std::optional<int> awaitExit(const ChildProcess& child, CapturePipe* capture, Clock::duration limit)
{
    if (capture == nullptr || capture->ended())
        return child.waitFor(limit);
    capture->readFor(limit);
    return child.waitFor(Clock::duration::zero());
}

// The runner's regular look at a running program; throwing stops the program.
void supervise(const Supervision& supervision, const RunOptions& options, bool honourStop, Clock::duration elapsed)
{
    if (honourStop)
        supervision.stop.throwIfRequested();
    if (options.watch)
        options.watch();
    else if (!options.activity.empty() && supervision.progress)
        supervision.progress({.activity = options.activity, .elapsed = elapsed});
}

} // namespace

void ProcessRunner::run(const Command& command, const RunOptions& options) const
{
    runToLog(command, options, true);
}

void ProcessRunner::runCleanUp(const Command& command, const RunOptions& options) const noexcept
{
    try {
        runToLog(command, options, false);
    } catch (...) {
        // A clean-up that fails leaves things no worse than the stop it follows.
    }
}

std::string ProcessRunner::capture(const Command& command, const RunOptions& options) const
{
    CapturePipe pipe(kCaptureLimit);
    try {
        runTo(pipe.writeEnd(), &pipe, command, options, true);
    } catch (...) {
        // A failed capture's output belongs where the failure's message sends the player.
        if (!pipe.text().empty())
            appendToLog(pipe.text());
        throw;
    }
    if (!isValidUtf8(pipe.text()))
        throwFileError("captured output is not UTF-8 text", command.executable, EILSEQ);
    return pipe.text();
}

ProgramAnswer ProcessRunner::ask(const Command& command, const RunOptions& options) const
{
    CapturePipe pipe(kCaptureLimit);
    try {
        runTo(pipe.writeEnd(), &pipe, command, options, true);
    } catch (const SetupFailure&) {
        return {.succeeded = false, .text = pipe.text(), .logged = appendToLog(pipe.text())};
    }
    return {.succeeded = true, .text = pipe.text()};
}

void ProcessRunner::runToLog(const Command& command, const RunOptions& options, bool honourStop) const
{
    std::filesystem::create_directories(m_log.parent_path());
    const FileDescriptor output = openRegularForAppending(m_log);
    runTo(output.get(), nullptr, command, options, honourStop);
}

void ProcessRunner::runTo(int output, CapturePipe* capture, const Command& command, const RunOptions& options,
                          bool honourStop) const
{
    if (honourStop)
        m_supervision.stop.throwIfRequested();
    const ChildProcess child =
        ChildProcess::spawn({command.executable, command.arguments, options.environment, options.directory, output});
    if (capture != nullptr)
        capture->closeWriteEnd();

    const auto started = Clock::now();
    const auto deadline = started + std::chrono::duration_cast<Clock::duration>(options.timeout);
    auto nextLook = started + kWatchInterval;
    std::optional<int> status;
    // Why the program is to be stopped; none when its output overflowed the capture.
    std::exception_ptr reason;
    while (!status && !reason && !(capture != nullptr && capture->overflowed())) {
        const auto now = Clock::now();
        if (now >= deadline) {
            reason = std::make_exception_ptr(SetupFailure(sentences::kStepTimedOut));
            break;
        }
        status = awaitExit(child, capture, std::min(deadline, nextLook) - now);
        if (status || Clock::now() < nextLook)
            continue;
        nextLook = Clock::now() + kWatchInterval;
        try {
            supervise(m_supervision, options, honourStop, Clock::now() - started);
        } catch (...) {
            reason = std::current_exception();
        }
    }

    if (!status) {
        status = child.stop(timeouts::kGracePeriod);
        if (options.afterStop) {
            try {
                options.afterStop();
            } catch (...) {
                // The clean-up of a stop must not hide why the program was stopped.
            }
        }
        if (reason)
            std::rethrow_exception(reason);
        // Output that could not be captured whole must never be judged: the run failed.
        throw exitFailure(command, *status);
    }

    if (capture != nullptr)
        capture->drain();
    else if (::fsync(output) != 0)
        throwFileError("cannot flush output file", m_log);
    if (*status != 0 || (capture != nullptr && capture->overflowed()))
        throw exitFailure(command, *status);
}

bool ProcessRunner::appendToLog(const std::string& text) const noexcept
{
    try {
        std::filesystem::create_directories(m_log.parent_path());
        FileDescriptor log = openRegularForAppending(m_log);
        writeAll(log.get(), text, m_log);
        return log.close() == 0;
    } catch (...) {
        // The program's failure is what the player must see, not this one.
        return false;
    }
}

} // namespace launcher
