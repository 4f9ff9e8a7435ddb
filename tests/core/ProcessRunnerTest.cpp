#include "core/ProcessRunner.h"

#include "core/Host.h"
#include "core/SetupFailure.h"
#include "support/TemporaryFolder.h"

#include <chrono>
#include <system_error>

#include <gtest/gtest.h>

namespace launcher {
namespace {

using testing::readFile;
using testing::TemporaryFolder;
using testing::writeFile;

constexpr timeouts::Seconds kShortTimeOut{0.3};

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

    const auto failing = script("capturing", "echo listed; exit 1");
    EXPECT_THROW(m_runner.capture({failing, {}}), SetupFailure);
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
    EXPECT_LT(elapsed, std::chrono::seconds(10));
    EXPECT_EQ(readFile(m_runner.log()), "started\n");
}

TEST_F(ProcessRunner, ProgramThatHonoursTheTerminateRequestEndsAtItsTimeOut)
{
    const auto sleeper = script("sleeper", "exec sleep 60");
    const auto start = std::chrono::steady_clock::now();
    EXPECT_THROW(m_runner.capture({sleeper, {}}, {.timeout = kShortTimeOut}), SetupFailure);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    EXPECT_EQ(logEntries(), 0u);
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
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
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
