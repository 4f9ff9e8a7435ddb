// The snapshots every launch takes of the player's saves.

#include "app/SaveSnapshots.h"
#include "app/SavesTestSupport.h"
#include "core/Uuid.h"
#include "support/TemporaryFolder.h"
#include "support/Unprivileged.h"

#include <functional>
#include <stdexcept>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace launcher {
namespace {

namespace fs = std::filesystem;
using testing::filesBelow;
using testing::readFile;
using testing::SavesInstallation;
using testing::TemporaryFolder;
using testing::writeFile;

ino_t inodeOf(const fs::path& file)
{
    struct stat info {};
    EXPECT_EQ(::lstat(file.c_str(), &info), 0) << file;
    return info.st_ino;
}

// Gives the unprivileged user of the death tests the whole tree, links included.
void handOver(const fs::path& root)
{
    const uid_t user = testing::unprivilegedUser();
    ASSERT_EQ(::lchown(root.c_str(), user, static_cast<gid_t>(-1)), 0);
    for (const auto& entry : fs::recursive_directory_iterator(root))
        ASSERT_EQ(::lchown(entry.path().c_str(), user, static_cast<gid_t>(-1)), 0) << entry.path();
}

class SaveSnapshotsTest : public ::testing::Test {
protected:
    fs::path snapshot(const std::string& name) const { return m_saves.backups() / name; }
    fs::path newest() const { return snapshot(m_saves.installer().saveSnapshots().front().name); }

    // For death tests: launches as the player and exits, printing "reported: "
    // and the snapshot's failure when there was one.
    [[noreturn]] void launchAsPlayer() const
    {
        testing::exitWithFailureOfUnprivileged([&] {
            const LaunchedGame launched = m_saves.launchAndWait();
            if (launched.snapshotFailure)
                throw std::runtime_error("reported: " + *launched.snapshotFailure);
        });
    }

