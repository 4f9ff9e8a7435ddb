#include "core/ProcessRunner.h"

#include "core/Host.h"
#include "core/Posix.h"
#include "core/SetupFailure.h"
#include "support/ProcessTree.h"
#include "support/StopFromAnotherThread.h"
#include "support/TemporaryFolder.h"
#include "support/TestPlatform.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <functional>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <system_error>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

namespace launcher {
namespace {

using testing::readFile;
using testing::TemporaryFolder;
using testing::writeFile;

constexpr timeouts::Seconds kShortTimeOut{0.3};
// The programs below run for a minute or more unless stopped: a stop that
// waited for them would take that long. Room for a loaded machine, all the same.
constexpr std::chrono::seconds kPromptEnd{15};

class ProcessRunner : public ::testing::Test {
protected:
    // A shell script in the test folder, started by absolute path like every program.
    std::filesystem::path script(const std::string& name, const std::string& body) const
    {
        const auto path = m_folder / "bin" / name;
        writeFile(path, "#!/bin/sh\n" + body + "\n");
        std::filesystem::permissions(path, std::filesystem::perms::owner_all);
        return path;
    }

    size_t logEntries() const
    {
        size_t count = 0;
        if (!std::filesystem::exists(m_root / "Logs"))
            return count;
        for (const auto& entry : std::filesystem::directory_iterator(m_root / "Logs"))
            count += entry.path().filename() != "setup.log";
        return count;
    }

