#include "app/CommandLine.h"
#include "app/FailureMessage.h"
#include "app/SavesTestSupport.h"
#include "core/InstallLock.h"
#include "support/InstallationByHand.h"
#include "support/ProgramRun.h"
#include "support/TemporaryFolder.h"
#include "support/TestHost.h"

#include "core/Installer.h"

#include <functional>
#include <optional>
#include <sstream>

#include <gtest/gtest.h>

namespace launcher {
namespace {

namespace fs = std::filesystem;
using testing::TemporaryFolder;

constexpr const char* kUsage = "Usage: --cli --install --game PATH --audio PATH [--home PATH] [--cache PATH], or --cli "
                               "--launch/--status/--verify [--home PATH], or --cli --repair [--game PATH] "
                               "[--audio PATH] [--cache PATH] [--home PATH], or --cli --saves/--uninstall "
                               "[--keep-saves] [--home PATH], or --cli --restore-saves NAME [--home PATH], or --cli "
                               "--diagnostics FILE [--home PATH]\n";

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

TEST(CommandLine, ArgumentsWithoutACompleteCommandGiveTheUsage)
{
    for (const std::vector<std::string>& arguments : {
             std::vector<std::string>{"--cli"},
             {"--cli", "--install", "--game", "/tmp/game"},
             {"--cli", "--install", "--audio", "/tmp/audio", "--game"},
             {"--cli", "--debug", "--home", "/tmp"},
             {"--cli", "--STATUS"},
             {"--cli", "--VERIFY"},
             {"--cli", "--keep-saves", "--restore-saves"},
             {"--cli", "--diagnostics"},
         }) {
        const auto outcome = runInProcess(arguments);
        EXPECT_EQ(outcome.status, 1);
        EXPECT_EQ(outcome.out, "");
        EXPECT_EQ(outcome.err, kUsage);
    }
}

// An empty "--home" would make the current folder the root, and setup would
// replace its "Runtime" and "Install/game".
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
        testing::writeFile(folder / "game.zip", "PK");
        testing::writeFile(folder / "MPSetup.exe", "MZ");
        const fs::path root = fault.make(folder.path());

        std::optional<FailureMessage> window;
        try {
            Installer(root, {}, testing::testHost()).install(folder / "game.zip", folder / "MPSetup.exe", std::nullopt);
        } catch (const std::exception& caught) {
            window = failureMessage(caught, FrontEnd::window);
        }
        ASSERT_TRUE(window.has_value());
        EXPECT_NE(window->sentence.find(fault.where), std::string::npos) << window->sentence;
        EXPECT_EQ(window->sentence.find("filesystem error"), std::string::npos) << window->sentence;
        EXPECT_NE(window->details.find("filesystem error"), std::string::npos) << window->details;

        const auto commandLine = runInProcess({"--cli", "--install", "--game", (folder / "game.zip").string(), "--audio",
                                               (folder / "MPSetup.exe").string(), "--home", root.string()});
        EXPECT_EQ(commandLine.status, 1);
        EXPECT_EQ(commandLine.err, window->sentence + "\nDetails: " + window->details + "\n");
    }
}

TEST(CommandLineProgram, AnOptionWithoutAValueIsAUsageErrorAndTouchesNothing)
{
    const TemporaryFolder folder;
    const std::string game = (folder / "game").string();
    const std::string audio = (folder / "audio").string();
    for (const std::vector<std::string>& arguments : {
             std::vector<std::string>{"--cli", "--status", "--home"},
             {"--cli", "--status", "--home", ""},
             {"--cli", "--install", "--game", game, "--audio", audio, "--home", ""},
             {"--cli", "--install", "--game", "", "--audio", audio},
             {"--cli", "--install", "--game", game, "--audio", ""},
             {"--cli", "--install", "--game", game, "--audio", audio, "--cache", ""},
             {"--cli", "--install", "--game", game, "--audio", audio, "--cache"},
             {"--cli", "--launch", "--game"},
         }) {
        const auto outcome = testing::runProgram(testing::launcherProgram(), arguments, {.directory = folder.path()});
        EXPECT_EQ(outcome.status, 1);
        EXPECT_EQ(outcome.out, "");
        EXPECT_EQ(outcome.err, kUsage);
    }
    EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
}