    TemporaryFolder m_folder;
    SavesInstallation m_saves{m_folder / "root"};
};

TEST_F(SaveSnapshotsTest, ALaunchKeepsTheUsersFolderAndTheGamesItemsButNoLinkAndNoConfiguration)
{
    // Wine links profile folders to the player's own; neither they nor what they reach belong in a snapshot.
    writeFile(m_folder / "outside/photo.jpg", "the player's own");
    fs::create_directory_symlink(m_folder / "outside", m_saves.profile() / "Pictures");
    fs::create_symlink(m_folder / "outside/photo.jpg", m_saves.profile() / "Documents/linked.sav");
    const fs::path game = m_saves.installer().game();
    writeFile(game / "logs/session.log", "played");
    writeFile(game / "veyra2config1.ini", "written by the launcher");

    m_saves.launchAndWait();

    const auto snapshots = m_saves.installer().saveSnapshots();
    ASSERT_EQ(snapshots.size(), 1u);
    EXPECT_FALSE(snapshots[0].kept);
    const std::map<std::string, std::string> expected{
        {"users/player/Documents/Veyra 2/slot1.sav", "slot one"},
        {"users/player/AppData/Roaming/Veyra 2/profile.dat", "profile"},
        {"game/veyra2accounts.xml", "<accounts/>"},
        {"game/imgui.ini", "[Window]"},
        {"game/logs/session.log", "played"},
        {"order.txt", "1\n"},
    };
    EXPECT_EQ(filesBelow(snapshot(snapshots[0].name)), expected);
    EXPECT_EQ(snapshots[0].files, expected.size() - 1) << "the order record is no save";
    EXPECT_EQ(snapshots[0].bytes, 8u + 7u + 11u + 8u + 6u);
    EXPECT_FALSE(fs::exists(fs::symlink_status(snapshot(snapshots[0].name) / "users/player/Pictures")));
    EXPECT_EQ(fs::last_write_time(newest() / "users/player/Documents/Veyra 2/slot1.sav"),
              fs::last_write_time(m_saves.profile() / "Documents/Veyra 2/slot1.sav"));
}

TEST_F(SaveSnapshotsTest, UnchangedFilesAreSharedWithTheNewestSnapshotAndUnchangedSavesMakeNone)
{
    m_saves.launchAndWait();
    const fs::path first = newest();
    m_saves.launchAndWait();
    EXPECT_EQ(m_saves.snapshotFolders().size(), 1u) << "the saves did not change";

    m_saves.writeSave("Documents/Veyra 2/slot1.sav", "slot one, later");
    m_saves.launchAndWait();
    ASSERT_EQ(m_saves.snapshotFolders().size(), 2u);
    const fs::path second = newest();
    const std::string unchanged = "users/player/AppData/Roaming/Veyra 2/profile.dat";
    const std::string changed = "users/player/Documents/Veyra 2/slot1.sav";
    EXPECT_EQ(inodeOf(second / unchanged), inodeOf(first / unchanged));
    EXPECT_EQ(inodeOf(second / "game/imgui.ini"), inodeOf(first / "game/imgui.ini"));
    EXPECT_NE(inodeOf(second / changed), inodeOf(first / changed));
    EXPECT_EQ(readFile(first / changed), "slot one");
    EXPECT_EQ(readFile(second / changed), "slot one, later");
    // A live file is never a snapshot's file: the game writes in place.
    EXPECT_NE(inodeOf(second / changed), inodeOf(m_saves.profile() / "Documents/Veyra 2/slot1.sav"));
    EXPECT_NE(inodeOf(second / "game/imgui.ini"), inodeOf(m_saves.installer().game() / "imgui.ini"));

    // Removing a file or adding an empty folder is a change too.
    for (const auto& change : std::vector<std::function<void()>>{
             [&] { fs::remove(m_saves.profile() / "AppData/Roaming/Veyra 2/profile.dat"); },
             [&] { fs::create_directories(m_saves.profile() / "Saved Games"); },
             [&] { fs::remove(m_saves.installer().game() / "imgui.ini"); },
         }) {
        const std::size_t before = m_saves.snapshotFolders().size();
        change();
        m_saves.launchAndWait();
        EXPECT_EQ(m_saves.snapshotFolders().size(), before + 1);
    }
}

TEST_F(SaveSnapshotsTest, LaunchesKeepTheNewestTenAndNeverRotateOutAKeptSnapshot)
{
    m_saves.launchAndWait();
    const std::string kept = *SaveSnapshots(m_saves.installer().layout()).takeKept("Kept by the test.");
    EXPECT_EQ(kept, m_saves.installer().saveSnapshots().front().name) << "equal saves: the newest is marked";
    std::vector<std::string> taken;
    for (int launch = 0; launch < 12; ++launch) {
        m_saves.writeSave("Documents/Veyra 2/slot1.sav", "round " + std::to_string(launch));
        m_saves.launchAndWait();
        taken.push_back(m_saves.installer().saveSnapshots().front().name);
    }

    std::vector<std::string> listed;
    for (const SaveSnapshot& snapshot : m_saves.installer().saveSnapshots())
        listed.push_back(snapshot.name);
    std::vector<std::string> expected(taken.rbegin(), taken.rbegin() + 10);
    expected.push_back(kept);
    EXPECT_EQ(listed, expected);
    EXPECT_EQ(readFile(snapshot(kept) / "kept.txt"), "Kept by the test.\n");
    EXPECT_EQ(readFile(snapshot(listed.front()) / "users/player/Documents/Veyra 2/slot1.sav"), "round 11");
}

TEST_F(SaveSnapshotsTest, RotationFollowsTheOrderSnapshotsWereMadeNotTheNamesAClockChose)
{
    // Taken while the clock was far ahead: one with its order recorded, and one
    // from before orders were recorded.
    m_saves.launchAndWait();
    fs::rename(newest(), snapshot("Saves-20991231T235959Z"));
    writeFile(snapshot("Saves-20990101T000000Z") / "users/player/old.sav", "from an older launcher");

    std::vector<std::string> taken;
    for (int launch = 0; launch < 11; ++launch) {
        m_saves.writeSave("Documents/Veyra 2/slot1.sav", "round " + std::to_string(launch));
        m_saves.launchAndWait();
        taken.push_back(m_saves.installer().saveSnapshots().front().name);
        EXPECT_EQ(readFile(newest() / "users/player/Documents/Veyra 2/slot1.sav"), "round " + std::to_string(launch))
            << "the launch's own snapshot is the newest";
    }

    std::vector<std::string> listed;
    for (const SaveSnapshot& kept : m_saves.installer().saveSnapshots())
        listed.push_back(kept.name);
    EXPECT_EQ(listed, std::vector<std::string>(taken.rbegin(), taken.rbegin() + 10));
}

TEST_F(SaveSnapshotsTest, AFolderThatCannotBeReadIsLeftOutAndNamedWhileTheRestIsKept)
{
    m_saves.writeSave("Locked/secret.sav", "unreadable");
    handOver(m_folder / "root");
    fs::permissions(m_saves.profile() / "Locked", fs::perms::none);

    EXPECT_EXIT(launchAsPlayer(),
                ::testing::ExitedWithCode(0), "reported: it left out what could not be read: .*/player/Locked\n");

    fs::permissions(m_saves.profile() / "Locked", fs::perms::owner_all);
    ASSERT_EQ(m_saves.snapshotFolders().size(), 1u);
    EXPECT_EQ(readFile(newest() / "users/player/Documents/Veyra 2/slot1.sav"), "slot one");
    EXPECT_FALSE(fs::exists(newest() / "users/player/Locked"));
    const std::string log = readFile(m_folder / "root/Logs/veyra2.log");
    EXPECT_NE(log.find("left out what could not be read: " + (m_saves.profile() / "Locked").string()),
              std::string::npos)
        << log;
}

TEST_F(SaveSnapshotsTest, TheNextSnapshotRemovesLeftoverStagingFoldersOfTheExactFormOnly)
{
    const std::string leftover = "Saves-staging-" + freshUuid();
    writeFile(m_saves.backups() / leftover / "users/half.sav", "half");
    writeFile(m_saves.backups() / "Saves-staging-mine/keep.txt", "not the launcher's");
    writeFile(m_saves.backups() / "notes.txt", "mine");

    m_saves.launchAndWait();

    EXPECT_FALSE(fs::exists(m_saves.backups() / leftover));
    EXPECT_TRUE(fs::exists(m_saves.backups() / "Saves-staging-mine/keep.txt"));
    EXPECT_TRUE(fs::exists(m_saves.backups() / "notes.txt"));
    EXPECT_EQ(m_saves.installer().saveSnapshots().size(), 1u);
}

TEST_F(SaveSnapshotsTest, ASnapshotThatFailsMidwayLeavesNoPartOfItAndTheGameStartsAnyway)
{
    m_saves.launchAndWait();
    const std::string earlier = m_saves.snapshotFolders().front();
    const auto earlierFiles = filesBelow(snapshot(earlier));
    m_saves.writeSave("Documents/Veyra 2/slot1.sav", "changed");
    m_saves.writeSave("Documents/Veyra 2/zz-unreadable.sav", "secret");
    handOver(m_folder / "root");
    fs::permissions(m_saves.profile() / "Documents/Veyra 2/zz-unreadable.sav", fs::perms::none);

    EXPECT_EXIT(launchAsPlayer(),
                ::testing::ExitedWithCode(0), "reported: .*Permission denied");

    EXPECT_EQ(m_saves.snapshotFolders(), std::vector<std::string>{earlier});
    EXPECT_EQ(filesBelow(snapshot(earlier)), earlierFiles);
    const std::string log = readFile(m_folder / "root/Logs/veyra2.log");
    const auto note = log.find("[Veyra 2 Mac Launcher] The snapshot of your saves before this start failed: ");
    ASSERT_NE(note, std::string::npos) << log;
    EXPECT_NE(log.find("The game starts anyway; earlier snapshots are unchanged.\n"), std::string::npos) << log;
    EXPECT_NE(log.find("Veyra 2 stand-in started", note), std::string::npos) << "the game started after the note";
}

} // namespace
} // namespace launcher
