#include "core/InstallLock.h"
#include "core/SetupFailure.h"
#include "support/TemporaryFolder.h"
#include "support/Unprivileged.h"

#include <csignal>
#include <cstdlib>
#include <functional>
#include <iostream>
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

// Something else at the lock's place is refused by name, never followed or
// waited on: a named pipe would hold the open for ever, and a link would lead
// the lock file out of the root. Each attempt runs in a child with an alarm,
// so that a wait fails the test instead of stalling it.
TEST(InstallLock, AnythingButARegularFileAtItsPlaceIsRefusedByNameUnfollowedAndUnwaited)
{
    const TemporaryFolder folder;
    const fs::path file = folder / "launcher.lock";
    const fs::path outside = folder / "outside/launcher.lock";
    fs::create_directories(outside.parent_path());
    struct Case {
        const char* kind;
        std::function<void()> make;
    };
    const Case cases[] = {
        {"a named pipe", [&] { ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0); }},
        {"a symbolic link", [&] { fs::create_symlink(outside, file); }},
        {"a symbolic link", [&] {
             testing::writeFile(outside, "");
             fs::create_symlink(outside, file);
         }},
        {"a folder", [&] { fs::create_directory(file); }},
    };
    for (const Case& c : cases) {
        for (const bool existingOnly : {false, true}) {
            SCOPED_TRACE(std::string(c.kind) + (existingOnly ? ", taken only when there" : ", created when missing"));
            fs::remove_all(file);
            c.make();
            const bool linkTarget = fs::exists(outside);
            const auto lock = [&] {
                ::alarm(10);
                try {
                    if (existingOnly)
                        InstallLock::takeExisting(file);
                    else
                        InstallLock{file};
                } catch (const SetupFailure& refusal) {
                    std::cerr << refusal.what();
                    std::_Exit(0);
                }
                std::_Exit(1);
            };
            EXPECT_EXIT(lock(), ::testing::ExitedWithCode(0),
                        "^The lock file " + file.string() + " is " + c.kind
                            + ", not a file the launcher made\\. Remove it, then try again\\.$");
            EXPECT_EQ(fs::exists(outside), linkTarget) << "the link was followed";
        }
        fs::remove(outside);
    }
}

} // namespace
} // namespace launcher
