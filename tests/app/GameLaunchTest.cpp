// The game launch in-process, with the stand-in wine program as the runtime:
// what it does with the game log.

#include "app/GameLaunch.h"
#include "app/LaunchedGame.h"
#include "core/Installation.h"
#include "core/InstallLock.h"
#include "core/LogRotation.h"
#include "support/InstallationByHand.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace launcher {
namespace {

namespace fs = std::filesystem;
using testing::readFile;
using testing::TemporaryFolder;

class GameLaunch : public ::testing::Test {
protected:
    GameLaunch() { testing::buildInstallationByHand(m_root.path()); }

    // Launches the game and waits for it to exit; returns its status.
    int play() const
    {
        const LaunchedGame game = launch(Installation(m_root.path()), false);
        return game.process.wait();
    }

    TemporaryFolder m_root;
    fs::path m_log = m_root / "Logs/veyra2.log";
};

// Deleting old logs must not stop the game from starting.
TEST_F(GameLaunch, CreatesTheLogsFolderWhenItIsGone)
{
    fs::remove_all(m_root / "Logs");
    EXPECT_EQ(play(), 0);
    EXPECT_NE(readFile(m_log).find("started"), std::string::npos);
}

TEST_F(GameLaunch, AGameLogLargerThan16MiBIsRotatedBeforeTheGameStarts)
{
    testing::writeFile(m_log, "");
    fs::resize_file(m_log, kLogRotationSize + 1);
    EXPECT_EQ(play(), 0);
    EXPECT_EQ(fs::file_size(m_root / "Logs/veyra2.log.1"), kLogRotationSize + 1);
    EXPECT_LT(fs::file_size(m_log), 4096u);
}

// A named pipe or a link to a device in place of the game log must fail at once
// with the file system's error, never stall the launch, and leave the lock free.
TEST_F(GameLaunch, AGameLogThatIsNoRegularFileFailsAtOnceAndKeepsNothingLocked)
{
    fs::create_directories(m_log.parent_path());
    ASSERT_EQ(::mkfifo(m_log.c_str(), 0644), 0);
    EXPECT_THROW(play(), fs::filesystem_error);
    EXPECT_TRUE(fs::is_fifo(m_log));

    fs::remove(m_log);
    fs::create_symlink("/dev/null", m_log);
    EXPECT_THROW(play(), fs::filesystem_error);
    EXPECT_NO_THROW(InstallLock(m_root / "launcher.lock"));
}

} // namespace
} // namespace launcher
