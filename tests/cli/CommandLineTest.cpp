#include "app/FailureMessage.h"
#include "app/SavesTestSupport.h"
#include "cli/CommandLine.h"
#include "cli/CommandTable.h"
#include "core/InstallLock.h"
#include "support/InstallationByHand.h"
#include "support/ProgramRun.h"
#include "support/ScopedEnvironmentVariable.h"
#include "support/TemporaryFolder.h"
#include "support/TestHost.h"
#include "support/Unprivileged.h"

#include "app/Setup.h"
#include "core/Installation.h"
#include "saves/SavesRestore.h"

#include <algorithm>
#include <functional>
#include <optional>
#include <sstream>

#include <gtest/gtest.h>
#include <unistd.h>

namespace launcher::cli {
namespace {

namespace fs = std::filesystem;
using testing::TemporaryFolder;

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

Outcome runInProcess(std::vector<std::string> arguments)
{
    arguments.insert(arguments.begin(), "veyra2-launcher");
    std::ostringstream out;
    std::ostringstream err;
    const int status = runCLI(arguments, out, err);
    return {status, out.str(), err.str()};
}

TEST(CommandLine, StatusReportsWhetherTheRootHoldsACompleteInstallation)
{
    const TemporaryFolder home;
    const auto before = runInProcess({"--cli", "--status", "--home", home.path().string()});
    EXPECT_EQ(before.status, 0);
    EXPECT_EQ(before.out, "not installed\n");
    EXPECT_EQ(before.err, "");

    testing::buildInstallationByHand(home.path());
    const auto after = runInProcess({"--status", "--home", home.path().string(), "--cli"});
    EXPECT_EQ(after.status, 0);
    EXPECT_EQ(after.out, "installed\n");
}

// A file-system fault reads the same in both front ends: one plain sentence
// that names the path, and the system's own words as details, never the
// standard library's "filesystem error:" text as the sentence.
TEST(CommandLine, FileFaultsReadTheSameInBothFrontEnds)
{
    struct Fault {
        const char* name;
        // Makes the fault below the folder; returns the root to set up into.
        std::function<fs::path(const fs::path&)> make;
        // What the sentence names.
        const char* where;
    };
    const std::vector<Fault> faults{
        {"a file where the root's folder goes",
         [](const fs::path& folder) {
             testing::writeFile(folder / "FILE", "");
             return folder / "FILE/sub";
         },
         "FILE"},
        {"a file where a folder inside the root goes",
         [](const fs::path& folder) {
             testing::writeFile(folder / "root/launcher.lock", "");
             testing::writeFile(folder / "root/Logs", "");
             return folder / "root";
         },
         "Logs"},
    };
    for (const Fault& fault : faults) {
        SCOPED_TRACE(fault.name);
        const TemporaryFolder folder;
        // A game that the check before setup takes, so that setup goes on to the fault.
        const fs::path game = testing::fixture("game/game.zip");
        testing::writeFile(folder / "MPSetup.exe", "MZ");
        const fs::path root = fault.make(folder.path());

        std::optional<FailureMessage> window;
        try {
            install(Installation(root, {}, testing::testHost()), game, folder / "MPSetup.exe", std::nullopt);
        } catch (const std::exception& caught) {
            window = failureMessage(caught, FrontEnd::window);
        }
        ASSERT_TRUE(window.has_value());
        EXPECT_NE(window->sentence.find(fault.where), std::string::npos) << window->sentence;
        // The system's words, which each standard library chooses for itself here.
        EXPECT_TRUE(window->details == "Not a directory" || window->details == "File exists") << window->details;

        const auto commandLine = runInProcess({"--cli", "--install", "--game", game.string(), "--audio",
                                               (folder / "MPSetup.exe").string(), "--home", root.string()});
        EXPECT_EQ(commandLine.status, 1);
        EXPECT_EQ(commandLine.err, window->sentence + "\nDetails: " + window->details + "\n");
    }
}

TEST(CommandLine, ReadOnlyCommandsNeverCreateTheRootOrItsLockFile)
{
    const TemporaryFolder folder;
    const fs::path missing = folder / "missing";
    const auto status = runInProcess({"--cli", "--status", "--home", missing.string()});
    EXPECT_EQ(status.out, "not installed\n");
    const auto verify = runInProcess({"--cli", "--verify", "--home", missing.string()});
    EXPECT_EQ(verify.status, 2);
    EXPECT_EQ(verify.out, "");
    EXPECT_EQ(verify.err, "There is no installation to verify in " + missing.string() + ". Set it up with --install.\n");
    const auto repair = runInProcess({"--cli", "--repair", "--home", missing.string()});
    EXPECT_EQ(repair.status, 1);
    EXPECT_EQ(repair.err, "There is no installation to repair. Set it up with --install.\n");
    EXPECT_FALSE(fs::exists(missing));

    // A root that holds an installation but no lock file, checked part by part.
    const fs::path home = folder / "home";
    testing::buildInstallationByHand(home);
    fs::remove(home / "launcher.lock");
    EXPECT_EQ(runInProcess({"--cli", "--status", "--home", home.string()}).out, "installed\n");
    const auto verified = runInProcess({"--cli", "--verify", "--home", home.string()});
    EXPECT_EQ(verified.status, 1) << verified.out << verified.err;
    EXPECT_NE(verified.out.find("record: ok\n"), std::string::npos) << verified.out;
    EXPECT_FALSE(fs::exists(home / "launcher.lock"));
}

TEST(CommandLine, VerifyAndRepairWaitForNobody)
{
    const TemporaryFolder home;
    testing::buildInstallationByHand(home.path());
    const InstallLock held(home / "launcher.lock");
    for (const char* command : {"--verify", "--repair"}) {
        const auto outcome = runInProcess({"--cli", command, "--home", home.path().string()});
        EXPECT_EQ(outcome.status, 1);
        EXPECT_EQ(outcome.out, "");
        EXPECT_EQ(outcome.err, "Another launcher is installing or playing Veyra 2. Close it before continuing.\n");
    }
}

TEST(CommandLine, AnIncompleteInstallationIsRefusedWithTheWayToRepairIt)
{
    const TemporaryFolder home;
    testing::buildInstallationByHand(home.path());
    fs::remove(home / "Install/prefix/drive_c/windows/syswow64/wmadmod.dll");
    const auto install =
        runInProcess({"--cli", "--install", "--game", "g", "--audio", "a", "--home", home.path().string()});
    EXPECT_EQ(install.status, 1);
    EXPECT_EQ(install.out, "");
    EXPECT_EQ(install.err, "An installation already exists. Its game files and saves were left untouched. Repair it "
                           "with --repair.\n");
    const auto launch = runInProcess({"--cli", "--launch", "--home", home.path().string()});
    EXPECT_EQ(launch.status, 1);
    EXPECT_EQ(launch.err, "Setup is incomplete. Complete setup before launching Veyra 2. Repair it with --repair.\n");
    const auto restore =
        runInProcess({"--cli", "--restore-saves", "Saves-20261210T141503Z", "--home", home.path().string()});
    EXPECT_EQ(restore.status, 1);
    EXPECT_EQ(restore.err, "Setup is incomplete. Complete setup before restoring saves. Repair it with --repair.\n");

    // Without a record there is nothing to repair, and setup is the way.
    const TemporaryFolder empty;
    const auto fresh = runInProcess({"--cli", "--launch", "--home", empty.path().string()});
    EXPECT_EQ(fresh.err, "Setup is incomplete. Complete setup before launching Veyra 2.\n");
    EXPECT_TRUE(fs::is_empty(empty.path())) << "an incomplete installation must not be locked";
}

// Permissions bind a player, not root: the body runs as one.
TEST(CommandLine, ARootUnderAReadOnlyFolderIsNamedTheSameWayInBothFrontEnds)
{
    const TemporaryFolder folder;
    const fs::path player = testing::playersFolder(folder / "player");
    testing::writeFile(player / "game.zip", "PK");
    testing::writeFile(player / "MPSetup.exe", "MZ");
    const fs::path readOnly = testing::playersFolder(folder / "read-only");
    fs::permissions(readOnly, fs::perms::owner_read | fs::perms::owner_exec);
    const fs::path root = readOnly / "root";
    EXPECT_EXIT(testing::exitWithFailureOfUnprivileged([&] {
                    std::string window;
                    try {
                        install(Installation(root, {}, testing::testHost()), player / "game.zip",
                                player / "MPSetup.exe", std::nullopt);
                    } catch (const std::exception& caught) {
                        const FailureMessage message = failureMessage(caught, FrontEnd::window);
                        window = message.sentence + "\nDetails: " + message.details + "\n";
                    }
                    const auto commandLine =
                        runInProcess({"--cli", "--install", "--game", (player / "game.zip").string(), "--audio",
                                      (player / "MPSetup.exe").string(), "--home", root.string()});
                    if (commandLine.status != 1 || commandLine.err != window)
                        throw std::runtime_error("the front ends differ: " + commandLine.err + " / " + window);
                    throw std::runtime_error(commandLine.err);
                }),
                ::testing::ExitedWithCode(0),
                "^The launcher could not create the folder [^\n]*/read-only/root: permission denied\\. Give your user "
                "account access to it, then retry\\.\nDetails: Permission denied\n");
}

TEST(CommandLine, SavesListsNameFilesAndBytesNewestFirst)
{
    const TemporaryFolder folder;
    const testing::SavesInstallation saves(folder / "root");
    const std::vector<std::string> list{"--cli", "--saves", "--home", saves.root().string()};
    EXPECT_EQ(runInProcess(list).out, "");
    saves.launchAndWait();
    saves.writeSave("Documents/Veyra 2/slot1.sav", "slot one, later");
    saves.launchAndWait();
    const auto snapshots = saveSnapshots(saves.installation());
    ASSERT_EQ(snapshots.size(), 2u);

    const auto outcome = runInProcess(list);
    EXPECT_EQ(outcome.status, 0);
    // Four files: two saves, the accounts file and "imgui.ini".
    EXPECT_EQ(outcome.out, snapshots[0].name + "\t4\t41\n" + snapshots[1].name + "\t4\t34\n");
    EXPECT_EQ(outcome.err, "");
}

TEST(CommandLine, RestoreUninstallAndDiagnosticsSayWhatTheyDid)
{
    const TemporaryFolder folder;
    const testing::SavesInstallation saves(folder / "root");
    const std::string home = saves.root().string();
    saves.launchAndWait();
    const std::string first = saveSnapshots(saves.installation()).front().name;
    saves.writeSave("Documents/Veyra 2/slot1.sav", "slot one, later");

    const auto restore = runInProcess({"--cli", "--restore-saves", first, "--home", home});
    EXPECT_EQ(restore.status, 0) << restore.err;
    const std::string previous = saveSnapshots(saves.installation()).front().name;
    EXPECT_EQ(restore.out, "Restoring " + first + "\nRestored " + first + "\nYour saves from before are in " + previous +
                               ". To undo, restore " + previous + ".\n");

    const auto unknown = runInProcess({"--cli", "--restore-saves", "Saves-1", "--home", home});
    EXPECT_EQ(unknown.status, 1);
    EXPECT_EQ(unknown.err, "No saved snapshot is called Saves-1. See the names with --saves.\n");

    const fs::path archive = folder / "report.zip";
    const auto diagnostics = runInProcess({"--cli", "--diagnostics", archive.string(), "--home", home});
    EXPECT_EQ(diagnostics.status, 0) << diagnostics.err;
    EXPECT_EQ(diagnostics.out, "Saved the diagnostics archive " + archive.string() +
                                   ". Your home folder appears in it as ~. Attach it to your bug report.\n");
    EXPECT_TRUE(fs::is_regular_file(archive));

    testing::writeFile(folder / "root/notes.txt", "mine");
    const auto uninstall = runInProcess({"--cli", "--uninstall", "--keep-saves", "--home", home});
    EXPECT_EQ(uninstall.status, 0) << uninstall.err;
    const std::string out = uninstall.out;
    EXPECT_TRUE(out.starts_with("Keeping your saves\nRemoving the launcher's files\nRemoved installed.json\n"
                                "Removed Install\nRemoved Runtime\nRemoved Logs\nFreed "))
        << out;
    EXPECT_TRUE(out.ends_with("Kept the folder " + home + "\nKept Backups (your saves)\nKept launcher.lock (other "
                              "launchers may hold it)\nKept notes.txt (not made by the launcher)\n"))
        << out;
    EXPECT_NE(out.find(" bytes)\n"), std::string::npos) << out;

    const auto absent = runInProcess({"--cli", "--uninstall", "--home", (folder / "absent").string()});
    EXPECT_EQ(absent.status, 0);
    EXPECT_EQ(absent.out, "Nothing to remove: " + (folder / "absent").string() + " does not exist.\n");
}

// What the command line echoes of a typed name or a file name from the root
// is shown, never obeyed by the terminal.
TEST(CommandLine, NamesFromOutsideAreShownWithTheirControlCharactersEscaped)
{
    const TemporaryFolder folder;
    const testing::SavesInstallation saves(folder / "root");
    const std::string home = saves.root().string();
    const auto restore = runInProcess({"--cli", "--restore-saves", "Saves-1\n\x1b[2J", "--home", home});
    EXPECT_EQ(restore.status, 1);
    EXPECT_EQ(restore.err, "No saved snapshot is called Saves-1\\n\\x1b[2J. See the names with --saves.\n");
    EXPECT_EQ(restore.out.find('\x1b'), std::string::npos) << restore.out;

    testing::writeFile(saves.root() / "notes\x1b]0;title\x07.txt", "mine");
    const auto uninstall = runInProcess({"--cli", "--uninstall", "--home", home});
    EXPECT_EQ(uninstall.status, 0) << uninstall.err;
    EXPECT_NE(uninstall.out.find("Kept notes\\x1b]0;title\\x07.txt (not made by the launcher)\n"), std::string::npos)
        << uninstall.out;
    EXPECT_EQ(uninstall.out.find('\x1b'), std::string::npos);
}

// A failed snapshot does not keep the game from starting, and the player who
// started it from a terminal is told there, not only in the game log.
TEST(CommandLine, ALaunchWhoseSnapshotFailsSaysSoInOneLineAndStartsTheGame)
{
    const TemporaryFolder folder;
    const testing::SavesInstallation saves(folder / "root");
    testing::writeFile(saves.backups(), "not a folder");
    const auto launch = runInProcess({"--cli", "--launch", "--home", saves.root().string()});
    EXPECT_EQ(launch.status, 0) << launch.err;
    EXPECT_TRUE(launch.err.starts_with("Your saves could not be backed up before this start (")) << launch.err;
    EXPECT_TRUE(launch.err.ends_with("). The game starts anyway; earlier snapshots are unchanged.\n")) << launch.err;
    EXPECT_EQ(std::count(launch.err.begin(), launch.err.end(), '\n'), 1) << launch.err;
    EXPECT_NE(testing::readFile(saves.root() / "Logs/veyra2.log").find("The snapshot of your saves before this start "
                                                                       "failed"),
              std::string::npos);
}

// A snapshot folder that cannot be listed stops an uninstall that keeps the
// saves before anything is removed, and the sentence names it.
TEST(CommandLine, AnUnreadableFolderAmongTheSnapshotsIsNamedWhenTheSavesAreKept)
{
    const TemporaryFolder folder;
    const fs::path root = testing::playersFolder(folder / "root");
    const testing::SavesInstallation saves(root);
    saves.launchAndWait();
    for (const auto& entry : fs::recursive_directory_iterator(root))
        ASSERT_EQ(::lchown(entry.path().c_str(), testing::unprivilegedUser(), static_cast<gid_t>(-1)), 0);
    const fs::path locked = saves.backups() / saves.snapshotFolders().front() / "users" / testing::kProfile / "Documents";
    fs::permissions(locked, fs::perms::owner_exec);
    EXPECT_EXIT(testing::exitWithFailureOfUnprivileged([&] {
                    const auto uninstall = runInProcess({"--cli", "--uninstall", "--keep-saves", "--home", root.string()});
                    throw std::runtime_error(std::to_string(uninstall.status) + " " + uninstall.err);
                }),
                ::testing::ExitedWithCode(0),
                "^1 The launcher could not read the folder " + locked.string() + ": permission denied\\. Give your user "
                "account access to it, then retry\\.\nDetails: Permission denied\n");
    fs::permissions(locked, fs::perms::owner_all);
    EXPECT_TRUE(fs::exists(root / "installed.json")) << "nothing may be removed once the saves cannot be kept";
}

TEST(CommandLineProgram, OutputThatIsTheResultAndCannotBeWrittenIsAFailure)
{
    const TemporaryFolder folder;
    const testing::SavesInstallation saves(folder / "root");
    saves.launchAndWait();
    for (const char* command : {"--saves", "--status", "--help"}) {
        SCOPED_TRACE(command);
        std::vector<std::string> arguments{"-c", "exec \"$0\" \"$@\" > /dev/full", testing::launcherProgram().string(),
                                           "--cli", command};
        if (std::string(command) != "--help")
            arguments.insert(arguments.end(), {"--home", saves.root().string()});
        const auto outcome = testing::runProgram("/bin/sh", arguments);
        EXPECT_EQ(outcome.status, 1);
        EXPECT_EQ(outcome.err, "The launcher could not write its output. Check where it goes, then retry.\n"
                               "Details: No space left on device\n");
    }
}

// A TMPDIR that points nowhere must not keep the player from sending a report.
TEST(CommandLine, DiagnosticsWorkWithATemporaryFolderVariableThatLeadsNowhere)
{
    const TemporaryFolder folder;
    const testing::SavesInstallation saves(folder / "root");
    const testing::ScopedEnvironmentVariable nowhere("TMPDIR", (folder / "missing").string());
    const fs::path archive = folder / "report.zip";
    const auto diagnostics = runInProcess({"--cli", "--diagnostics", archive.string(), "--home", saves.root().string()});
    EXPECT_EQ(diagnostics.status, 0) << diagnostics.err;
    EXPECT_TRUE(fs::is_regular_file(archive));
}

TEST(CommandLineProgram, StatusAndUsageFromTheBuiltProgram)
{
    const TemporaryFolder home;
    const auto program = testing::launcherProgram();
    const auto fresh = testing::runProgram(program, {"--cli", "--status", "--home", home.path().string()});
    EXPECT_EQ(fresh.status, 0);
    EXPECT_EQ(fresh.out, "not installed\n");
    EXPECT_TRUE(std::filesystem::is_empty(home.path())) << "the status query must not write";

    testing::buildInstallationByHand(home.path());
    const auto installed = testing::runProgram(program, {"--cli", "--status", "--home", home.path().string()});
    EXPECT_EQ(installed.out, "installed\n");

    const auto usage = testing::runProgram(program, {"--cli"});
    EXPECT_EQ(usage.status, 1);
    EXPECT_EQ(usage.out, "");
    EXPECT_EQ(usage.err, usageText());
}

TEST(CommandLineProgram, LaunchReturnsTheGameStatusEvenUnderAParentThatIgnoresChildSignals)
{
    const TemporaryFolder home;
    testing::buildInstallationByHand(home.path());
    // An ignored SIGCHLD is inherited across exec; the kernel would then reap the game itself.
    const auto outcome = testing::runProgram(
        "/usr/bin/env",
        {"python3", "-c", "import os, signal, sys; signal.signal(signal.SIGCHLD, signal.SIG_IGN); os.execv(sys.argv[1], sys.argv[1:])",
         testing::launcherProgram().string(), "--cli", "--launch", "--home", home.path().string()},
        {.environment = {{"STANDIN_GAME_EXIT", "3"}}});
    EXPECT_EQ(outcome.status, 3) << outcome.err;
    EXPECT_EQ(outcome.out, "");
}

TEST(CommandLineProgram, HomeTakesAPathFromTheCurrentFolder)
{
    const TemporaryFolder folder;
    // A folder named like a command is reached by a path that does not look like one.
    testing::buildInstallationByHand(folder / "--status");
    const auto outcome = testing::runProgram(testing::launcherProgram(), {"--cli", "--status", "--home", "./--status"},
                                             {.directory = folder.path()});
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.out, "installed\n");
}

// Started with standard output closed, the lock file would take its number and
// the status lines would be written into "launcher.lock".
TEST(CommandLineProgram, AClosedStandardStreamIsNeverTakenByAFileOfTheLauncher)
{
    const TemporaryFolder folder;
    testing::writeFile(folder / "audio.dll", "not the decoder");
    const auto outcome = testing::runProgram(
        "/bin/sh",
        {"-c", "exec \"$0\" \"$@\" >&-", testing::launcherProgram().string(), "--cli", "--install", "--game",
         testing::fixture("game/installer.zip").string(), "--audio", (folder / "audio.dll").string(), "--home",
         (folder / "home").string()});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_NE(outcome.err.find("This audio file is not the tested"), std::string::npos) << outcome.err;
    EXPECT_EQ(testing::readFile(folder / "home/launcher.lock"), "");
}

} // namespace
} // namespace launcher::cli
