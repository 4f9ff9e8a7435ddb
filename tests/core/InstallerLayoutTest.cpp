#include "core/Installer.h"
#include "core/SetupFailure.h"
#include "support/ScopedEnvironmentVariable.h"
#include "support/TemporaryFolder.h"
#include "support/TestHost.h"

#include <cstdlib>

#include <gtest/gtest.h>

namespace launcher {
namespace {

using testing::TemporaryFolder;

TEST(InstallerLayout, NamedLocationsLieBelowTheGivenRootAndTouchNothing)
{
    const TemporaryFolder folder;
    const auto root = folder / "my root";
    const Installer installer(root);

    EXPECT_EQ(installer.root(), root);
    EXPECT_EQ(installer.game(), root / "Install/game");
    EXPECT_EQ(installer.prefix(), root / "Install/prefix");
    EXPECT_EQ(installer.runtime(), root / "Runtime");
    EXPECT_EQ(installer.wine(), root / "Runtime/wswine.bundle/bin/wine");
    EXPECT_EQ(installer.wine(), installer.wine());
    EXPECT_EQ(installer.log(), root / "Logs/setup.log");
    EXPECT_EQ(installer.record(), root / "installed.json");
    EXPECT_FALSE(std::filesystem::exists(root));
}

#if !defined(__APPLE__)
TEST(InstallerLayout, DefaultRootFollowsTheXdgDataFolder)
{
    {
        const testing::ScopedEnvironmentVariable dataHome("XDG_DATA_HOME", "/data/home");
        EXPECT_EQ(Installer().root(), std::filesystem::path("/data/home/Veyra2MacLauncher"));
    }
    const testing::ScopedEnvironmentVariable relative("XDG_DATA_HOME", "relative/ignored");
    EXPECT_EQ(Installer().root(), std::filesystem::path(std::getenv("HOME")) / ".local/share/Veyra2MacLauncher");
}
#endif

TEST(InstallerLayout, MakeDirectoryCreatesTheWholeChainAndAcceptsAnExistingFolder)
{
    const TemporaryFolder folder;
    const Installer installer(folder.path());
    installer.makeDirectory(folder / "a/b/c");
    installer.makeDirectory(folder / "a/b/c");
    EXPECT_TRUE(std::filesystem::is_directory(folder / "a/b/c"));

    testing::writeFile(folder / "file", "x");
    EXPECT_THROW(installer.makeDirectory(folder / "file/below"), std::filesystem::filesystem_error);
}

TEST(InstallerLayout, SetupFailureDescribesItselfWithItsMessageAlone)
{
    const SetupFailure failure("The runtime is incomplete. Check whether antivirus quarantined any files.");
    EXPECT_STREQ(failure.what(), "The runtime is incomplete. Check whether antivirus quarantined any files.");
    EXPECT_EQ(failure.message(), failure.what());
}

} // namespace
} // namespace launcher
