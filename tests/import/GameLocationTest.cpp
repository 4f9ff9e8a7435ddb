#include "core/Installation.h"
#include "core/SetupFailure.h"
#include "import/GameLocation.h"
#include "import/ImportTestSupport.h"
#include "support/TemporaryFolder.h"
#include "support/Unprivileged.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>
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
    EXPECT_EQ(locateGame(folder / "game"), folder / "game");
}

TEST(GameLocation, FindsTheOnlyCopyAnywhereBelowWhateverItsCase)
{
    const TemporaryFolder folder;
    writeFile(folder / "search/a/b/c/VEYRA2.EXE", "");
    writeFile(folder / "search/a/other.exe", "");
    writeFile(folder / "search/.hidden/veyra2.exe", "");
    writeFile(folder / "search/a/.veyra2.exe", "");
    EXPECT_EQ(locateGame(folder / "search"), folder / "search/a/b/c");
}

TEST(GameLocation, FindsNothingInHiddenFoldersEmptyOrMissingFolders)
{
    const TemporaryFolder folder;
    const Installation installation = testing::testInstallation(folder.path());
    writeFile(folder / "hidden/.cache/game/veyra2.exe", "");
    fs::create_directory(folder / "empty");
    EXPECT_EQ(locateGame(folder / "hidden"), std::nullopt);
    EXPECT_EQ(locateGame(folder / "empty"), std::nullopt);
    EXPECT_EQ(locateGame(folder / "missing"), std::nullopt);
}

TEST(GameLocation, TwoCopiesBelowTheFolderAreRefused)
{
    const TemporaryFolder folder;
    const Installation installation = testing::testInstallation(folder.path());
    writeFile(folder / "files/first/veyra2.exe", "");
    writeFile(folder / "files/deep/down/second/Veyra2.Exe", "");
    // A folder of that name counts as well.
    fs::create_directories(folder / "folders/one/veyra2.exe");
    writeFile(folder / "folders/two/veyra2.exe", "");

    for (const char* search : {"files", "folders"}) {
        try {
            locateGame(folder / search);
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

    const Installation installation = testing::testInstallation(folder / "root");
    EXPECT_EXIT(testing::exitWithFailureOfUnprivileged(
                    [&] { throw std::runtime_error("found " + locateGame(parent).value_or("nothing").string()); }),
                ::testing::ExitedWithCode(0), "^found " + (parent / "Games/Veyra 2").string() + "\n$");
}

TEST(GameValidation, RequiredItemsMustBeRegularFiles)
{
    const TemporaryFolder folder;
    const Installation installation = testing::testInstallation(folder.path());
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
            validateGame(game);
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
    const Installation installation = testing::testInstallation(folder.path());
    const fs::path game = testing::copyOfFixture("game/Veyra 2", folder / "game");
    EXPECT_NO_THROW(validateGame(game)) << "one map is empty";

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
            validateGame(game);
            ADD_FAILURE() << "accepted without " << removed;
        } catch (const SetupFailure& failure) {
            EXPECT_EQ(failure.message(), std::string("Missing ") + named +
                                             ". Choose a complete Veyra 2 Project Kestrane game folder or the "
                                             "vy2pc_data.bin archive from installer 2.1.");
        }
    }
}

// An archive's listing is searched as its unpacked tree would be.
TEST(GameListing, LocatesTheGameAsTheUnpackedTreeWouldShowIt)
{
    const struct {
        const char* kind;
        std::vector<std::string> names;
        std::optional<fs::path> game;
    } cases[] = {
        {"a game folder, listed with ./", {"./Veyra 2/", "./Veyra 2/veyra2.exe", "./Veyra 2/maps/shared.map"}, "Veyra 2"},
        {"the executable at the top, a copy below", {"veyra2.exe", "backup/veyra2.exe"}, ""},
        {"the executable at the top in capitals", {"VEYRA2.EXE", "backup/veyra2.exe"}, ""},
        {"the only copy deep down, in capitals", {"a/b/c/VEYRA2.EXE"}, "a/b/c"},
        {"the only copy in a hidden folder", {"a/.cache/veyra2.exe", ".b/veyra2.exe"}, std::nullopt},
        {"a folder of that name, with its contents", {"a/veyra2.exe/", "a/veyra2.exe/readme.txt"}, "a"},
        {"no executable", {"readme.txt", "data/textures.pak"}, std::nullopt},
    };
    for (const auto& [kind, names, game] : cases) {
        SCOPED_TRACE(kind);
        EXPECT_EQ(GameListing(names).locateGame(), game);
    }
    try {
        GameListing({"first/veyra2.exe", "second/Veyra2.exe"}).locateGame();
        ADD_FAILURE() << "two games were taken";
    } catch (const SetupFailure& failure) {
        EXPECT_STREQ(failure.what(), kTwoGames);
    }
}

TEST(GameListing, ValidationNamesTheFirstRequiredFileTheListingLacks)
{
    const std::vector<std::string> complete{"g/veyra2.exe", "g/xlive.dll", "g/maps/shared.map", "g/maps/mainmenu.map",
                                            "g/maps/single_player_shared.map"};
    EXPECT_NO_THROW(GameListing(complete).validateGame("g"));
    // Without xlive.dll and the main menu's map: the first of them in the order of the requirements.
    std::vector<std::string> incomplete = complete;
    std::erase(incomplete, "g/xlive.dll");
    std::erase(incomplete, "g/maps/mainmenu.map");
    try {
        GameListing(incomplete).validateGame("g");
        ADD_FAILURE() << "an incomplete game was taken";
    } catch (const SetupFailure& failure) {
        EXPECT_EQ(failure.message(), "Missing xlive.dll. Choose a complete Veyra 2 Project Kestrane game folder or the "
                                     "vy2pc_data.bin archive from installer 2.1.");
    }
}

} // namespace
} // namespace launcher
