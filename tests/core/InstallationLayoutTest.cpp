#include "core/Installation.h"
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

TEST(InstallationLayout, NamedLocationsLieBelowTheGivenRootAndTouchNothing)
{
    const TemporaryFolder folder;
    const auto root = folder / "my root";
    const Installation installation(root);

    EXPECT_EQ(installation.root(), root);
    EXPECT_EQ(installation.game(), root / "Install/game");
    EXPECT_EQ(installation.prefix(), root / "Install/prefix");
    EXPECT_EQ(installation.runtime(), root / "Runtime");
    EXPECT_EQ(installation.wine(), root / "Runtime/wswine.bundle/bin/wine");
    EXPECT_EQ(installation.wine(), installation.wine());
    EXPECT_EQ(installation.log(), root / "Logs/setup.log");
    EXPECT_EQ(installation.record(), root / "installed.json");
    EXPECT_FALSE(std::filesystem::exists(root));
}

TEST(InstallationLayout, TheRootIsMadeAbsoluteAndFreeOfDotPartsOnce)
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
        const Installation installation(c.given);
        EXPECT_EQ(installation.root(), c.root) << c.given;
        EXPECT_EQ(installation.game(), c.root / "Install/game") << c.given;
    }
}

// Without a usable HOME the root must come from the account, never from "/" or
// from wherever the launcher happened to start.
TEST(InstallationLayout, DefaultRootComesFromTheAccountWithoutAnAbsoluteHome)
{
    const passwd* account = ::getpwuid(::getuid());
    ASSERT_NE(account, nullptr);
#if defined(__APPLE__)
    const auto expected = std::filesystem::path(account->pw_dir) / "Library/Application Support/Veyra2MacLauncher";
#else
    const testing::ScopedEnvironmentVariable noDataHome("XDG_DATA_HOME", std::nullopt);
    const auto expected = std::filesystem::path(account->pw_dir) / ".local/share/Veyra2MacLauncher";
#endif
    for (const std::optional<std::string>& home : {std::optional<std::string>(), std::optional<std::string>(""),
                                                  std::optional<std::string>("relative/home")}) {
        const testing::ScopedEnvironmentVariable unusable("HOME", home);
        EXPECT_EQ(Installation().root(), expected) << home.value_or("unset");
    }
}

#if !defined(__APPLE__)
TEST(InstallationLayout, DefaultRootFollowsTheXdgDataFolder)
{
    {
        const testing::ScopedEnvironmentVariable dataHome("XDG_DATA_HOME", "/data/home");
        EXPECT_EQ(Installation().root(), std::filesystem::path("/data/home/Veyra2MacLauncher"));
    }
    const testing::ScopedEnvironmentVariable relative("XDG_DATA_HOME", "relative/ignored");
    EXPECT_EQ(Installation().root(), std::filesystem::path(std::getenv("HOME")) / ".local/share/Veyra2MacLauncher");
}
#endif

TEST(InstallationLayout, MakeDirectoryCreatesTheWholeChainAndAcceptsAnExistingFolder)
{
    const TemporaryFolder folder;
    const Installation installation(folder.path());
    installation.makeDirectory(folder / "a/b/c");
    installation.makeDirectory(folder / "a/b/c");
    EXPECT_TRUE(std::filesystem::is_directory(folder / "a/b/c"));

    testing::writeFile(folder / "file", "x");
    EXPECT_THROW(installation.makeDirectory(folder / "file/below"), std::filesystem::filesystem_error);
}

TEST(InstallationLayout, SetupFailureDescribesItselfWithItsMessageAlone)
{
    const SetupFailure failure("The runtime is incomplete. Check whether antivirus quarantined any files.");
    EXPECT_STREQ(failure.what(), "The runtime is incomplete. Check whether antivirus quarantined any files.");
    EXPECT_EQ(failure.message(), failure.what());
}

} // namespace
} // namespace launcher
