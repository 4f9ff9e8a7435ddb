#include "core/InstallLock.h"
#include "core/SetupFailure.h"
#include "support/TemporaryFolder.h"
#include "support/Unprivileged.h"

#include <csignal>
#include <optional>
#include <vector>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace launcher {
namespace {

namespace fs = std::filesystem;
using testing::TemporaryFolder;

constexpr const char* kHeldElsewhere = "Another launcher is installing or playing Veyra 2. Close it before continuing.";

void expectRefused(const std::filesystem::path& file)
{
    try {
        InstallLock lock(file);
        ADD_FAILURE() << "the lock was granted";
    } catch (const SetupFailure& failure) {
        EXPECT_STREQ(failure.what(), kHeldElsewhere);
    }
}

// A child process that takes the lock and keeps it until it is killed.
pid_t holdInAnotherProcess(const std::filesystem::path& file)
{
    int ready[2];
    EXPECT_EQ(::pipe(ready), 0);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(ready[0]);
        try {
            InstallLock lock(file);
            (void)!::write(ready[1], "1", 1);
            ::pause();
        } catch (...) {
        }
        ::_exit(1);
    }
    ::close(ready[1]);
    char byte = 0;
    EXPECT_EQ(::read(ready[0], &byte, 1), 1);
    ::close(ready[0]);
    return pid;
}

TEST(InstallLock, CreatesTheLockFileOwnerOnlyAndExcludesASecondHolderInTheSameProcess)
{
    const TemporaryFolder root;
    const auto file = root / "launcher.lock";
    {
        const InstallLock lock(file);
        struct stat info{};
        ASSERT_EQ(::stat(file.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0600);
        expectRefused(file);
    }
    EXPECT_NO_THROW(InstallLock{file});
    EXPECT_TRUE(std::filesystem::exists(file));
}

TEST(InstallLock, ExcludesOtherProcessesUntilTheHolderIsKilled)
{
    const TemporaryFolder root;
    const auto file = root / "launcher.lock";
    const pid_t holder = holdInAnotherProcess(file);
    expectRefused(file);
    ::kill(holder, SIGKILL);
    ::waitpid(holder, nullptr, 0);
    EXPECT_NO_THROW(InstallLock{file});
}

// Only another holder is "another launcher"; any other failure is the platform's
// error naming the lock file, so the player learns what to fix.
TEST(InstallLock, ALockFileThatCannotBeOpenedIsTheFileSystemsErrorWithItsPath)
{
    const TemporaryFolder folder;
    testing::writeFile(folder / "file", "");
    const fs::path players = testing::playersFolder(folder / "players");
    fs::permissions(testing::playersFolder(players / "read-only root"), fs::perms::owner_read | fs::perms::owner_exec);
    struct Case {
        fs::path file;
        const char* error;
    };
    std::vector<Case> cases{
        {folder / "missing folder/launcher.lock", "No such file or directory"},
        {folder / "file/launcher.lock", "Not a directory"},
        {players / "read-only root/launcher.lock", "Permission denied"},
    };
    if (::geteuid() == 0) {
        // Left by another user (root here), readable by that user alone.
        testing::writeFile(players / "launcher.lock", "");
        fs::permissions(players / "launcher.lock", fs::perms::owner_read | fs::perms::owner_write);
        cases.push_back({players / "launcher.lock", "Permission denied"});
    }
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file.string());
        EXPECT_EXIT(testing::exitWithFailureOfUnprivileged([&] { InstallLock lock(c.file); }),
                    // libc++ quotes the path, libstdc++ does not.
                    ::testing::ExitedWithCode(0), std::string(c.error) + " \\[\"?" + c.file.string() + "\"?\\]");
    }
}

} // namespace
} // namespace launcher
