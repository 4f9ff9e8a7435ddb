#include "core/Installer.h"
#include "core/SetupFailure.h"
#include "support/TemporaryFolder.h"
#include "support/TestConstants.h"

#include <chrono>
#include <system_error>

#include <gtest/gtest.h>

namespace launcher {
namespace {

using testing::readFile;
using testing::TemporaryFolder;
using testing::writeFile;

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
    Installer m_installer{m_root, {}, testing::testConstants()};
};

TEST_F(ProcessRunner, AppendsOutputOfSuccessiveRunsToTheSetupLogInRunOrder)
{
    const auto hello = script("hello", "echo \"out $1\"; echo \"err $1\" >&2");
    EXPECT_EQ(m_installer.run(hello, {"one"}), "");
    EXPECT_EQ(m_installer.run(hello, {"two"}), "");
    EXPECT_EQ(readFile(m_installer.log()), "out one\nerr one\nout two\nerr two\n");
}

TEST_F(ProcessRunner, CaptureReturnsBothStreamsInterleavedAndLeavesNothingInLogs)
{
    const auto chatty = script("chatty", "echo a; echo b >&2; echo c");
    EXPECT_EQ(m_installer.run(chatty, {}, std::nullopt, std::nullopt, true), "a\nb\nc\n");
    EXPECT_FALSE(std::filesystem::exists(m_installer.log()));
    EXPECT_EQ(logEntries(), 0u);
}

TEST_F(ProcessRunner, PassesArgumentsVerbatimTheWholeEnvironmentTheFolderAndAnEmptyInput)
{
    const auto show = script("show", "printf '[%s]' \"$@\"; echo; echo \"$ONLY:$HOME\"; pwd; cat");
    const auto output = m_installer.run(show, {"a b", "$HOME", "'\"", ""}, Environment{{"ONLY", "set"}}, m_folder.path(), true);
    EXPECT_EQ(output, "[a b][$HOME]['\"][]\nset:\n" + m_folder.path().string() + "\n");
}

TEST_F(ProcessRunner, NonZeroExitNamesTheProgramAndItsStatus)
{
    const auto tar = script("tar", "echo 'tar: cannot open' >&2; exit 2");
    try {
        m_installer.run(tar, {"-xf", "missing"});
        FAIL() << "the run succeeded";
    } catch (const SetupFailure& failure) {
        EXPECT_STREQ(failure.what(), "tar failed (2). Open the setup log for details. If antivirus quarantined a file, "
                                     "review its report before retrying.");
    }
    EXPECT_EQ(readFile(m_installer.log()), "tar: cannot open\n");

    const auto failing = script("capturing", "echo listed; exit 1");
    EXPECT_THROW(m_installer.run(failing, {}, std::nullopt, std::nullopt, true), SetupFailure);
    EXPECT_EQ(logEntries(), 0u);
}

TEST_F(ProcessRunner, ProgramIgnoringTheTerminateRequestIsKilledAfterTheGracePeriod)
{
    const auto stubborn = script("stubborn", "trap '' TERM; echo started; while :; do :; done");
    const auto start = std::chrono::steady_clock::now();
    try {
        m_installer.run(stubborn, {}, std::nullopt, std::nullopt, false, 0.3);
        FAIL() << "the run succeeded";
    } catch (const SetupFailure& failure) {
        EXPECT_STREQ(failure.what(), "A setup step timed out. Retry setup; details are in the setup log.");
    }
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_GE(elapsed, std::chrono::milliseconds(3300));
    EXPECT_LT(elapsed, std::chrono::seconds(10));
    EXPECT_EQ(readFile(m_installer.log()), "started\n");
}

TEST_F(ProcessRunner, ProgramThatHonoursTheTerminateRequestEndsAtItsTimeOut)
{
    const auto sleeper = script("sleeper", "exec sleep 60");
    const auto start = std::chrono::steady_clock::now();
    EXPECT_THROW(m_installer.run(sleeper, {}, std::nullopt, std::nullopt, true, 0.3), SetupFailure);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    EXPECT_EQ(logEntries(), 0u);
}

TEST_F(ProcessRunner, MissingOrNonExecutableProgramFailsWithThePlatformError)
{
    try {
        m_installer.run(m_folder / "bin/absent", {});
        FAIL() << "the run succeeded";
    } catch (const std::filesystem::filesystem_error&) {
        FAIL() << "a start failure is the platform's error, not a file error";
    } catch (const std::system_error&) {
    }
    writeFile(m_folder / "bin/plain", "#!/bin/sh\n");
    std::filesystem::permissions(m_folder / "bin/plain", std::filesystem::perms::owner_read);
    try {
        m_installer.run(m_folder / "bin/plain", {}, std::nullopt, std::nullopt, true);
        FAIL() << "the run succeeded";
    } catch (const SetupFailure&) {
        FAIL() << "a start failure must not read as a failed run";
    } catch (const std::filesystem::filesystem_error&) {
        FAIL() << "a start failure is the platform's error, not a file error";
    } catch (const std::system_error&) {
    }
    EXPECT_EQ(logEntries(), 0u);
}

TEST_F(ProcessRunner, RecreatesLogsAndFailsWhenTheLogCannotBeOpened)
{
    const auto hello = script("hello", "echo hi");
    m_installer.run(hello, {});
    std::filesystem::remove_all(m_root / "Logs");
    m_installer.run(hello, {});
    EXPECT_EQ(readFile(m_installer.log()), "hi\n");

    std::filesystem::remove(m_installer.log());
    std::filesystem::create_directory(m_installer.log());
    EXPECT_THROW(m_installer.run(hello, {}), std::filesystem::filesystem_error);
}

TEST_F(ProcessRunner, CapturedOutputThatIsNotUtf8IsAFileError)
{
    const auto binary = script("binary", "printf 'caf\\351\\n'");
    EXPECT_THROW(m_installer.run(binary, {}, std::nullopt, std::nullopt, true), std::filesystem::filesystem_error);
    EXPECT_EQ(logEntries(), 0u);
}

} // namespace
} // namespace launcher