TEST(CommandLine, MoreThanOneCommandGivesTheUsageAndRunsNone)
{
    const TemporaryFolder home;
    testing::writeFile(home / "installed.json", "{}");
    const TemporaryFolder empty;
    for (const std::vector<std::string>& arguments : {
             std::vector<std::string>{"--cli", "--status", "--launch", "--install", "--game", "g", "--audio", "a",
                                      "--home", home.path().string()},
             {"--cli", "--status", "--launch", "--home", empty.path().string()},
             {"--cli", "--verify", "--repair", "--home", home.path().string()},
             {"--cli", "--install", "--repair", "--game", "g", "--audio", "a", "--home", empty.path().string()},
         }) {
        const auto outcome = runInProcess(arguments);
        EXPECT_EQ(outcome.status, 1);
        EXPECT_EQ(outcome.out, "");
        EXPECT_EQ(outcome.err, kUsage);
    }
    EXPECT_EQ(testing::readFile(home / "installed.json"), "{}");
    EXPECT_FALSE(fs::exists(home / "launcher.lock"));
    EXPECT_TRUE(fs::is_empty(empty.path()));
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

    // Without a record there is nothing to repair, and setup is the way.
    const TemporaryFolder empty;
    const auto fresh = runInProcess({"--cli", "--launch", "--home", empty.path().string()});
    EXPECT_EQ(fresh.err, "Setup is incomplete. Complete setup before launching Veyra 2.\n");
    EXPECT_TRUE(fs::is_empty(empty.path())) << "an incomplete installation must not be locked";
}

TEST(CommandLine, ARootThatCannotBeCreatedEndsInTheFileSystemsError)
{
    const TemporaryFolder folder;
    testing::writeFile(folder / "file", "not a folder");
    const auto outcome = runInProcess({"--cli", "--install", "--game", "g", "--audio", "a", "--home",
                                       (folder / "file/root").string()});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.out, "");
    EXPECT_NE(outcome.err.find("Not a directory"), std::string::npos) << outcome.err;
    EXPECT_EQ(outcome.err.back(), '\n');
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
    const auto snapshots = saves.installer().saveSnapshots();
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
    const std::string first = saves.installer().saveSnapshots().front().name;
    saves.writeSave("Documents/Veyra 2/slot1.sav", "slot one, later");

    const auto restore = runInProcess({"--cli", "--restore-saves", first, "--home", home});
    EXPECT_EQ(restore.status, 0) << restore.err;
    const std::string previous = saves.installer().saveSnapshots().front().name;
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
    EXPECT_EQ(usage.err, kUsage);
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

TEST(CommandLineProgram, HomeTakesTheNextArgumentAsAPathFromTheCurrentFolder)
{
    const TemporaryFolder folder;
    // "--status" is both the value of --home and the command.
    testing::buildInstallationByHand(folder / "--status");
    const auto outcome = testing::runProgram(testing::launcherProgram(), {"--cli", "--home", "--status"},
                                             {.directory = folder.path()});
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.out, "installed\n");
}

TEST(CommandLineProgram, HomeAsTheLastArgumentIsAUsageErrorNotTheDefaultRoot)
{
    const TemporaryFolder home;
#if defined(__APPLE__)
    const auto defaultRoot = home / "Library/Application Support/Veyra2MacLauncher";
#else
    const auto defaultRoot = home / ".local/share/Veyra2MacLauncher";
#endif
    testing::buildInstallationByHand(defaultRoot);
    const auto outcome = testing::runProgram(testing::launcherProgram(), {"--cli", "--status", "--home"},
                                             {.environment = {{"HOME", home.path().string()}, {"XDG_DATA_HOME", ""}}});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(outcome.err, kUsage);
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
} // namespace launcher
