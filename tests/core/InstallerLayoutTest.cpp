#include "core/Installer.h"
#include "core/SetupFailure.h"
#include "support/ScopedEnvironmentVariable.h"
#include "support/TemporaryFolder.h"
#include "support/TestHost.h"

#include <cstdlib>

#include <pwd.h>
#include <unistd.h>

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

TEST(InstallerLayout, TheRootIsMadeAbsoluteAndFreeOfDotPartsOnce)
{
    const TemporaryFolder folder;
    const std::filesystem::path current = std::filesystem::current_path();
    const struct {
        std::filesystem::path given;
        std::filesystem::path root;
    } cases[] = {
        {"relative/./x/../root", current / "relative/root"},
        {"root/", current / "root"},
        {folder / "a/../b/./c/", folder / "b/c"},
        {folder / "b", folder / "b"},
    };
    for (const auto& c : cases) {
        const Installer installer(c.given);
        EXPECT_EQ(installer.root(), c.root) << c.given;
        EXPECT_EQ(installer.game(), c.root / "Install/game") << c.given;
    }
}

// Without a usable HOME the root must come from the account, never from "/" or
// from wherever the launcher happened to start.
TEST(InstallerLayout, DefaultRootComesFromTheAccountWithoutAnAbsoluteHome)
{
    const passwd* account = ::getpwuid(::getuid());
    ASSERT_NE(account, nullptr);
#if defined(__APPLE__)
    const auto expected = std::filesystem::path(account->pw_dir) / "Library/Application Support/Veyra2MacLauncher";
#else
    const testing::ScopedEnvironmentVariable noDataHome("XDG_DATA_HOME", std::nullopt);
    const auto expected = std::filesystem::path(account->pw_dir) / ".local/share/Veyra2MacLauncher";
#endif
    for (const std::optional<std::string> home : {std::optional<std::string>(), std::optional<std::string>(""),
                                                  std::optional<std::string>("relative/home")}) {
        const testing::ScopedEnvironmentVariable unusable("HOME", home);
        EXPECT_EQ(Installer().root(), expected) << home.value_or("unset");
    }
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
