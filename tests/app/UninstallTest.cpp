// Uninstall: what it removes, what it keeps, and the space it reports.

#include "app/SavesTestSupport.h"
#include "app/Uninstall.h"
#include "app/UninstallPlan.h"
#include "core/SetupFailure.h"
#include "core/Uuid.h"
#include "saves/SavesRestore.h"
#include "support/EntryLock.h"
#include "support/PrivateMount.h"
#include "support/TemporaryFolder.h"
#include "support/TestHost.h"
#include "support/Unprivileged.h"

#include <algorithm>
#include <cstdlib>
#include <iostream>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace launcher {
namespace {

namespace fs = std::filesystem;
using testing::readFile;
using testing::SavesInstallation;
using testing::TemporaryFolder;
using testing::writeFile;

std::vector<std::string> entriesOf(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::ranges::sort(names);
    return names;
}

class UninstallTest : public ::testing::Test {
protected:
    UninstallTest()
    {
        // Every folder the launcher makes, and what it must leave alone.
        writeFile(root() / "Downloads/engine.tar.xz", "download");
        writeFile(root() / "Audio-import/wmadmod.dll", "decoder");
        writeFile(root() / m_staging / "half.bin", "half");
        writeFile(root() / "Game-staging-mine/keep.txt", "not the launcher's");
        writeFile(root() / "notes.txt", "the player's");
        writeFile(m_folder / "outside/photo.jpg", "the player's own");
        fs::create_directory_symlink(m_folder / "outside", m_saves.profile() / "Pictures");
        fs::create_directories(m_saves.installation().prefix() / "dosdevices");
        fs::create_directory_symlink(m_folder / "outside", m_saves.installation().prefix() / "dosdevices/z:");
    }

    fs::path root() const { return m_saves.root(); }

