// Restoring a snapshot of the saves: the swap, its undo, and what a killed
// restore leaves.

#include "app/GameLaunch.h"
#include "app/SavesTestSupport.h"
#include "app/Uninstall.h"
#include "core/Platform.h"
#include "core/SetupFailure.h"
#include "core/Uuid.h"
#include "saves/SaveSnapshot.h"
#include "saves/SavesRestore.h"
#include "saves/SavesSwap.h"
#include "support/EntryLock.h"
#include "support/RunningProgram.h"
#include "support/TemporaryFolder.h"
#include "support/TestHost.h"

#include <chrono>
#include <csignal>
#include <cstring>
#include <memory>
#include <thread>

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace launcher {
namespace {

namespace fs = std::filesystem;
using testing::filesBelow;
using testing::readFile;
using testing::SavesInstallation;
using testing::TemporaryFolder;
using testing::writeFile;

constexpr const char* kSlot = "Documents/Veyra 2/slot1.sav";

class SavesRestore : public ::testing::Test {
protected:
    // Takes a launch's snapshot of the saves as they are and returns its name.
    std::string snapshotNow() const
    {
        m_saves.launchAndWait();
        return saveSnapshots(m_saves.installation()).front().name;
    }

    std::string failureOf(const std::string& name) const
    {
        try {
            restoreSaves(m_saves.installation(), name);
        } catch (const SetupFailure& failure) {
            return failure.what();
        }
        return "restored";
    }

    TemporaryFolder m_folder;
    SavesInstallation m_saves{m_folder / "root"};
};

TEST_F(SavesRestore, ARestoreSwapsInTheSnapshotAndItsUndoSwapsBack)
{
    const std::string first = snapshotNow();
    m_saves.writeSave(kSlot, "slot one, later");
    m_saves.writeSave("Documents/Veyra 2/slot2.sav", "slot two");
    writeFile(m_saves.installation().game() / "imgui.ini", "[Window] moved");
    fs::remove(m_saves.installation().game() / "veyra2accounts.xml");
    const auto later = filesBelow(m_saves.profile());
    // Wine's link to the player's own folder stays as it is.
    writeFile(m_folder / "outside/photo.jpg", "the player's own");
    fs::create_directory_symlink(m_folder / "outside", m_saves.profile() / "Pictures");

    std::vector<std::string> lines;
    const Installation reporting(
        m_saves.root(), [&](const std::string& line) { lines.push_back(line); }, testing::testHost());
    const RestoredSaves restored = restoreSaves(reporting, first);
    EXPECT_EQ(lines, std::vector<std::string>{"Restoring " + first});
    EXPECT_EQ(restored.restored, first);
    EXPECT_EQ(readFile(m_saves.profile() / kSlot), "slot one");
    EXPECT_FALSE(fs::exists(m_saves.profile() / "Documents/Veyra 2/slot2.sav"));
    EXPECT_EQ(readFile(m_saves.installation().game() / "imgui.ini"), "[Window]");
    EXPECT_EQ(readFile(m_saves.installation().game() / "veyra2accounts.xml"), "<accounts/>");
    EXPECT_EQ(fs::read_symlink(m_saves.profile() / "Pictures"), m_folder / "outside");
    EXPECT_EQ(readFile(m_folder / "outside/photo.jpg"), "the player's own");

    // The live saves are copies: writing them leaves the snapshot as it was.
    writeFile(m_saves.profile() / kSlot, "overwritten in place");
    EXPECT_EQ(readFile(m_saves.backups() / first / "users/player" / kSlot), "slot one");

    // The saves from before the restore are a kept snapshot; restoring it undoes the restore.
    const auto snapshots = saveSnapshots(m_saves.installation());
    ASSERT_EQ(snapshots.front().name, restored.previous);
    EXPECT_TRUE(snapshots.front().kept);
    restoreSaves(m_saves.installation(), restored.previous);
    EXPECT_EQ(filesBelow(m_saves.profile()), later);
    EXPECT_EQ(readFile(m_saves.installation().game() / "imgui.ini"), "[Window] moved");
    EXPECT_FALSE(fs::exists(m_saves.installation().game() / "veyra2accounts.xml"));

    for (const auto& entry : fs::directory_iterator(m_saves.installation().layout().users().parent_path()))
        EXPECT_FALSE(entry.path().filename().string().starts_with("Restore-staging-")) << entry.path();
}

TEST_F(SavesRestore, ANameThatIsNoSnapshotIsRefused)
{
    const std::string snapshot = snapshotNow();
    const std::string staging = "Saves-staging-" + freshUuid();
    fs::create_directories(m_saves.backups() / staging);
    fs::create_directories(m_saves.backups() / "Saves-20261210T141503Z-02");
    fs::create_directory_symlink(m_saves.backups() / snapshot, m_saves.backups() / "Saves-20201010T101010Z");
    const auto before = filesBelow(m_saves.profile());

    for (const std::string& name : {std::string("Saves-20301010T101010Z"), std::string(""), std::string(".."),
                                    "../Backups/" + snapshot, snapshot + "/..", "Backups/" + snapshot, staging,
                                    std::string("Saves-20261210T141503Z-02"), std::string("Saves-20201010T101010Z")}) {
        EXPECT_EQ(failureOf(name), "No saved snapshot is called " + name + ".");
    }
    EXPECT_EQ(filesBelow(m_saves.profile()), before);
    EXPECT_EQ(saveSnapshots(m_saves.installation()).size(), 1u) << "a refused restore takes no snapshot";

    fs::remove(m_saves.root() / "installed.json");
    EXPECT_EQ(failureOf(snapshot), "Setup is incomplete. Complete setup before restoring saves.");
}

// A save locked in Finder is replaced like any other; one held by a lock beyond
// its owner's reach stops the restore before it moves anything, and is named.
TEST_F(SavesRestore, ALockedSaveIsReplacedOrNamedBeforeAnythingMoves)
{
    const std::string first = snapshotNow();
    const fs::path settings = m_saves.installation().game() / "imgui.ini";
    writeFile(settings, "[Window] moved");
    {
        const testing::EntryLock lock(settings, testing::LockKind::superuser);
        if (!lock)
            GTEST_SKIP() << "only the superuser can lock a file beyond its owner's reach";
        EXPECT_EQ(failureOf(first), "The restore would replace " + settings.string() + ", but " + settings.string() +
                                        " is locked, so it changed nothing. Unlock it in its Get Info window in "
                                        "Finder, then try again.");
        EXPECT_EQ(readFile(settings), "[Window] moved");
    }
    const testing::EntryLock ownersLock(settings, testing::LockKind::owner);
    EXPECT_EQ(failureOf(first), "restored");
    EXPECT_EQ(readFile(settings), "[Window]");
}

// No staging folder of a restore is left anywhere below the folder.
void expectNoRestoreStaging(const fs::path& folder)
{
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        EXPECT_FALSE(entry.path().filename().string().starts_with("Restore-staging-")) << entry.path();
}

// Players move the users folder or their profile to a synced folder and link it back.
TEST(SavesRestoreThroughLinks, SnapshotsCopyWhatTheLinkReachesAndARestoreWritesIntoItKeepingTheLink)
{
    for (const bool linkedUsers : {true, false}) {
        SCOPED_TRACE(linkedUsers ? "users folder linked" : "profile folder linked");
        const TemporaryFolder folder;
        const SavesInstallation saves(folder / "root");
        const fs::path link = linkedUsers ? saves.installation().layout().users() : saves.profile();
        const fs::path synced = folder / "synced";
        fs::rename(link, synced);
        fs::create_directory_symlink(synced, link);

        saves.launchAndWait();
        const std::string first = saveSnapshots(saves.installation()).front().name;
        EXPECT_EQ(readFile(saves.backups() / first / "users/player" / kSlot), "slot one");
        saves.writeSave(kSlot, "played later");
        saves.writeSave("Documents/Veyra 2/slot2.sav", "slot two");

        const RestoredSaves restored = restoreSaves(saves.installation(), first);
        EXPECT_EQ(fs::read_symlink(link), synced);
        const fs::path profileInSync = linkedUsers ? synced / testing::kProfile : synced;
        EXPECT_EQ(readFile(profileInSync / kSlot), "slot one");
        EXPECT_FALSE(fs::exists(profileInSync / "Documents/Veyra 2/slot2.sav"));
        EXPECT_EQ(readFile(saves.backups() / restored.previous / "users/player" / kSlot), "played later");
        EXPECT_EQ(readFile(saves.backups() / restored.previous / "users/player/Documents/Veyra 2/slot2.sav"),
                  "slot two");

        restoreSaves(saves.installation(), restored.previous);
        EXPECT_EQ(fs::read_symlink(link), synced);
        EXPECT_EQ(readFile(profileInSync / kSlot), "played later");
        expectNoRestoreStaging(synced);
    }
}

// What the next start makes of staging folders without a journal, with a damaged
// one, and with one whose live entry changed since.
TEST(SavesSwap, TheNextStartRemovesOnlyWhatHoldsNoSaveAndStopsAtAnythingItCannotTell)
{
    const TemporaryFolder folder;
    const Layout layout(folder.path());
    const fs::path parent = restoreStagingParent(layout);
    writeFile(layout.users() / "player/slot.sav", "live");
    // Killed while copying: nothing live has moved.
    const std::string copying = "Restore-staging-" + freshUuid();
    writeFile(parent / copying / "new-0/player/slot.sav", "copy");
    writeFile(layout.users() / "player" / copying / "new-1/slot.sav", "copy in a linked profile");
    // Not the launcher's.
    writeFile(parent / "Restore-staging-mine/keep.txt", "the player's");
    // Left by a launcher from before the journal, between its two renames.
    const std::string older = "Restore-staging-" + freshUuid();
    writeFile(parent / older / "previous-game/veyra2accounts.xml", "the only copy");

    recoverInterruptedRestore(layout, testing::testHost());

    EXPECT_FALSE(fs::exists(parent / copying));
    EXPECT_FALSE(fs::exists(layout.users() / "player" / copying));
    EXPECT_EQ(readFile(layout.users() / "player/slot.sav"), "live");
    EXPECT_EQ(readFile(parent / "Restore-staging-mine/keep.txt"), "the player's");
    EXPECT_EQ(readFile(parent / older / "previous-game/veyra2accounts.xml"), "the only copy");

    // A damaged journal is named, and its folder stays.
    const std::string damaged = "Restore-staging-" + freshUuid();
    writeFile(parent / damaged / "journal", "Veyra 2 restore journal 1\n");
    try {
        recoverInterruptedRestore(layout, testing::testHost());
        ADD_FAILURE() << "a damaged journal was taken";
    } catch (const SetupFailure& failure) {
        EXPECT_EQ(std::string(failure.what()), "The journal of an interrupted restore of your saves, " +
                                                   (parent / damaged / "journal").string() +
                                                   ", is damaged: move its folder out of the prefix, then try again.");
    }
    EXPECT_TRUE(fs::exists(parent / damaged / "journal"));
    fs::remove_all(parent / damaged);

    // A live entry that is neither the copy nor the one the journal names stops
    // the mend, which then moves and removes nothing.
    const fs::path journalled = parent / ("Restore-staging-" + freshUuid());
    writeFile(journalled / "new-0/player/slot.sav", "copy");
    writeRestoreJournal(layout, journalled, {{layout.users(), journalled / "new-0", journalled / "old-0"}});
    fs::rename(layout.users(), folder / "moved away");
    writeFile(layout.users() / "player/slot.sav", "made since");
    try {
        recoverInterruptedRestore(layout, testing::testHost());
        ADD_FAILURE() << "an entry the journal does not name was replaced";
    } catch (const SetupFailure& failure) {
        EXPECT_EQ(std::string(failure.what()),
                  "A restore of your saves was interrupted, and " + layout.users().string() +
                      " is not what it left there. Move " + journalled.string() +
                      " out of the prefix, then try again; it holds the saves the restore had not put in place.");
    }
    EXPECT_EQ(readFile(layout.users() / "player/slot.sav"), "made since");
    EXPECT_EQ(readFile(journalled / "new-0/player/slot.sav"), "copy");
}

constexpr int kNeverKilled = 0;

// A machine whose file system may lack the exchange, and whose restore is
// killed for real (SIGKILL, no clean-up) right after its Nth move.
Host movingHost(bool exchanges, int killAfter = kNeverKilled)
{
    Host host = testing::testHost();
    auto moved = std::make_shared<int>(0);
    auto counted = [moved, killAfter] {
        if (++*moved == killAfter)
            ::raise(SIGKILL);
    };
    host.exchangePaths = [exchanges, counted](const fs::path& first, const fs::path& second) {
        if (!exchanges || !platform::exchangePaths(first, second))
            return false;
        counted();
        return true;
    };
    host.renamePath = [counted](const fs::path& from, const fs::path& to) {
        fs::rename(from, to);
        counted();
    };
    return host;
}

constexpr const char* kProfileData = "AppData/Roaming/Veyra 2/profile.dat";
constexpr const char* kPlayedAfter = "Documents/Veyra 2/played-after.sav";

bool anySnapshotHolds(const SavesInstallation& saves, const std::string& file, const std::string& content)
{
    for (const SaveSnapshot& snapshot : saveSnapshots(saves.installation())) {
        const fs::path copy = saves.backups() / snapshot.name / file;
        if (fs::exists(copy) && readFile(copy) == content)
            return true;
    }
    return false;
}

// The saves, the accounts file and the settings, each of one version.
std::string versionOf(const SavesInstallation& saves)
{
    const std::string slot = readFile(saves.profile() / kSlot);
    EXPECT_EQ(readFile(saves.profile() / kProfileData), slot);
    EXPECT_EQ(readFile(saves.installation().game() / "veyra2accounts.xml"), slot);
    EXPECT_EQ(readFile(saves.installation().game() / "imgui.ini"), slot);
    return slot;
}

TEST(SavesRestoreKilled, AfterAnyMoveTheNextLaunchFinishesTheRestoreWithNothingLost)
{
    // The users folder is one item, or with a linked profile each entry of the
    // profile is (two here); the game's two items follow. Each item takes an
    // exchange, or two renames where the file system cannot exchange.
    const struct {
        const char* layout;
        bool linkedProfile;
        bool exchanges;
        int moves;
    } cases[] = {
        {"exchanging", false, true, 3},
        {"renaming", false, false, 6},
        {"exchanging into a linked profile", true, true, 4},
        {"renaming into a linked profile", true, false, 8},
    };
    for (const auto& example : cases) {
        const TemporaryFolder folder;
        const SavesInstallation saves(folder / "root");
        const fs::path synced = folder / "synced";
        if (example.linkedProfile)
            saves.linkProfileTo(synced);
        auto snapshotOf = [&](const std::string& version) {
            saves.writeSave(kSlot, version);
            saves.writeSave(kProfileData, version);
            writeFile(saves.installation().game() / "veyra2accounts.xml", version);
            writeFile(saves.installation().game() / "imgui.ini", version);
            saves.launchAndWait();
            return saveSnapshots(saves.installation()).front().name;
        };
        const std::string old = snapshotOf("old");
        const std::string later = snapshotOf("new");

        for (int killAfter = 1; killAfter <= example.moves; ++killAfter) {
            SCOPED_TRACE(std::string(example.layout) + ", killed after move " + std::to_string(killAfter));
            const bool newIsLive = versionOf(saves) == "new";
            const Installation killed(saves.root(), {}, movingHost(example.exchanges, killAfter));
            EXPECT_EXIT(restoreSaves(killed, newIsLive ? old : later), ::testing::KilledBySignal(SIGKILL), "");
            // The player plays on before the next start, where the saves are in place
            // (not between the two renames of a folder).
            const std::string playedAfter = "played after kill " + std::to_string(killAfter);
            const bool played = fs::is_directory((saves.profile() / kPlayedAfter).parent_path());
            if (played)
                saves.writeSave(kPlayedAfter, playedAfter);

            const Installation next(saves.root(), {}, movingHost(example.exchanges));
            launch(next, false).process.wait();
            if (played) {
                EXPECT_TRUE(anySnapshotHolds(saves, "users/player/" + std::string(kPlayedAfter), playedAfter));
            }

            const std::string expected = newIsLive ? "old" : "new";
            EXPECT_EQ(versionOf(saves), expected);
            expectNoRestoreStaging(restoreStagingParent(saves.installation().layout()));
            EXPECT_EQ(readFile(saves.backups() / saveSnapshots(saves.installation()).front().name / "users"
                               / testing::kProfile / kSlot),
                      expected);
            if (example.linkedProfile) {
                EXPECT_EQ(fs::read_symlink(saves.profile()), synced);
                expectNoRestoreStaging(synced);
            }
        }
    }
}

// Uninstall finishes a killed restore before it removes the prefix, so that
// no linked folder of the player's is left half restored, and keeps a journal
// it cannot finish whose moves reach outside the root.
TEST(SavesRestoreKilled, UninstallFinishesItFirstAndKeepsAJournalThatReachesOutOfTheRoot)
{
    for (const bool finishable : {true, false}) {
        SCOPED_TRACE(finishable ? "as the kill left it" : "a live entry changed since");
        const TemporaryFolder folder;
        const SavesInstallation saves(folder / "root");
        const fs::path synced = folder / "synced";
        saves.linkProfileTo(synced);
        for (const std::string version : {"old", "new"}) {
            saves.writeSave(kSlot, version);
            saves.writeSave(kProfileData, version);
            saves.launchAndWait();
        }
        const std::string old = saveSnapshots(saves.installation())[1].name;
        // The linked profile's "AppData" is restored, its "Documents" not yet.
        const Installation killed(saves.root(), {}, movingHost(true, 1));
        EXPECT_EXIT(restoreSaves(killed, old), ::testing::KilledBySignal(SIGKILL), "");

        if (finishable) {
            uninstall(saves.installation(), false);
            EXPECT_EQ(readFile(synced / kSlot), "old");
            EXPECT_EQ(readFile(synced / kProfileData), "old");
            expectNoRestoreStaging(synced);
            EXPECT_FALSE(fs::exists(saves.root() / "Install"));
        } else {
            fs::rename(synced / "Documents", folder / "moved away");
            writeFile(synced / "Documents/made since.sav", "since");
            EXPECT_THROW(uninstall(saves.installation(), false), SetupFailure);
            EXPECT_EQ(readFile(synced / "Documents/made since.sav"), "since");
            EXPECT_TRUE(fs::exists(saves.root() / "installed.json")) << "nothing removed";
            bool journalKept = false;
            for (const auto& entry : fs::directory_iterator(restoreStagingParent(saves.installation().layout())))
                journalKept = journalKept || fs::exists(entry.path() / "journal");
            EXPECT_TRUE(journalKept);
        }
    }
}

// Every save below the profile holds the same version, and none is missing.
void expectWholeVersion(const fs::path& profile, int files)
{
    const auto saves = filesBelow(profile / "Documents/Veyra 2");
    ASSERT_EQ(saves.size(), static_cast<std::size_t>(files));
    const std::string version = saves.begin()->second.substr(0, 1);
    EXPECT_TRUE(version == "a" || version == "b") << version;
    for (const auto& [name, content] : saves)
        EXPECT_EQ(content.substr(0, 1), version) << name;
}

TEST_F(SavesRestore, AKillDuringARestoreLeavesAWholeUsersFolder)
{
    // Enough files that a restore takes a while, so that the kills land inside it.
    constexpr int kFiles = 300;
    const std::string padding(4096, '.');
    auto writeVersion = [&](const std::string& version) {
        for (int file = 0; file < kFiles; ++file)
            m_saves.writeSave("Documents/Veyra 2/save" + std::to_string(file) + ".sav", version + padding);
    };
    fs::remove(m_saves.profile() / kSlot);
    writeVersion("a");
    const std::string versionA = snapshotNow();
    writeVersion("b");
    const std::string versionB = snapshotNow();

    for (int delayMs = 0; delayMs <= 60; delayMs += 4) {
        SCOPED_TRACE("killed " + std::to_string(delayMs) + " ms into the restore");
        // Each round restores the version that is not live.
        const bool aIsLive = readFile(m_saves.profile() / "Documents/Veyra 2/save0.sav").starts_with("a");
        const std::string target = aIsLive ? versionB : versionA;
        testing::RunningProgram restore(testing::fixtureProgram(),
                                        {"--cli", "--restore-saves", target, "--home", m_saves.root().string()});
        ASSERT_EQ(restore.readLine(), "Restoring " + target);
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
        restore.signal(SIGKILL);
        restore.wait();
        expectWholeVersion(m_saves.profile(), kFiles);
    }

    // The next restore mends and clears whatever the kills left, and completes.
    const auto result = restoreSaves(m_saves.installation(), versionA);
    expectWholeVersion(m_saves.profile(), kFiles);
    EXPECT_EQ(readFile(m_saves.profile() / "Documents/Veyra 2/save0.sav").substr(0, 1), "a");
    EXPECT_TRUE(fs::exists(m_saves.backups() / result.previous));
    for (const auto& folder : {m_saves.backups(), restoreStagingParent(m_saves.installation().layout())})
        for (const auto& entry : fs::directory_iterator(folder))
            EXPECT_EQ(entry.path().filename().string().find("staging"), std::string::npos) << entry.path();
}

// Ctrl-C, or the end of the terminal, during a restore of many files: the
// restore is rolled back before its moves and finished during them, and the
// program exits only then, never leaving a journal for a later start to
// finish over what the player did meanwhile.
TEST(SavesRestoreStopped, RollsBackOrFinishesAndWhatThePlayerDidAfterIsInTheNextSnapshot)
{
    const TemporaryFolder folder;
    const SavesInstallation saves(folder / "root");
    // A linked profile's entries each take a move of their own, so that the moves take a while.
    const fs::path synced = folder / "synced";
    saves.linkProfileTo(synced);
    constexpr int kFiles = 2000;
    auto writeVersion = [&](const std::string& version) {
        for (int file = 0; file < kFiles; ++file)
            saves.writeSave("save" + std::to_string(file) + ".sav", version);
        saves.launchAndWait();
        return saveSnapshots(saves.installation()).front().name;
    };
    const std::string versionA = writeVersion("a");
    const std::string versionB = writeVersion("b");
    const fs::path drive = restoreStagingParent(saves.installation().layout());
    auto journalWritten = [&] {
        std::error_code error;
        for (fs::directory_iterator it(drive, error), end; !error && it != end; it.increment(error)) {
            const bool staging = it->path().filename().string().starts_with("Restore-staging-");
            if (staging && fs::exists(it->path() / "journal", error))
                return true;
        }
        return false;
    };

    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        for (const bool duringTheMoves : {false, true}) {
            SCOPED_TRACE(std::string(strsignal(signal)) + (duringTheMoves ? " during the moves" : " while copying"));
            const bool aIsLive = readFile(synced / "save0.sav") == "a";
            const std::string target = aIsLive ? versionB : versionA;
            testing::RunningProgram restore(testing::fixtureProgram(),
                                            {"--cli", "--restore-saves", target, "--home", saves.root().string()});
            ASSERT_EQ(restore.readLine(), "Restoring " + target);
            if (duringTheMoves) {
                const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
                while (!journalWritten() && std::chrono::steady_clock::now() < deadline)
                    std::this_thread::sleep_for(std::chrono::microseconds(200));
            }
            restore.signal(signal);
            const testing::ProgramResult result = restore.wait();

            expectNoRestoreStaging(drive);
            expectNoRestoreStaging(synced);
            const std::string live = readFile(synced / "save0.sav");
            for (int file = 0; file < kFiles; ++file)
                ASSERT_EQ(readFile(synced / ("save" + std::to_string(file) + ".sav")), live) << file;
            if (result.status == 0) {
                EXPECT_EQ(live, aIsLive ? "b" : "a") << "finished";
            } else {
                EXPECT_EQ(result.status, 128 + signal);
                EXPECT_EQ(result.err, "The restore was stopped before it changed your saves. Restore the snapshot "
                                      "again to continue.\n");
                EXPECT_EQ(live, aIsLive ? "a" : "b") << "rolled back";
            }
            if (duringTheMoves) {
                EXPECT_EQ(result.status, 0) << "a stop during the moves waits for the last";
            }

            saves.writeSave("save7.sav", "changed after the stop");
            saves.writeSave("new.sav", "made after the stop");
            saves.launchAndWait();
            const fs::path newest = saves.backups() / saveSnapshots(saves.installation()).front().name;
            EXPECT_EQ(readFile(newest / "users/player/save7.sav"), "changed after the stop");
            EXPECT_EQ(readFile(newest / "users/player/new.sav"), "made after the stop");
            fs::remove(synced / "new.sav");
            saves.writeSave("save7.sav", live);
        }
    }
}

// A power cut after the journal must find whole copies: they are written
// through to the disk first, in every folder the restore copied into.
TEST(SavesRestoreFlushed, TheCopiesReachTheDiskBeforeTheJournalCountsOnThem)
{
    const TemporaryFolder folder;
    const SavesInstallation saves(folder / "root");
    const fs::path synced = folder / "synced";
    saves.linkProfileTo(synced);
    saves.launchAndWait();
    const std::string first = saveSnapshots(saves.installation()).front().name;
    saves.writeSave(kSlot, "played later");

    Host host = testing::testHost();
    std::vector<fs::path> flushed;
    const fs::path drive = restoreStagingParent(saves.installation().layout());
    host.flushTree = [&](const fs::path& staging) {
        EXPECT_FALSE(fs::exists(drive / staging.filename() / "journal")) << "flushed before the journal";
        EXPECT_FALSE(fs::is_empty(staging));
        flushed.push_back(staging);
    };
    restoreSaves(Installation(saves.root(), {}, host), first);

    ASSERT_EQ(flushed.size(), 2u);
    EXPECT_EQ(flushed[0].parent_path(), drive);
    EXPECT_EQ(flushed[1], saves.profile() / flushed[0].filename());
    EXPECT_EQ(readFile(synced / kSlot), "slot one");
}

} // namespace
} // namespace launcher
