// The launcher's prefix and snapshots against a real Wine: Debian's wine64,
// which runs 64-bit programs only, so the 32-bit decoder is not registered
// here. The game is Wine's own command prompt under the game's name.

#include "app/GameLaunch.h"
#include "core/ExecutableFile.h"
#include "core/Installation.h"
#include "core/InstallationRecord.h"
#include "prefix/PrefixConfiguration.h"
#include "saves/SavesRestore.h"
#include "support/ScopedEnvironmentVariable.h"
#include "support/TemporaryFolder.h"
#include "support/TestHost.h"
#include "support/TreeListing.h"

#include <gtest/gtest.h>

namespace launcher {
namespace {

namespace fs = std::filesystem;
using testing::readFile;
using testing::writeFile;

const fs::path kSystemWine = "/usr/lib/wine/wine64";
const fs::path kSystemWineServer = "/usr/lib/wine/wineserver";
const fs::path kWineCommandPrompt = "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/cmd.exe";
constexpr timeouts::Seconds kWineRun{120};

// The runtime's two programs hand over to the system's.
void useSystemWine(const Layout& layout)
{
    for (const auto& [program, system] : {std::pair{layout.wine(), kSystemWine},
                                          std::pair{layout.wineServer(), kSystemWineServer}}) {
        writeFile(program, "#!/bin/sh\nexec '" + system.string() + "' \"$@\"\n");
        fs::permissions(program, fs::perms::owner_all);
    }
}

// The profile Wine made for this account: the one beside "Public".
fs::path onlyProfile(const Layout& layout)
{
    std::vector<fs::path> profiles;
    for (const auto& entry : fs::directory_iterator(layout.users()))
        if (entry.path().filename() != "Public")
            profiles.push_back(entry.path());
    EXPECT_EQ(profiles.size(), 1u);
    return profiles.empty() ? fs::path() : profiles.front();
}

TEST(SystemWine, KeepsTheProfileInsideThePrefixAndTheGamesSavesInTheSnapshots)
{
    if (!isExecutableFile(kSystemWine) || !fs::is_regular_file(kWineCommandPrompt))
        GTEST_SKIP() << "Debian's wine64 is not installed; scripts/dependencies.sh installs it.";

    const testing::TemporaryFolder folder;
    const fs::path home = folder / "home";
    writeFile(home / "Documents/letter.txt", "the player's own");
    writeFile(home / "notes.txt", "the player's too");
    const auto homeBefore = testing::entriesBelow(home);
    const testing::ScopedEnvironmentVariable playersHome("HOME", home.string());
    // Wine looks for the player's folders in user-dirs.dirs there; none are named.
    const testing::ScopedEnvironmentVariable playersSettings("XDG_CONFIG_HOME", (folder / "settings").string());
    const testing::ScopedEnvironmentVariable noDisplay("DISPLAY", std::nullopt);

    const Installation installation(folder / "root", {}, testing::testHost());
    useSystemWine(installation.layout());
    fs::create_directories(installation.game());
    fs::copy_file(kWineCommandPrompt, installation.game() / "veyra2.exe");
    createPrefix(installation);
    // Wine's server writes the registry, system.reg among it, as it exits, a few seconds after its last program.
    const auto waitForServer = [&] {
        installation.run({installation.layout().wineServer(), {"-w"}},
                         {.environment = installation.environment(), .timeout = kWineRun});
    };
    waitForServer();

    const fs::path profile = onlyProfile(installation.layout());
    for (const char* shellFolder : {"Desktop", "Documents", "Downloads", "Music", "Pictures", "Videos"}) {
        EXPECT_FALSE(fs::is_symlink(profile / shellFolder)) << shellFolder;
        EXPECT_TRUE(fs::is_directory(profile / shellFolder)) << shellFolder;
    }

    // The game saves under "My Documents", then starts again: the launch's snapshot holds the save.
    installation.run({installation.wine(), {"cmd", "/c", R"(echo saved>%USERPROFILE%\Documents\slot.sav)"}},
                     {.environment = installation.environment(), .timeout = kWineRun});
    writeFile(installation.record(),
              InstallationRecord{1, "0.1.0", "system wine", std::chrono::system_clock::now()}.encode());
    writeFile(installation.layout().decoder(), "MZ decoder");
    LaunchedGame launched = launch(installation, false);
    EXPECT_EQ(launched.process.wait(), 0);
    waitForServer();

    const auto snapshots = saveSnapshots(installation);
    ASSERT_EQ(snapshots.size(), 1u);
    const fs::path saved =
        installation.layout().backups() / snapshots.front().name / "users" / profile.filename() / "Documents/slot.sav";
    EXPECT_TRUE(readFile(saved).starts_with("saved")) << saved;
    EXPECT_EQ(testing::entriesBelow(home), homeBefore);
}

} // namespace
} // namespace launcher
