#include "core/Installer.h"
#include "core/SetupFailure.h"
#include "import/ImportTestSupport.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

namespace launcher {
namespace {

namespace fs = std::filesystem;
using testing::TemporaryFolder;
using testing::writeFile;

constexpr const char* kTwoGames = "More than one Veyra 2 installation was found. Choose the specific game folder.";

TEST(GameLocation, ADirectHitIsTheAnswerWhateverLiesBelow)
{
    const TemporaryFolder folder;
    writeFile(folder / "game/veyra2.exe", "");
    writeFile(folder / "game/backup/veyra2.exe", "");
    EXPECT_EQ(testing::testInstaller(folder.path()).locateGame(folder / "game"), folder / "game");
}

TEST(GameLocation, FindsTheOnlyCopyAnywhereBelowWhateverItsCase)
{
    const TemporaryFolder folder;
    writeFile(folder / "search/a/b/c/VEYRA2.EXE", "");
    writeFile(folder / "search/a/other.exe", "");
    writeFile(folder / "search/.hidden/veyra2.exe", "");
    writeFile(folder / "search/a/.veyra2.exe", "");
    EXPECT_EQ(testing::testInstaller(folder.path()).locateGame(folder / "search"), folder / "search/a/b/c");
}

TEST(GameLocation, FindsNothingInHiddenFoldersEmptyOrMissingFolders)
{
    const TemporaryFolder folder;
    const Installer installer = testing::testInstaller(folder.path());
    writeFile(folder / "hidden/.cache/game/veyra2.exe", "");
    fs::create_directory(folder / "empty");
    EXPECT_EQ(installer.locateGame(folder / "hidden"), std::nullopt);
    EXPECT_EQ(installer.locateGame(folder / "empty"), std::nullopt);
    EXPECT_EQ(installer.locateGame(folder / "missing"), std::nullopt);
}

TEST(GameLocation, TwoCopiesBelowTheFolderAreRefused)
{
    const TemporaryFolder folder;
    const Installer installer = testing::testInstaller(folder.path());
    writeFile(folder / "files/first/veyra2.exe", "");
    writeFile(folder / "files/deep/down/second/Veyra2.Exe", "");
    // A folder of that name counts as well.
    fs::create_directories(folder / "folders/one/veyra2.exe");
    writeFile(folder / "folders/two/veyra2.exe", "");

    for (const char* search : {"files", "folders"}) {
        try {
            installer.locateGame(folder / search);
            ADD_FAILURE() << search << " accepted";
        } catch (const SetupFailure& failure) {
            EXPECT_STREQ(failure.what(), kTwoGames);
        }
    }
}

TEST(GameValidation, NamesTheFirstMissingFileInItsOrder)
{
    const TemporaryFolder folder;
    const Installer installer = testing::testInstaller(folder.path());
    const fs::path game = testing::copyOfFixture("game/Veyra 2", folder / "game");
    EXPECT_NO_THROW(installer.validateGame(game)) << "one map is empty";

    const struct {
        const char* removed;
        const char* named;
    } cases[] = {
        {"maps/single_player_shared.map", "maps/single_player_shared.map"},
        {"maps/mainmenu.map", "maps/mainmenu.map"},
        {"xlive.dll", "xlive.dll"},
        {"veyra2.exe", "veyra2.exe"},
    };
    // Removed one after another, so that every later file is missing as well.
    for (const auto& [removed, named] : cases) {
        fs::remove_all(game / removed);
        try {
            installer.validateGame(game);
            ADD_FAILURE() << "accepted without " << removed;
        } catch (const SetupFailure& failure) {
            EXPECT_EQ(failure.message(), std::string("Missing ") + named +
                                             ". Choose a complete Veyra 2 Project Kestrane game folder or the "
                                             "vy2pc_data.bin archive from installer 2.1.");
        }
    }
}

} // namespace
} // namespace launcher