    TemporaryFolder m_folder;
    std::filesystem::path m_root = m_folder / "root";
    launcher::ProcessRunner m_runner{m_root / "Logs/setup.log"};
};

TEST_F(ProcessRunner, AppendsOutputOfSuccessiveRunsToTheSetupLogInRunOrder)
{
    const auto hello = script("hello", "echo \"out $1\"; echo \"err $1\" >&2");
    m_runner.run({hello, {"one"}});
    m_runner.run({hello, {"two"}});
    EXPECT_EQ(readFile(m_runner.log()), "out one\nerr one\nout two\nerr two\n");
}

TEST_F(ProcessRunner, CaptureReturnsBothStreamsInterleavedAndLeavesNothingInLogs)
{
    const auto chatty = script("chatty", "echo a; echo b >&2; echo c");
    EXPECT_EQ(m_runner.capture({chatty, {}}), "a\nb\nc\n");
    EXPECT_FALSE(std::filesystem::exists(m_runner.log()));
    EXPECT_EQ(logEntries(), 0u);
}

TEST_F(ProcessRunner, PassesArgumentsVerbatimTheWholeEnvironmentTheFolderAndAnEmptyInput)
{
    const auto show = script("show", "printf '[%s]' \"$@\"; echo; echo \"$ONLY:$HOME\"; pwd; cat");
    const auto output = m_runner.capture({show, {"a b", "$HOME", "'\"", ""}},
                                           {.environment = Environment{{"ONLY", "set"}}, .directory = m_folder.path()});
    EXPECT_EQ(output, "[a b][$HOME]['\"][]\nset:\n" + m_folder.path().string() + "\n");
}

// A program receives its three standard streams and nothing else the launcher
// holds open, even a descriptor left without close-on-exec (by a library, or
// by another thread in the moment before it could mark one).
TEST_F(ProcessRunner, ProgramsReceiveNoDescriptorButTheirStandardStreams)
{
    constexpr int kHeld = 57;
    ASSERT_EQ(::fcntl(kHeld, F_GETFD), -1) << "descriptor " << kHeld << " is taken";
    const FileDescriptor opened(::open("/dev/null", O_RDONLY | O_CLOEXEC));
    // dup2 makes a copy without close-on-exec.
    ASSERT_EQ(::dup2(opened.get(), kHeld), kHeld);
    const FileDescriptor held(kHeld);

    // ls lists its own descriptors, among them the one it reads the listing through.
    const std::string listing = m_runner.capture({"/bin/ls", {"/dev/fd"}});
    std::istringstream descriptors(listing);
    std::vector<int> seen;
    for (int fd = 0; descriptors >> fd;)
        seen.push_back(fd);
    std::ranges::sort(seen);
    ASSERT_GE(seen.size(), 3u) << listing;
    EXPECT_EQ(std::vector<int>(seen.begin(), seen.begin() + 3), (std::vector<int>{0, 1, 2})) << listing;
    EXPECT_LE(seen.size(), 4u) << listing;
    EXPECT_EQ(std::ranges::count(seen, kHeld), 0) << listing;
}

TEST_F(ProcessRunner, NonZeroExitNamesTheProgramAndItsStatus)
{
    const auto tar = script("tar", "echo 'tar: cannot open' >&2; exit 2");
    try {
        m_runner.run({tar, {"-xf", "missing"}});
        FAIL() << "the run succeeded";
    } catch (const SetupFailure& failure) {
        EXPECT_STREQ(failure.what(), "tar failed (2). Open the setup log for details. If antivirus quarantined a file, "
                                     "review its report before retrying.");
    }
    EXPECT_EQ(readFile(m_runner.log()), "tar: cannot open\n");

    // A failed capture leaves its output where the message sends the player.
    const auto failing = script("capturing", "echo listed; exit 1");
    EXPECT_THROW(m_runner.capture({failing, {}}), SetupFailure);
    EXPECT_EQ(readFile(m_runner.log()), "tar: cannot open\nlisted\n");
    EXPECT_EQ(logEntries(), 0u);
}

TEST_F(ProcessRunner, ProgramIgnoringTheTerminateRequestIsKilledAfterTheGracePeriod)
{
    const auto stubborn = script("stubborn", "trap '' TERM; echo started; while :; do :; done");
    const auto start = std::chrono::steady_clock::now();
    try {
        m_runner.run({stubborn, {}}, {.timeout = kShortTimeOut});
        FAIL() << "the run succeeded";
    } catch (const SetupFailure& failure) {
        EXPECT_STREQ(failure.what(), "A setup step timed out. Retry setup; details are in the setup log.");
    }
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_GE(elapsed, std::chrono::milliseconds(3300));
    EXPECT_LT(elapsed, kPromptEnd);
    EXPECT_EQ(readFile(m_runner.log()), "started\n");
}

TEST_F(ProcessRunner, ProgramThatHonoursTheTerminateRequestEndsAtItsTimeOut)
{
    const auto sleeper = script("sleeper", "echo waiting; exec sleep 60");
    const auto start = std::chrono::steady_clock::now();
    EXPECT_THROW(m_runner.capture({sleeper, {}}, {.timeout = kShortTimeOut}), SetupFailure);
    EXPECT_LT(std::chrono::steady_clock::now() - start, kPromptEnd);
    EXPECT_EQ(readFile(m_runner.log()), "waiting\n") << "a timed-out capture leaves its output in the setup log";
    EXPECT_EQ(logEntries(), 0u);
}

// Each way of stopping a program reaches everything in its process group, here
// a helper it started in the background, and runs the caller's clean-up once.
TEST_F(ProcessRunner, EveryStopEndsTheProgramsWholeGroupAndRunsTheCleanUpOnce)
{
    const auto pids = m_folder / "pids";
    const auto family = script("family", "sleep 3600 & echo $! > '" + pids.string() + "'; echo $$ >> '" +
                                             pids.string() + "'; while :; do sleep 1; done");
    struct Case {
        const char* name;
        timeouts::Seconds timeout;
        bool failingWatch;
        bool stopFromAnotherThread;
        std::string failure;
    };
    const Case cases[] = {
        {"time-out", kShortTimeOut, false, false, "A setup step timed out. Retry setup; details are in the setup log."},
        {"failing watch", timeouts::kDefault, true, false, "the caller's own limit"},
        {"stop request", timeouts::kDefault, false, true, "Setup was stopped before it finished. Run it again to continue."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(pids);
        const StopRequest stop;
        const launcher::ProcessRunner runner(m_runner.log(), {.stop = stop});
        int cleanUps = 0;
        RunOptions options{.timeout = c.timeout, .afterStop = [&] { ++cleanUps; }};
        if (c.failingWatch) {
            options.watch = [&] {
                if (std::filesystem::exists(pids))
                    throw std::runtime_error("the caller's own limit");
            };
        }
        testing::StopRequester requester;
        if (c.stopFromAnotherThread)
            requester = testing::requestStopOnceFileExists(stop, pids);
        const auto start = std::chrono::steady_clock::now();
        try {
            runner.run({family, {}}, options);
            ADD_FAILURE() << "the run ended by itself";
        } catch (const std::exception& failure) {
            EXPECT_EQ(failure.what(), c.failure);
        }
        EXPECT_LT(std::chrono::steady_clock::now() - start, kPromptEnd);
        EXPECT_EQ(cleanUps, 1);
        for (const pid_t pid : testing::pidsIn(pids))
            EXPECT_TRUE(testing::hasEndedWithin(pid, std::chrono::seconds(1))) << pid;
    }

    // A program that fails by itself was not stopped: no clean-up.
    int cleanUps = 0;
    EXPECT_THROW(m_runner.run({script("failing", "exit 3"), {}}, {.afterStop = [&] { ++cleanUps; }}), SetupFailure);
    EXPECT_EQ(cleanUps, 0);
}

// A program stopped by a signal (SIGSTOP, a debugger) cannot act on the
// terminate request, and waiting for its exit must not hold what the stop needs:
// the stop still ends it, by the kill after the grace period.
TEST_F(ProcessRunner, StopEndsAProgramThatASignalHasStopped)
{
    const auto pids = m_folder / "pids";
    const auto sleeper = script("sleeper", "echo $$ > '" + pids.string() + "'; exec sleep 3600");
    const StopRequest stop;
    const launcher::ProcessRunner runner(m_runner.log(), {.stop = stop});
    const auto isStopped = [](pid_t pid) {
        for (const testing::ProcessInfo& process : testing::descendantsOf(::getpid()))
            if (process.pid == pid)
                return process.state == 'T';
        return false;
    };
    pid_t stopped = 0;
    const RunOptions options{.watch = [&] {
        const std::vector<pid_t> found = testing::pidsIn(pids);
        if (stopped != 0 || found.empty())
            return;
        stopped = found.front();
        ASSERT_EQ(::kill(stopped, SIGSTOP), 0);
        const auto deadline = std::chrono::steady_clock::now() + kPromptEnd;
        while (!isStopped(stopped) && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        ASSERT_TRUE(isStopped(stopped));
        stop.request();
    }};

    const auto start = std::chrono::steady_clock::now();
    EXPECT_THROW(runner.run({sleeper, {}}, options), SetupStopped);
    EXPECT_LT(std::chrono::steady_clock::now() - start, kPromptEnd);
    ASSERT_NE(stopped, 0);
    EXPECT_TRUE(testing::hasEndedWithin(stopped, std::chrono::seconds(1)));
}

TEST_F(ProcessRunner, AfterAStopRequestOnlyTheCleanUpStillRunsAndItsFailuresAreIgnored)
{
    const StopRequest stop;
    stop.request();
    const launcher::ProcessRunner runner(m_runner.log(), {.stop = stop});
    const auto marker = m_folder / "started";
    const auto touch = script("touch-marker", "echo cleaning; touch '" + marker.string() + "'; exit 4");

    EXPECT_THROW(runner.run({touch, {}}), SetupStopped);
    EXPECT_THROW(runner.capture({touch, {}}), SetupStopped);
    EXPECT_FALSE(std::filesystem::exists(marker));

    runner.runCleanUp({touch, {}}, {});
    EXPECT_TRUE(std::filesystem::exists(marker));
    EXPECT_EQ(readFile(runner.log()), "cleaning\n");
    runner.runCleanUp({m_folder / "bin/absent", {}}, {});
    runner.runCleanUp({script("hanging", "exec sleep 60"), {}}, {.timeout = kShortTimeOut});
}

TEST_F(ProcessRunner, ReportsTheActivityAndItsTimeWhileTheProgramRuns)
{
    std::vector<Progress> events;
    const launcher::ProcessRunner runner(m_runner.log(),
                                         {.progress = [&](const Progress& progress) { events.push_back(progress); }});
    const auto slow = script("slow", "sleep 0.7");

    const auto start = std::chrono::steady_clock::now();
    runner.run({slow, {}}, {.activity = "Unpacking"});
    const timeouts::Seconds run = std::chrono::steady_clock::now() - start;
    ASSERT_GE(events.size(), 2u);
    for (std::size_t i = 0; i < events.size(); ++i) {
        EXPECT_EQ(events[i].activity, "Unpacking");
        EXPECT_FALSE(events[i].bytes);
        // Counted from the program's start.
        EXPECT_LE(events[i].elapsed, run);
        if (i > 0) {
            EXPECT_GT(events[i].elapsed, events[i - 1].elapsed);
        }
    }

    // Without an activity, or with a watch of the caller's own, the runner reports nothing itself.
    events.clear();
    runner.capture({slow, {}});
    runner.run({slow, {}}, {.activity = "Unpacking", .watch = [] {}});
    EXPECT_TRUE(events.empty());
}

// The player's shell chose what a program ignores (nohup's SIGHUP); the runner
// undoes only what the launcher itself changes: SIGPIPE, which it ignores, and
// blocked signals. And each program leads a process group of its own.
TEST_F(ProcessRunner, ProgramsKeepTheShellsIgnoredSignalsAndStartUnblockedInAGroupOfTheirOwn)
{
    struct SavedAction {
        int number;
        struct sigaction action;
    };
    std::vector<SavedAction> saved;
    for (const int number : {SIGHUP, SIGPIPE}) {
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        saved.push_back({number, {}});
        ::sigaction(number, &ignore, &saved.back().action);
    }
    sigset_t blocked;
    sigset_t previousMask;
    sigemptyset(&blocked);
    sigaddset(&blocked, SIGUSR1);
    ::pthread_sigmask(SIG_BLOCK, &blocked, &previousMask);

    // The program tells whether SIGUSR1 reaches it; the rest is read from the
    // kernel's record of it while it runs.
    const auto pids = m_folder / "pids";
    const auto program = script("signals", "trap 'echo unblocked' USR1; kill -USR1 $$; echo $$ > '" +
                                               pids.string() + "'; exec sleep 60");
    std::optional<testing::ProcessInfo> seen;
    bool hangUpIgnored = false;
    bool brokenPipeIgnored = true;
    const RunOptions options{.watch = [&] {
        const std::vector<pid_t> found = testing::pidsIn(pids);
        if (found.empty())
            return;
        seen = testing::processInfo(found.front());
        hangUpIgnored = testing::ignoresSignal(found.front(), SIGHUP);
        brokenPipeIgnored = testing::ignoresSignal(found.front(), SIGPIPE);
        throw std::runtime_error("seen");
    }};
    EXPECT_THROW(m_runner.run({program, {}}, options), std::runtime_error);

    ::pthread_sigmask(SIG_SETMASK, &previousMask, nullptr);
    for (const auto& [number, action] : saved)
        ::sigaction(number, &action, nullptr);

    EXPECT_EQ(readFile(m_runner.log()), "unblocked\n");
    ASSERT_TRUE(seen);
    EXPECT_EQ(seen->group, seen->pid);
    EXPECT_TRUE(hangUpIgnored);
    EXPECT_FALSE(brokenPipeIgnored);
}

TEST_F(ProcessRunner, OutputTooLargeToCaptureFailsAsAFailedRunOfTheProgram)
{
    const auto endless = script("endless", "exec yes 'one line of a listing that never ends'");
    try {
        m_runner.capture({endless, {}});
        FAIL() << "the capture was taken";
    } catch (const SetupFailure& failure) {
        EXPECT_STREQ(failure.what(), "endless failed (143). Open the setup log for details. If antivirus quarantined "
                                     "a file, review its report before retrying.");
    }
    EXPECT_EQ(std::filesystem::file_size(m_runner.log()), launcher::ProcessRunner::kCaptureLimit);
}

TEST_F(ProcessRunner, WatchRunsWhileTheProgramRunsAndAFailureOfItStopsTheProgram)
{
    const auto sleeper = script("sleeper", "echo started; exec sleep 60");
    int calls = 0;
    const auto start = std::chrono::steady_clock::now();
    try {
        m_runner.run({sleeper, {}}, {.watch = [&] {
            if (++calls == 3)
                throw std::runtime_error("the caller's own limit");
        }});
        FAIL() << "the run succeeded";
    } catch (const std::runtime_error& failure) {
        EXPECT_STREQ(failure.what(), "the caller's own limit");
    }
    EXPECT_EQ(calls, 3);
    EXPECT_LT(std::chrono::steady_clock::now() - start, kPromptEnd);
    EXPECT_EQ(readFile(m_runner.log()), "started\n");

    const auto quick = script("quick", "exit 0");
    m_runner.run({quick, {}}, {.watch = [] { throw std::runtime_error("a program that ends at once is not watched"); }});
}

TEST_F(ProcessRunner, MissingOrNonExecutableProgramFailsWithThePlatformError)
{
    try {
        m_runner.run({m_folder / "bin/absent", {}});
        FAIL() << "the run succeeded";
    } catch (const std::filesystem::filesystem_error&) {
        FAIL() << "a start failure is the platform's error, not a file error";
    } catch (const std::system_error&) {
    }
    writeFile(m_folder / "bin/plain", "#!/bin/sh\n");
    std::filesystem::permissions(m_folder / "bin/plain", std::filesystem::perms::owner_read);
    try {
        m_runner.capture({m_folder / "bin/plain", {}});
        FAIL() << "the run succeeded";
    } catch (const SetupFailure&) {
        FAIL() << "a start failure must not read as a failed run";
    } catch (const std::filesystem::filesystem_error&) {
        FAIL() << "a start failure is the platform's error, not a file error";
    } catch (const std::system_error&) {
    }
    EXPECT_EQ(logEntries(), 0u);

    // A working folder that is not there never lets the program start elsewhere.
    const auto marker = m_folder / "started";
    const auto touch = script("touch-marker", "touch '" + marker.string() + "'");
    EXPECT_THROW(m_runner.run({touch, {}}, {.directory = m_folder / "absent"}), std::system_error);
    EXPECT_FALSE(std::filesystem::exists(marker));
}

TEST_F(ProcessRunner, RecreatesLogsAndFailsWhenTheLogCannotBeOpened)
{
    const auto hello = script("hello", "echo hi");
    m_runner.run({hello, {}});
    std::filesystem::remove_all(m_root / "Logs");
    m_runner.run({hello, {}});
    EXPECT_EQ(readFile(m_runner.log()), "hi\n");

    std::filesystem::remove(m_runner.log());
    std::filesystem::create_directory(m_runner.log());
    EXPECT_THROW(m_runner.run({hello, {}}), std::filesystem::filesystem_error);
}

TEST_F(ProcessRunner, CapturedOutputThatIsNotUtf8IsAFileError)
{
    const auto binary = script("binary", "printf 'caf\\351\\n'");
    EXPECT_THROW(m_runner.capture({binary, {}}), std::filesystem::filesystem_error);
    EXPECT_EQ(logEntries(), 0u);
}

} // namespace
} // namespace launcher
