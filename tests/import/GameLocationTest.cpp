#include "core/Installer.h"
#include "core/SetupFailure.h"
#include "import/ImportTestSupport.h"
#include "support/TemporaryFolder.h"
#include "support/Unprivileged.h"

#include <functional>
#include <stdexcept>

#include <gtest/gtest.h>
#include <sys/stat.h>

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

// One such entry anywhere below a chosen parent folder must not end the search:
// a path longer than the system allows, and a folder the player may not read.
TEST(GameLocation, PassesOverEntriesItCannotExamine)
{
    const TemporaryFolder folder;
    const fs::path parent = testing::playersFolder(folder / "parent");
    writeFile(parent / "Games/Veyra 2/veyra2.exe", "");
    writeFile(parent / "closed/veyra2.exe", "");
    fs::permissions(parent / "closed", fs::perms::none);
    testing::makeTreeTooDeepForPaths(parent);

    const Installer installer = testing::testInstaller(folder / "root");
    EXPECT_EXIT(testing::exitWithFailureOfUnprivileged([&] {
                    throw std::runtime_error("found " + installer.locateGame(parent).value_or("nothing").string());
                }),
                ::testing::ExitedWithCode(0), "^found " + (parent / "Games/Veyra 2").string() + "\n$");
}

TEST(GameValidation, RequiredItemsMustBeRegularFiles)
{
    const TemporaryFolder folder;
    const Installer installer = testing::testInstaller(folder.path());
    const struct {
        const char* item;
        std::function<void(const fs::path&)> replace;
    } cases[] = {
        {"veyra2.exe", [](const fs::path& item) { fs::create_directory(item); }},
        {"xlive.dll", [](const fs::path& item) { ASSERT_EQ(::mkfifo(item.c_str(), 0644), 0); }},
        {"maps/mainmenu.map", [](const fs::path& item) { fs::create_symlink("/dev/null", item); }},
    };
    for (const auto& [item, replace] : cases) {
        SCOPED_TRACE(item);
        const fs::path game = testing::copyOfFixture("game/Veyra 2", folder / item / "game");
        fs::remove(game / item);
        replace(game / item);
        try {
            installer.validateGame(game);
            ADD_FAILURE() << "accepted";
        } catch (const SetupFailure& failure) {
            EXPECT_EQ(failure.message(), std::string("Missing ") + item +
                                             ". Choose a complete Veyra 2 Project Kestrane game folder or the "
                                             "vy2pc_data.bin archive from installer 2.1.");
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
