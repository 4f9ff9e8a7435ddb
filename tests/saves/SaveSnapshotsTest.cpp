// The snapshots every launch takes of the player's saves.

#include "app/LaunchedGame.h"
#include "app/SavesTestSupport.h"
#include "core/Uuid.h"
#include "saves/SaveSnapshot.h"
#include "saves/SaveSnapshots.h"
#include "saves/SavesRestore.h"
#include "saves/SavesSwap.h"
#include "support/ProgramRun.h"
#include "support/TemporaryFolder.h"
#include "support/TestHost.h"
#include "support/TreeListing.h"
#include "support/Unprivileged.h"

#include <functional>
#include <set>
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
    fs::path newest() const { return snapshot(saveSnapshots(m_saves.installation()).front().name); }

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
    const fs::path game = m_saves.installation().game();
    writeFile(game / "logs/session.log", "played");
    writeFile(game / "veyra2config1.ini", "written by the launcher");

    m_saves.launchAndWait();

    const auto snapshots = saveSnapshots(m_saves.installation());
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
    EXPECT_NE(inodeOf(second / "game/imgui.ini"), inodeOf(m_saves.installation().game() / "imgui.ini"));

    // Removing a file or adding an empty folder is a change too.
    for (const auto& change : std::vector<std::function<void()>>{
             [&] { fs::remove(m_saves.profile() / "AppData/Roaming/Veyra 2/profile.dat"); },
             [&] { fs::create_directories(m_saves.profile() / "Saved Games"); },
             [&] { fs::remove(m_saves.installation().game() / "imgui.ini"); },
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
    const std::string kept = SaveSnapshots(m_saves.installation().layout()).takeKept("Kept by the test.")->name;
    EXPECT_EQ(kept, saveSnapshots(m_saves.installation()).front().name) << "equal saves: the newest is marked";
    std::vector<std::string> taken;
    for (int launch = 0; launch < 12; ++launch) {
        m_saves.writeSave("Documents/Veyra 2/slot1.sav", "round " + std::to_string(launch));
        m_saves.launchAndWait();
        taken.push_back(saveSnapshots(m_saves.installation()).front().name);
    }

    std::vector<std::string> listed;
    for (const SaveSnapshot& snapshot : saveSnapshots(m_saves.installation()))
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
        taken.push_back(saveSnapshots(m_saves.installation()).front().name);
        EXPECT_EQ(readFile(newest() / "users/player/Documents/Veyra 2/slot1.sav"), "round " + std::to_string(launch))
            << "the launch's own snapshot is the newest";
    }

    std::vector<std::string> listed;
    for (const SaveSnapshot& kept : saveSnapshots(m_saves.installation()))
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
    EXPECT_EQ(saveSnapshots(m_saves.installation()).size(), 1u);
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

TEST_F(SaveSnapshotsTest, AnOrderOutOfRangeCountsAsDamagedAndRanksBelowTheOthers)
{
    // Beyond the last order, at 0, and at the largest number the record can hold, whose next would wrap to 0.
    for (const char* damaged : {"9007199254740992", "0", "18446744073709551615"}) {
        SCOPED_TRACE(damaged);
        m_saves.writeSave("Documents/Veyra 2/slot1.sav", std::string("before ") + damaged);
        m_saves.launchAndWait();
        const std::string older = saveSnapshots(m_saves.installation()).front().name;
        writeFile(snapshot(older) / "order.txt", std::string(damaged) + "\n");
        m_saves.writeSave("Documents/Veyra 2/slot1.sav", std::string("after ") + damaged);
        m_saves.launchAndWait();

        // The earlier rounds' snapshots stay, each with a valid order.
        const auto listed = saveSnapshots(m_saves.installation());
        ASSERT_GE(listed.size(), 2u);
        EXPECT_EQ(readFile(snapshot(listed.front().name) / "users/player/Documents/Veyra 2/slot1.sav"),
                  std::string("after ") + damaged);
        EXPECT_EQ(readFile(snapshot(listed.front().name) / "order.txt"), std::to_string(listed.size() - 1) + "\n")
            << "the order goes on from the valid ones";
        EXPECT_EQ(listed.back().name, older) << "the damaged one ranks below all others";
        fs::remove_all(snapshot(older));
    }
}

// A restore interrupted with a journal cut short: the launch says why it took
// no snapshot, in one sentence, and the game starts.
TEST_F(SaveSnapshotsTest, ADamagedRestoreJournalIsTheLaunchsSnapshotFailureInOneSentence)
{
    const Layout& layout = m_saves.installation().layout();
    const fs::path staging = restoreStagingParent(layout) / ("Restore-staging-" + freshUuid());
    fs::create_directories(staging / "new-0");
    writeRestoreJournal(layout, staging, {{layout.users(), staging / "new-0", staging / "old-0"}});
    const std::string journal = readFile(staging / "journal");
    writeFile(staging / "journal", journal.substr(0, journal.size() - 5));

    const LaunchedGame launched = m_saves.launchAndWait();

    const std::string sentence = "The journal of an interrupted restore of your saves, " +
                                 (staging / "journal").string() +
                                 ", is damaged: move its folder out of the prefix, then try again.";
    EXPECT_EQ(launched.snapshotFailure, sentence);
    const std::string log = readFile(m_folder / "root/Logs/veyra2.log");
    EXPECT_NE(log.find("[Veyra 2 Mac Launcher] The snapshot of your saves before this start failed: " +
                       sentence.substr(0, sentence.size() - 1) +
                       ". The game starts anyway; earlier snapshots are unchanged.\n"),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("Veyra 2 stand-in started"), std::string::npos);
}

// Every file path in the snapshot below "users/".
std::set<std::string> usersIn(const fs::path& snapshot)
{
    std::set<std::string> files;
    for (const auto& [path, content] : filesBelow(snapshot))
        if (path.starts_with("users/"))
            files.insert(path);
    return files;
}

// A link to the root, around it or into it would copy the snapshots into
// themselves at every launch, and a restore would swap the root for its copy.
TEST(SavesLinkedToTheRoot, AreLeftOutOfSnapshotsAndRestoresWhichLeaveTheRootInPlace)
{
    const std::string holds = ", a link to a folder that holds the launcher's folder; link it to a folder of its "
                              "own to have its saves kept.";
    const std::string into = ", a link into the launcher's folder; link it to a folder of its own to have its "
                             "saves kept.";
    const struct {
        const char* link;
        // Below the player's home, which holds the root.
        const char* target;
        std::string sentence;
    } cases[] = {
        {"users/player", "", "The snapshot leaves out users/player" + holds},
        {"users/player", ".local/share/Veyra2MacLauncher", "The snapshot leaves out users/player" + holds},
        {"users/player", ".local/share/Veyra2MacLauncher/Install", "The snapshot leaves out users/player" + into},
        {"users", "", "The snapshot leaves out users" + holds},
    };
    for (const auto& example : cases) {
        SCOPED_TRACE(std::string(example.link) + " -> ~/" + example.target);
        const TemporaryFolder folder;
        const fs::path home = folder / "home";
        const SavesInstallation saves(home / ".local/share/Veyra2MacLauncher");
        const fs::path users = saves.installation().layout().users();
        writeFile(users / "alice/slot.sav", "alice's");
        writeFile(home / "Documents/letter.txt", "the player's own");
        const fs::path link = users.parent_path() / example.link;
        fs::remove_all(link);
        fs::create_directory_symlink(home / example.target, link);

        {
            const LaunchedGame first = saves.launchAndWait();
            EXPECT_EQ(first.snapshotLeftOut, std::vector<std::string>{example.sentence});
            EXPECT_EQ(first.snapshotFailure, std::nullopt);
        }
        const std::string firstName = saveSnapshots(saves.installation()).front().name;
        writeFile(saves.installation().game() / "imgui.ini", "[Window] moved");
        saves.launchAndWait();
        const auto snapshots = saveSnapshots(saves.installation());
        ASSERT_EQ(snapshots.size(), 2u);
        EXPECT_EQ(snapshots[0].files, snapshots[1].files) << "no snapshot holds another";
        const std::set<std::string> kept = usersIn(saves.backups() / snapshots[0].name);
        EXPECT_EQ(kept, example.link == std::string("users") ? std::set<std::string>{}
                                                             : std::set<std::string>{"users/alice/slot.sav"});
        EXPECT_NE(readFile(saves.root() / "Logs/veyra2.log").find("[Veyra 2 Mac Launcher] " + example.sentence + "\n"),
                  std::string::npos);

        auto outsideTheRoot = [&] {
            auto entries = testing::entriesBelow(home);
            std::erase_if(entries, [](const auto& entry) { return entry.first.starts_with(".local/share/"); });
            return entries;
        };
        const auto before = outsideTheRoot();
        const RestoredSaves restored = restoreSaves(saves.installation(), firstName);
        EXPECT_EQ(outsideTheRoot(), before);
        EXPECT_EQ(fs::read_symlink(link), home / example.target);
        EXPECT_TRUE(fs::exists(saves.root() / "installed.json"));
        EXPECT_EQ(saveSnapshots(saves.installation()).front().name, restored.previous) << "its undo is there";
        EXPECT_EQ(restored.leftOut, std::vector<std::string>{example.sentence}) << "and leaves the link out too";
        EXPECT_EQ(readFile(saves.installation().game() / "imgui.ini"), "[Window]");
    }
}

// Two profiles linked to one folder, and links that lead back: each folder's
// saves are copied once, and a restore writes each folder once.
TEST(SavesLinkedTwice, EachFolderIsFollowedOnceAndRestoredOnce)
{
    const struct {
        const char* layout;
        // Makes the links; returns the folder whose saves are kept through users/alice.
        std::function<fs::path(const fs::path& users, const fs::path& outside)> link;
        std::vector<std::string> leftOut;
        std::set<std::string> kept;
    } cases[] = {
        {"two profiles linked to one folder, and one to the users folder",
         [](const fs::path& users, const fs::path& outside) {
             fs::create_directory_symlink(outside, users / "alice");
             fs::create_directory_symlink(outside, users / "steamuser");
             fs::create_directory_symlink(".", users / "loop");
             return outside;
         },
         {"The snapshot leaves out users/loop, a link into the launcher's folder; link it to a folder of its own to "
          "have its saves kept.",
          "The snapshot leaves out users/steamuser, a link to saves it keeps through users/alice."},
         {"users/alice/slot.sav", "users/player/Documents/Veyra 2/slot1.sav",
          "users/player/AppData/Roaming/Veyra 2/profile.dat"}},
        {"a linked users folder that links back to itself, and a profile around another",
         [](const fs::path& users, const fs::path& outside) {
             fs::rename(users, outside / "users");
             fs::create_directory_symlink(outside / "users", users);
             fs::create_directory_symlink(".", users / "loop");
             fs::create_directory_symlink(outside / "alice's", users / "alice");
             fs::create_directory_symlink(outside, users / "wide");
             return outside / "alice's";
         },
         {"The snapshot leaves out users/loop, a link to saves it keeps through users.",
          "The snapshot leaves out users/wide, a link to a folder around the saves it keeps through users; link it "
          "to a folder of its own to have its saves kept."},
         {"users/alice/slot.sav", "users/player/Documents/Veyra 2/slot1.sav",
          "users/player/AppData/Roaming/Veyra 2/profile.dat"}},
    };
    for (const auto& example : cases) {
        SCOPED_TRACE(example.layout);
        const TemporaryFolder folder;
        const SavesInstallation saves(folder / "root");
        const fs::path users = saves.installation().layout().users();
        fs::create_directories(folder / "outside");
        const fs::path alices = example.link(users, folder / "outside");
        writeFile(alices / "slot.sav", "first");

        // The command line names each link left out on standard error, one a line.
        const testing::ProgramResult launched =
            testing::runProgram(testing::fixtureProgram(), {"--cli", "--launch", "--home", saves.root().string()});
        EXPECT_EQ(launched.status, 0);
        EXPECT_EQ(launched.err, example.leftOut[0] + "\n" + example.leftOut[1] + "\n");
        const std::string firstName = saveSnapshots(saves.installation()).front().name;
        EXPECT_EQ(usersIn(saves.backups() / firstName), example.kept);

        writeFile(alices / "slot.sav", "later");
        writeFile(alices / "new.sav", "new");
        // So do a restore and an uninstall that keeps the saves, for the snapshots they take.
        const testing::ProgramResult restored = testing::runProgram(
            testing::fixtureProgram(), {"--cli", "--restore-saves", firstName, "--home", saves.root().string()});
        EXPECT_EQ(restored.status, 0);
        EXPECT_EQ(restored.err, launched.err);
        EXPECT_EQ(readFile(alices / "slot.sav"), "first");
        EXPECT_FALSE(fs::exists(alices / "new.sav"));
        const std::string previous = saveSnapshots(saves.installation()).front().name;
        EXPECT_EQ(readFile(saves.backups() / previous / "users/alice/new.sav"), "new");
        for (const auto& entry : fs::recursive_directory_iterator(folder.path()))
            EXPECT_FALSE(entry.path().filename().string().starts_with("Restore-staging-")) << entry.path();
        EXPECT_EQ(saves.launchAndWait().snapshotFailure, std::nullopt);

        writeFile(alices / "slot.sav", "last");
        const testing::ProgramResult uninstalled = testing::runProgram(
            testing::fixtureProgram(), {"--cli", "--uninstall", "--keep-saves", "--home", saves.root().string()});
        EXPECT_EQ(uninstalled.status, 0);
        EXPECT_EQ(uninstalled.err, launched.err);
    }
}

} // namespace
} // namespace launcher
