#include "import/GameSourceCheck.h"
#include "import/GameImport.h"
#include "core/Installation.h"
#include "core/SetupFailure.h"
#include "import/ImportTestSupport.h"
#include "support/OwnerOnlyWrites.h"
#include "support/ScopedEnvironmentVariable.h"
#include "support/TemporaryFolder.h"
#include "support/TestHost.h"
#include "support/Unprivileged.h"

#include <algorithm>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace launcher {
namespace {

namespace fs = std::filesystem;
using testing::TemporaryFolder;
using testing::fixture;

// Builds a selection inside the test's folder and returns the path to choose.
using Selection = std::function<fs::path(const fs::path& folder)>;

Selection fixtureItem(const std::string& relative)
{
    return [relative](const fs::path&) { return fixture(relative); };
}

// The fixture game as it must arrive: per-user items gone from the top level
// only, and the fresh configuration file.
std::vector<std::string> expectedGame()
{
    std::vector<std::string> listing = testing::treeListing(fixture("game/Veyra 2"));
    std::erase_if(listing, [](const std::string& path) {
        return path == "VEYRA2CONFIG1.INI" || path == "veyra2accounts.xml" || path == "imgui.ini" ||
               path.starts_with("Logs");
    });
    listing.push_back("veyra2config1.ini");
    std::ranges::sort(listing);
    return listing;
}

// A game folder left by an earlier setup that did not finish.
void leaveAnEarlierGame(const Installation& installation)
{
    testing::writeFile(installation.game() / "earlier.txt", "from an unfinished setup");
}

struct AcceptedSelection {
    const char* kind;
    Selection select;
};

// Every kind of selection that the import takes.
std::vector<AcceptedSelection> acceptedSelections()
{
    return {
        {"the game folder", fixtureItem("game/Veyra 2")},
        {"the game's executable", fixtureItem("game/Veyra 2/veyra2.exe")},
        {"the game folder with a trailing separator", [](const fs::path&) { return fixture("game/Veyra 2") / ""; }},
        {"a folder several levels above the game, with a link beside it",
         [](const fs::path& folder) {
             testing::copyOfFixture("game/Veyra 2", folder / "library/games/Veyra 2");
             fs::create_directory_symlink("/", folder / "library/games/root");
             testing::writeFile(folder / "library/notes.txt", "");
             return folder / "library";
         }},
        {"the installer's setup program", fixtureItem("game/installer/setup.exe")},
        {"a folder holding the data archive", fixtureItem("game/installer")},
        {"a folder holding the data archive and another game",
         [](const fs::path& folder) {
             testing::copyOfFixture("game/Veyra 2", folder / "both");
             testing::writeFile(folder / "both/not-from-the-archive.txt", "");
             fs::copy(fixture("game/installer/vy2pc_data.bin"), folder / "both");
             return folder / "both";
         }},
        {"the data archive", fixtureItem("game/installer/vy2pc_data.bin")},
        {"the installer's ZIP", fixtureItem("game/installer.zip")},
        {"a ZIP holding the game folder", fixtureItem("game/game.zip")},
    };
}

struct RefusedSelection {
    const char* kind;
    Selection select;
    std::string message;
};

// Selections that the import refuses, each with its sentence.
std::vector<RefusedSelection> refusedSelections()
{
    const std::string noGame = "The archive does not contain Veyra 2. Select vy2pc_data.bin from installer 2.1.";
    const std::string linkMessage = "Game imports must contain regular files and folders, without symbolic links.";
    return {
        {"a selection that is gone", [](const fs::path& folder) { return folder / "gone/vy2pc_data.bin"; },
         "The selected game files are no longer available."},
        {"a folder without a game",
         [](const fs::path& folder) {
             testing::writeFile(folder / "downloads/.hidden/veyra2.exe", "");
             return folder / "downloads";
         },
         "No Veyra 2 game was found in that folder."},
        {"a folder holding two games",
         [](const fs::path& folder) {
             testing::copyOfFixture("game/Veyra 2", folder / "games/first");
             testing::copyOfFixture("game/Veyra 2", folder / "games/second");
             return folder / "games";
         },
         "More than one Veyra 2 installation was found. Choose the specific game folder."},
        {"a setup program without the data archive beside it",
         [](const fs::path& folder) {
             testing::writeFile(folder / "alone/setup.exe", "MZ");
             return folder / "alone/setup.exe";
         },
         testing::archiveToolFailure()},
        {"an archive whose data archive differs in letter case", fixtureItem("game/wrong-case.zip"), noGame},
        {"an archive holding no game",
         [](const fs::path& folder) {
             fs::copy(fixture("game/directx/directx.exe"), folder / "extras.cab");
             return folder / "extras.cab";
         },
         noGame},
        {"an incomplete game folder",
         [](const fs::path& folder) {
             const fs::path game = testing::copyOfFixture("game/Veyra 2", folder / "incomplete");
             fs::remove(game / "xlive.dll");
             return game;
         },
         "Missing xlive.dll. Choose a complete Veyra 2 Project Kestrane game folder or the vy2pc_data.bin archive "
         "from installer 2.1."},
        {"a game folder holding a link",
         [](const fs::path& folder) {
             const fs::path game = testing::copyOfFixture("game/Veyra 2", folder / "linked");
             fs::create_symlink("../veyra2.exe", game / "data/shortcut.exe");
             return game;
         },
         linkMessage},
        {"a game folder holding a named pipe",
         [](const fs::path& folder) {
             const fs::path game = testing::copyOfFixture("game/Veyra 2", folder / "piped");
             ::mkfifo((game / ".cache/pipe").c_str(), 0644);
             return game;
         },
         linkMessage},
        {"an unsafe archive", fixtureItem("game/hostile/parent.tar"), "The selected archive contains unsafe file paths."},
        {"a ZIP holding no game", fixtureItem("game/no-game.zip"), noGame},
        {"a ZIP holding an incomplete game", fixtureItem("game/incomplete-game.zip"),
         "Missing xlive.dll. Choose a complete Veyra 2 Project Kestrane game folder or the vy2pc_data.bin archive "
         "from installer 2.1."},
    };
}

TEST(GameImport, EveryKindOfSelectionImportsTheGame)
{
    for (const auto& [kind, select] : acceptedSelections()) {
        SCOPED_TRACE(kind);
        const TemporaryFolder folder;
        std::vector<std::string> lines;
        const Installation installation(
            folder / "root", [&](const std::string& line) { lines.push_back(line); }, testing::testHost());
        leaveAnEarlierGame(installation);

        importGame(installation, select(folder.path()));

        EXPECT_EQ(lines, std::vector<std::string>{"Importing your Veyra 2 files"});
        EXPECT_EQ(testing::treeListing(installation.game()), expectedGame());
        EXPECT_EQ(testing::readFile(installation.game() / "veyra2config1.ini"),
                  "[VY2ConfigurationVersion:1]\nskip_intro = true\nfps_limit = 60\n");
        EXPECT_EQ(testing::readFile(installation.game() / "data/textures.pak"),
                  testing::readFile(fixture("game/Veyra 2/data/textures.pak")));
        EXPECT_EQ(testing::stagingFolders(installation.root()), std::vector<std::string>{});
    }
}

TEST(GameImport, EveryFailureEndsInItsMessageAndLeavesNoStagingFolder)
{
    for (const auto& [kind, select, message] : refusedSelections()) {
        SCOPED_TRACE(kind);
        const TemporaryFolder folder;
        const Installation installation = testing::testInstallation(folder / "root");
        leaveAnEarlierGame(installation);
        try {
            importGame(installation, select(folder.path()));
            ADD_FAILURE() << "imported";
        } catch (const SetupFailure& failure) {
            EXPECT_EQ(failure.message(), message);
        }
        EXPECT_EQ(testing::stagingFolders(installation.root()), std::vector<std::string>{});
        EXPECT_EQ(testing::treeListing(installation.game()), std::vector<std::string>{"earlier.txt"});
    }
}

// The check that setup runs before it fetches anything agrees with the import
// on every selection, reading it where it lies: nothing is unpacked, copied or
// created below the root, but the setup log of an archive that cannot be listed.
TEST(GameImport, TheCheckBeforeSetupAgreesWithTheImportAndWritesNothing)
{
    for (const auto& [kind, select] : acceptedSelections()) {
        SCOPED_TRACE(kind);
        const TemporaryFolder folder;
        const Installation installation = testing::testInstallation(folder / "root");
        EXPECT_NO_THROW(checkGameSource(installation, select(folder.path())));
        EXPECT_FALSE(fs::exists(installation.root()));
    }
    for (const auto& [kind, select, message] : refusedSelections()) {
        SCOPED_TRACE(kind);
        const TemporaryFolder folder;
        const Installation installation = testing::testInstallation(folder / "root");
        const fs::path selection = select(folder.path());
        try {
            checkGameSource(installation, selection);
            ADD_FAILURE() << "accepted";
        } catch (const SetupFailure& failure) {
            EXPECT_EQ(failure.message(), message);
        }
        if (fs::exists(installation.root())) {
            EXPECT_EQ(testing::treeListing(installation.root()), (std::vector<std::string>{"Logs", "Logs/setup.log"}));
        }
    }
}

// The player's accounts, window layout and logs live in the game folder; setting
// up again keeps them, while the configuration file is always written afresh.
TEST(GameImport, ImportingAgainKeepsWhatTheGameWroteForThePlayer)
{
    const TemporaryFolder folder;
    const Installation installation = testing::testInstallation(folder / "root");
    importGame(installation, fixture("game/Veyra 2"));
    const fs::path game = installation.game();
    testing::writeFile(game / "veyra2accounts.xml", "<accounts>mine</accounts>");
    testing::writeFile(game / "imgui.ini", "[my layout]");
    testing::writeFile(game / "Logs/session.log", "my session");
    testing::writeFile(game / "veyra2config1.ini", "changed by the game");
    testing::writeFile(game / "VEYRA2CONFIG2.INI", "another configuration");
    testing::writeFile(game / "maps/mine.map", "not the player's record");

    // The installer's copy carries per-user items of its packer, which are pruned.
    importGame(installation, fixture("game/installer.zip"));

    EXPECT_EQ(testing::readFile(game / "veyra2accounts.xml"), "<accounts>mine</accounts>");
    EXPECT_EQ(testing::readFile(game / "imgui.ini"), "[my layout]");
    EXPECT_EQ(testing::readFile(game / "Logs/session.log"), "my session");
    EXPECT_EQ(testing::readFile(game / "veyra2config1.ini"),
              "[VY2ConfigurationVersion:1]\nskip_intro = true\nfps_limit = 60\n");
    EXPECT_FALSE(fs::exists(game / "VEYRA2CONFIG2.INI"));
    EXPECT_FALSE(fs::exists(game / "maps/mine.map"));
    EXPECT_FALSE(fs::exists(game / "Logs/play.log")) << "the packer's log came along";
    EXPECT_EQ(testing::stagingFolders(installation.root()), std::vector<std::string>{});
}

TEST(GameImport, AGameFolderHoldingTheLaunchersFolderIsRefusedBeforeAnythingIsCopied)
{
    const std::string refusal = "The launcher's folder is inside the selected game folder. Choose the game folder "
                                "itself, or keep the launcher's folder elsewhere.";
    const struct {
        const char* kind;
        const char* root;
        const char* selection;
        std::string outcome;
    } cases[] = {
        {"the root inside the game folder", "G/launcher-root", "G", refusal},
        {"the root deep inside, the game chosen from above", "top/G/a/b/root", "top", refusal},
        {"the game folder reached through a link", "G/launcher-root", "link to G", refusal},
        {"the root as the game folder", "G", "G", refusal},
        {"the root beside the game, chosen from above", "top/root", "top", "imported"},
        {"an archive lying above the root", "G/launcher-root", "G/installer.zip", "imported"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        const TemporaryFolder folder;
        testing::copyOfFixture("game/Veyra 2", folder / "G");
        testing::copyOfFixture("game/Veyra 2", folder / "top/G");
        fs::copy(fixture("game/installer.zip"), folder / "G/installer.zip");
        fs::create_directory_symlink(folder / "G", folder / "link to G");
        const Installation installation = testing::testInstallation(folder / c.root);
        try {
            importGame(installation, folder / c.selection);
            EXPECT_EQ("imported", c.outcome);
        } catch (const SetupFailure& failure) {
            EXPECT_EQ(failure.message(), c.outcome);
            EXPECT_FALSE(fs::exists(installation.root() / "Install"));
        }
        EXPECT_EQ(testing::stagingFolders(installation.root()), std::vector<std::string>{});
    }
}

// A folder that the game or the player made read-only must not leave a
// re-setup with the old game half deleted.
TEST(GameImport, APlayerReplacesAnEarlierGameHoldingReadOnlyFolders)
{
    const TemporaryFolder folder;
    const fs::path root = testing::playersFolder(folder / "root");
    const Installation installation = testing::testInstallation(root);

    EXPECT_EXIT(testing::exitWithFailureOfUnprivileged([&] {
                    importGame(installation, fixture("game/Veyra 2"));
                    testing::writeFile(installation.game() / "logs/today.log", "kept");
                    for (const char* readOnly : {"logs", "maps", "data", ""})
                        fs::permissions(installation.game() / readOnly, fs::perms::owner_read | fs::perms::owner_exec);
                    importGame(installation, fixture("game/installer.zip"));
                    if (testing::readFile(installation.game() / "logs/today.log") != "kept"
                        || !testing::stagingFolders(root).empty())
                        throw std::runtime_error("the earlier game was not replaced cleanly");
                    throw std::runtime_error("replaced");
                }),
                ::testing::ExitedWithCode(0), "^replaced\n$");
}

// Programs started outside a terminal often have no locale at all.
TEST(GameImport, AnArchiveWithNamesBeyondAsciiImportsUnderTheCLocale)
{
    const testing::ScopedEnvironmentVariable all("LC_ALL", "C");
    const testing::ScopedEnvironmentVariable ctype("LC_CTYPE", std::nullopt);
    const testing::ScopedEnvironmentVariable lang("LANG", "C");
    const TemporaryFolder folder;
    const Installation installation = testing::testInstallation(folder / "root");
    importGame(installation, fixture("game/non-ascii-names.zip"));
    EXPECT_EQ(testing::readFile(installation.game() / "saves/Spielstand für Jürgen – 1.sav"), "save");
}

// As root the archive tool keeps the stored modes; the game must not stay
// writable by every user of the Mac.
TEST(GameImport, EverythingImportedIsWritableByItsOwnerAlone)
{
    const TemporaryFolder folder;
    for (const char* selection : {"game/world-writable.tar", "game/Veyra 2"}) {
        SCOPED_TRACE(selection);
        const Installation installation = testing::testInstallation(folder / "root");
        importGame(installation, fixture(selection));
        EXPECT_EQ(testing::notWritableByOwnerAlone(installation.game()), std::vector<std::string>{});
    }
}

TEST(GameImport, FileSystemFailuresPassUnchanged)
{
    const TemporaryFolder folder;
    const Installation blocked = testing::testInstallation(folder / "blocked");
    testing::writeFile(blocked.root() / "Install", "a file where the folder belongs");
    EXPECT_THROW(importGame(blocked, fixture("game/Veyra 2")), fs::filesystem_error);
    EXPECT_EQ(testing::stagingFolders(blocked.root()), std::vector<std::string>{});

    // Here even the staging folder cannot be made.
    testing::writeFile(folder / "file root", "");
    EXPECT_THROW(importGame(testing::testInstallation(folder / "file root"), fixture("game/Veyra 2")),
                 fs::filesystem_error);
}

} // namespace
} // namespace launcher
