#include "core/StagingFolder.h"
#include "support/EntryLock.h"
#include "support/TemporaryFolder.h"
#include "support/Unprivileged.h"

#include <stdexcept>

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace launcher {
namespace {

namespace fs = std::filesystem;
using testing::TemporaryFolder;
using testing::writeFile;

TEST(StagingFolder, IsMadeUnderTheRootWithItsPrefixAndRemovedWithEverythingInIt)
{
    const TemporaryFolder root;
    fs::path made;
    {
        const StagingFolder staging(root.path(), "Game-staging-");
        made = staging.path();
        EXPECT_EQ(made.parent_path(), root.path());
        EXPECT_TRUE(made.filename().string().starts_with("Game-staging-"));
        EXPECT_EQ(made.filename().string().size(), std::string("Game-staging-").size() + 36);
        writeFile(made / "Imported/game/maps/shared.map", "map");
    }
    EXPECT_FALSE(fs::exists(made));
}

TEST(StagingFolder, OnlyThePrefixAndAnUpperCaseUuidAreAStagingName)
{
    const struct {
        const char* name;
        bool staging;
    } cases[] = {
        {"Game-staging-0A3F5D2E-1111-4222-8333-123456789ABC", true},
        {"Game-staging-0a3f5d2e-1111-4222-8333-123456789abc", false},
        {"Game-staging-0A3F5D2E-1111-4222-8333-123456789ABCD", false},
        {"Game-staging-0A3F5D2E11114222-8333-123456789ABC-", false},
        {"Game-staging-0A3F5D2E-1111-4222-8333-123456789ABG", false},
        {"Game-staging-", false},
        {"Game-staging-mine", false},
        {"Runtime-staging-0A3F5D2E-1111-4222-8333-123456789ABC", false},
    };
    for (const auto& example : cases)
        EXPECT_EQ(isStagingName(example.name, "Game-staging-"), example.staging) << example.name;
    const TemporaryFolder root;
    const StagingFolder made(root.path(), "Game-staging-");
    EXPECT_TRUE(isStagingName(made.path().filename().string(), "Game-staging-"));
}

TEST(StagingFolder, RemovalFollowsNoLinkAndGetsThroughFoldersWithoutPermissions)
{
    const TemporaryFolder root;
    writeFile(root / "outside/victim.txt", "keep me");
    fs::path made;
    {
        const StagingFolder staging(root.path(), "Game-staging-");
        made = staging.path();
        fs::create_directory_symlink(root / "outside", made / "link to folder");
        fs::create_symlink(root / "outside/victim.txt", made / "link to file");
        writeFile(made / "closed/inner/file", "x");
        fs::permissions(made / "closed/inner", fs::perms::none);
        fs::permissions(made / "closed", fs::perms::none);
    }
    EXPECT_FALSE(fs::exists(made));
    EXPECT_EQ(testing::readFile(root / "outside/victim.txt"), "keep me");
}

TEST(StagingFolder, RemovalGetsThroughATreeDeeperThanAnyPathMayBe)
{
    const TemporaryFolder root;
    fs::path made;
    {
        const StagingFolder staging(root.path(), "Game-staging-");
        made = staging.path();
        testing::makeTreeTooDeepForPaths(made);
    }
    EXPECT_FALSE(fs::exists(made));
}

// A game or runtime being replaced may hold folders that its owner made
// read-only; for the player they must not stop a setup halfway.
TEST(RemoveTree, RemovesAPlayersReadOnlyFoldersAndNamesWhatItCannotRemove)
{
    const TemporaryFolder folder;
    const fs::path players = testing::playersFolder(folder / "players");
    EXPECT_EXIT(testing::exitWithFailureOfUnprivileged([&] {
                    writeFile(players / "game/saves/closed/save.dat", "x");
                    fs::permissions(players / "game/saves/closed", fs::perms::owner_read | fs::perms::owner_exec);
                    fs::permissions(players / "game/saves", fs::perms::owner_read | fs::perms::owner_exec);
                    fs::permissions(players / "game", fs::perms::owner_read | fs::perms::owner_exec);
                    removeTree(players / "game");
                    if (fs::exists(players / "game"))
                        throw std::runtime_error("the game is still there");
                    removeTree(players / "never made");
                    throw std::runtime_error("removed");
                }),
                ::testing::ExitedWithCode(0), "^removed\n$");

    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can make a folder that the player cannot empty";
    writeFile(players / "runtime/lib/not the players.dylib", "x");
    ASSERT_EQ(::chown((players / "runtime").c_str(), testing::unprivilegedUser(), static_cast<gid_t>(-1)), 0);
    EXPECT_EXIT(testing::exitWithFailureOfUnprivileged([&] { removeTree(players / "runtime"); }),
                ::testing::ExitedWithCode(0), "Permission denied");
}

// A save locked in Finder must not stop an uninstall or a repair: its owner's
// lock is lifted. A lock only the superuser may lift stays, and the error names
// the entry that refused, whether the lock is on it or on its folder.
TEST(RemoveTree, LiftsTheOwnersLocksAndNamesWhatALockBeyondThemKeeps)
{
    const TemporaryFolder folder;
    writeFile(folder / "owners/saves/slot.sav", "x");
    {
        const testing::EntryLock file(folder / "owners/saves/slot.sav", testing::LockKind::owner);
        const testing::EntryLock saves(folder / "owners/saves", testing::LockKind::owner);
        if (file && saves) {
            EXPECT_NO_THROW(removeTree(folder / "owners"));
            EXPECT_FALSE(fs::exists(folder / "owners"));
        }
    }

    for (const std::string locked : {"saves/slot.sav", "saves"}) {
        SCOPED_TRACE(locked);
        const fs::path tree = folder / "system";
        writeFile(tree / "saves/slot.sav", "x");
        writeFile(tree / "other.txt", "y");
        {
            const testing::EntryLock lock(tree / locked, testing::LockKind::superuser);
            if (!lock)
                GTEST_SKIP() << "only the superuser can lock a file beyond its owner's reach";
            try {
                removeTree(tree);
                ADD_FAILURE() << "the locked file was removed";
            } catch (const fs::filesystem_error& error) {
                EXPECT_EQ(error.code(), std::errc::operation_not_permitted);
                EXPECT_EQ(error.path1(), tree / "saves/slot.sav");
            }
            EXPECT_FALSE(fs::exists(tree / "other.txt"));
        }
        removeTree(tree);
    }
}

} // namespace
} // namespace launcher