    TemporaryFolder m_folder;
    SavesInstallation m_saves{m_folder / "root"};
    std::string m_staging = "Runtime-staging-" + freshUuid();
};

TEST_F(UninstallTest, RemovesTheLaunchersEntriesWithoutFollowingLinksAndKeepsTheRest)
{
    m_saves.launchAndWait();
    const UninstallPlan planned = planUninstall(m_saves.installation(), false);

    const UninstallReport report = uninstall(m_saves.installation(), false);

    EXPECT_EQ(report.plan.removed, (std::vector<std::string>{"installed.json", "Install", "Runtime", "Downloads",
                                                             "Audio-import", "Logs", "Backups", m_staging}));
    EXPECT_EQ(planned.removed, report.plan.removed);
    ASSERT_EQ(report.plan.kept.size(), 3u);
    EXPECT_EQ(report.plan.kept[0].name, "Game-staging-mine");
    EXPECT_EQ(report.plan.kept[0].reason, "not made by the launcher");
    EXPECT_EQ(report.plan.kept[1].name, "launcher.lock");
    EXPECT_EQ(report.plan.kept[1].reason, "other launchers may hold it");
    EXPECT_EQ(report.plan.kept[2].name, "notes.txt");
    EXPECT_FALSE(report.savesSnapshot);
    EXPECT_EQ(entriesOf(root()), (std::vector<std::string>{"Game-staging-mine", "launcher.lock", "notes.txt"}));
    EXPECT_EQ(readFile(m_folder / "outside/photo.jpg"), "the player's own");
    EXPECT_FALSE(m_saves.installation().isInstalled());
}

TEST_F(UninstallTest, KeepingTheSavesPutsTheLiveOnesInAKeptSnapshotAndKeepsBackups)
{
    m_saves.launchAndWait();
    const std::string earlier = saveSnapshots(m_saves.installation()).front().name;
    m_saves.writeSave("Documents/Veyra 2/slot1.sav", "played after the last launch");
    const UninstallPlan planned = planUninstall(m_saves.installation(), true);
    EXPECT_EQ(std::ranges::count(planned.removed, "Backups"), 0);

    const UninstallReport report = uninstall(m_saves.installation(), true);

    ASSERT_TRUE(report.savesSnapshot);
    EXPECT_EQ(std::ranges::count(report.plan.removed, "Backups"), 0);
    EXPECT_EQ(report.plan.kept.front().name, "Backups");
    EXPECT_EQ(report.plan.kept.front().reason, "your saves");
    EXPECT_EQ(entriesOf(root()),
              (std::vector<std::string>{"Backups", "Game-staging-mine", "launcher.lock", "notes.txt"}));
    const fs::path last = m_saves.backups() / *report.savesSnapshot;
    EXPECT_EQ(readFile(last / "users/player/Documents/Veyra 2/slot1.sav"), "played after the last launch");
    EXPECT_EQ(readFile(last / "game/veyra2accounts.xml"), "<accounts/>");
    EXPECT_TRUE(fs::exists(m_saves.backups() / earlier));
    const auto snapshots = saveSnapshots(m_saves.installation());
    EXPECT_TRUE(snapshots.front().kept);
    EXPECT_EQ(snapshots.front().name, *report.savesSnapshot);
}

TEST_F(UninstallTest, KeepingTheSavesRefusesAndRemovesNothingWhenAFolderOfThemCannotBeRead)
{
    m_saves.writeSave("Locked/secret.sav", "unreadable");
    const uid_t user = testing::unprivilegedUser();
    ASSERT_EQ(::chown(root().c_str(), user, static_cast<gid_t>(-1)), 0);
    for (const auto& entry : fs::recursive_directory_iterator(root()))
        ASSERT_EQ(::lchown(entry.path().c_str(), user, static_cast<gid_t>(-1)), 0) << entry.path();
    fs::permissions(m_saves.profile() / "Locked", fs::perms::none);

    EXPECT_EXIT(testing::exitWithFailureOfUnprivileged([&] { uninstall(m_saves.installation(), true); }),
                ::testing::ExitedWithCode(0),
                "The folder .*/player/Locked cannot be read, so your saves cannot all be kept. Check that you may "
                "read it, then try again.");

    fs::permissions(m_saves.profile() / "Locked", fs::perms::owner_all);
    EXPECT_EQ(readFile(m_saves.profile() / "Locked/secret.sav"), "unreadable");
    EXPECT_TRUE(m_saves.installation().isInstalled());
}

TEST_F(UninstallTest, AnUninstallCutShortReadsAsNoInstallationAndCanRunAgain)
{
    // A folder the player cannot change stops the removal of "Install".
    writeFile(m_saves.installation().game() / "locked/file", "root's");
    const uid_t user = testing::unprivilegedUser();
    for (const auto& entry : fs::recursive_directory_iterator(root()))
        if (entry.path().parent_path().filename() != "locked" && entry.path().filename() != "locked") {
            ASSERT_EQ(::lchown(entry.path().c_str(), user, static_cast<gid_t>(-1)), 0);
        }
    ASSERT_EQ(::chown(root().c_str(), user, static_cast<gid_t>(-1)), 0);

    EXPECT_EXIT(testing::exitWithFailureOfUnprivileged([&] { uninstall(m_saves.installation(), false); }),
                ::testing::ExitedWithCode(0),
                "Some files in .*/Install could not be removed. Check that you may change them, then uninstall again.");

    EXPECT_FALSE(fs::exists(root() / "installed.json"));
    EXPECT_FALSE(m_saves.installation().isInstalled());
    const UninstallReport again = uninstall(m_saves.installation(), false);
    EXPECT_EQ(again.plan.removed.front(), "Install");
    EXPECT_EQ(entriesOf(root()), (std::vector<std::string>{"Game-staging-mine", "launcher.lock", "notes.txt"}));
}

// A save locked in Finder goes with the rest; a lock that only the superuser
// may lift stops the removal, and the sentence names the locked file.
TEST_F(UninstallTest, ASaveItsOwnerLockedGoesAndOneLockedBeyondThatIsNamed)
{
    const fs::path save = m_saves.profile() / "Documents/Veyra 2/slot1.sav";
    m_saves.writeSave("Documents/Veyra 2/slot1.sav", "locked");
    {
        const testing::EntryLock lock(save, testing::LockKind::superuser);
        if (!lock)
            GTEST_SKIP() << "only the superuser can lock a file beyond its owner's reach";
        try {
            uninstall(m_saves.installation(), false);
            ADD_FAILURE() << "the locked save was removed";
        } catch (const SetupFailure& failure) {
            EXPECT_EQ(std::string(failure.what()),
                      "Some files in " + (root() / "Install").string() + " could not be removed: " + save.string() +
                          " is locked. Unlock it in its Get Info window in Finder, then uninstall again.");
        }
        EXPECT_EQ(readFile(save), "locked");
    }

    const testing::EntryLock ownersLock(save, testing::LockKind::owner);
    uninstall(m_saves.installation(), false);
    EXPECT_EQ(entriesOf(root()), (std::vector<std::string>{"Game-staging-mine", "launcher.lock", "notes.txt"}));
}

TEST(Uninstall, TheSpaceFreedCountsAFileThatSnapshotsShareOnceAndOneLinkedElsewhereNotAtAll)
{
    const TemporaryFolder folder;
    const fs::path root = folder / "root";
    writeFile(root / "Install/prefix/drive_c/users/player/live.sav", std::string(100, 'l'));
    writeFile(root / "Backups/Saves-20261210T141503Z/users/player/shared.sav", std::string(1000, 's'));
    fs::create_directories(root / "Backups/Saves-20261210T141504Z/users/player");
    fs::create_hard_link(root / "Backups/Saves-20261210T141503Z/users/player/shared.sav",
                         root / "Backups/Saves-20261210T141504Z/users/player/shared.sav");
    writeFile(root / "Backups/Saves-20261210T141504Z/users/player/own.sav", std::string(10, 'o'));
    writeFile(root / "Downloads/engine.tar.xz", std::string(5000, 'd'));
    fs::create_hard_link(root / "Downloads/engine.tar.xz", folder / "engine kept elsewhere");
    writeFile(root / "Logs/setup.log", std::string(300, 'g'));
    writeFile(root / "notes.txt", std::string(50, 'n'));

    const UninstallReport report = uninstall(Installation(root, {}, testing::testHost()), false);

    EXPECT_EQ(report.freedBytes, 100u + 1000u + 10u + 300u);
    EXPECT_EQ(entriesOf(root), (std::vector<std::string>{"launcher.lock", "notes.txt"}));
    EXPECT_EQ(fs::file_size(folder / "engine kept elsewhere"), 5000u);
}

TEST(Uninstall, AnAbsentRootIsNoFailureAndStaysAbsent)
{
    const TemporaryFolder folder;
    const UninstallReport report = uninstall(Installation(folder / "absent", {}, testing::testHost()), true);
    EXPECT_TRUE(report.plan.removed.empty());
    EXPECT_TRUE(report.plan.kept.empty());
    EXPECT_EQ(report.freedBytes, 0u);
    EXPECT_FALSE(fs::exists(folder / "absent"));
}

// A file system mounted inside the root, here at a profile's Music folder, is
// the player's: uninstall leaves it, with the folders above it, and names it
// among what it kept. The mount lives in the death test child's own namespace.
TEST(Uninstall, LeavesAFileSystemMountedInsideTheRootAndNamesItAmongWhatItKept)
{
    if (const auto refusal = testing::privateMountRefusal())
        GTEST_SKIP() << "This machine does not let a test mount a file system: " << *refusal;
    for (const auto kind : {testing::MountKind::tmpfs, testing::MountKind::bind}) {
        SCOPED_TRACE(kind == testing::MountKind::tmpfs ? "tmpfs" : "bind mount");
        const TemporaryFolder folder;
        const SavesInstallation saves(folder / "root");
        const fs::path music = saves.profile() / "Music";
        fs::create_directories(music);
        writeFile(folder / "elsewhere/song.ogg", "the player's song");

        const auto uninstallAroundTheMount = [&] {
            try {
                testing::mountPrivately(kind, folder / "elsewhere", music);
                if (kind == testing::MountKind::tmpfs)
                    writeFile(music / "song.ogg", "the player's song");
                const UninstallReport report = uninstall(saves.installation(), false);
                for (const KeptEntry& kept : report.plan.kept)
                    std::cerr << kept.name << " (" << kept.reason << ")\n";
                std::cerr << readFile(music / "song.ogg") << '\n';
            } catch (const std::exception& failure) {
                std::cerr << failure.what() << '\n';
            }
            std::_Exit(0);
        };
        EXPECT_EXIT(uninstallAroundTheMount(), ::testing::ExitedWithCode(0),
                    "^launcher.lock \\(other launchers may hold it\\)\n"
                    "Install/prefix/drive_c/users/player/Music \\(another file system is mounted there\\)\n"
                    "the player's song\n$");

        EXPECT_EQ(readFile(folder / "elsewhere/song.ogg"), "the player's song");
        EXPECT_EQ(entriesOf(saves.root()), (std::vector<std::string>{"Install", "launcher.lock"}));
        EXPECT_EQ(entriesOf(saves.profile()), std::vector<std::string>{"Music"}) << "only the way to the mount point stays";
    }
}

} // namespace
} // namespace launcher
