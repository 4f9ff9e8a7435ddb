// The fixture copy of the program driven as a user would from a shell: real
// archives, the stand-in runtime inside the engine archive, real processes.

#include "app/GameLaunch.h"
#include "app/Setup.h"
#include "core/InstallLock.h"
#include "core/InstallationRecord.h"
#include "core/Installation.h"
#include "support/LocalHttpsServer.h"
#include "support/ProcessTree.h"
#include "support/TestPlatform.h"
#include "support/ProgramRun.h"
#include "support/RunningProgram.h"
#include "support/SetupStatusLines.h"
#include "support/StandInRecord.h"
#include "support/TemporaryFolder.h"
#include "support/TestHost.h"

#include <algorithm>
#include <csignal>
#include <thread>

#include <gtest/gtest.h>

namespace launcher {
namespace {

namespace fs = std::filesystem;
using testing::fixture;
using testing::ProgramOptions;
using testing::ProgramResult;
using testing::readFile;
using testing::TemporaryFolder;

const std::vector<std::string>& kStatusLines = testing::setupStatusLines();

constexpr const char* kLockHeld = "Another launcher is installing or playing Veyra 2. Close it before continuing.\n";
constexpr const char* kStopped = "Setup was stopped before it finished. Run it again to continue.\n";
// The status line of the step whose wine runs the signal tests stop.
constexpr std::size_t kPrefixStep = 6;

class EndToEnd : public ::testing::Test {
protected:
    ProgramOptions options(std::map<std::string, std::string> environment = {}) const
    {
        environment.emplace("STANDIN_RECORD", (m_folder / "calls.jsonl").string());
        return {.environment = std::move(environment)};
    }

    std::vector<std::string> installArguments(const fs::path& game) const
    {
        return {"--cli", "--install", "--game", game.string(), "--audio", kAudio.string(), "--home", m_home.string(),
                "--cache", fixture("runtime/prefetched").string()};
    }

    ProgramResult install(std::map<std::string, std::string> environment = {}) const
    {
        return testing::runProgram(testing::fixtureProgram(), installArguments(kGame), options(std::move(environment)));
    }

    ProgramResult launch(std::vector<std::string> extra = {}, std::map<std::string, std::string> environment = {}) const
    {
        std::vector<std::string> arguments{"--cli", "--launch", "--home", m_home.string()};
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        return testing::runProgram(testing::fixtureProgram(), arguments, options(std::move(environment)));
    }

    // Waits until `file` exists, or fails the test after a bound.
    static void awaitFile(const fs::path& file, const std::string& containing = "")
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (!fs::exists(file) || readFile(file).find(containing) == std::string::npos) {
            ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "waited in vain for " << file;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }

    // The fixture archives served under "/releases/" on a free port, paced as
    // given; the program downloads from there under the server's clientEnvironment().
    testing::LocalHttpsServer serveArchives(const testing::LocalHttpsServer::Pace& pace = {}) const
    {
        const fs::path site = m_folder / "site";
        fs::create_directories(site / "releases");
        for (const auto& archive : fs::directory_iterator(fixture("runtime/prefetched")))
            fs::copy_file(archive.path(), site / "releases" / archive.path().filename(),
                          fs::copy_options::overwrite_existing);
        return testing::LocalHttpsServer(site, 0, {}, pace);
    }

    // The install arguments without a pre-fetched folder: the runtime is downloaded.
    std::vector<std::string> downloadingInstallArguments() const
    {
        std::vector<std::string> arguments = installArguments(kGame);
        arguments.resize(arguments.size() - 2);
        return arguments;
    }

    static std::uint64_t archivesSize()
    {
        std::uint64_t size = 0;
        for (const auto& archive : fs::directory_iterator(fixture("runtime/prefetched")))
            size += fs::file_size(archive.path());
        return size;
    }

    void expectCompleteInstallation() const
    {
        EXPECT_TRUE(Installation(m_home).isInstalled());
        for (const auto& entry : fs::directory_iterator(m_home))
            EXPECT_EQ(entry.path().filename().string().find("-staging-"), std::string::npos) << entry.path();
    }

    inline static const fs::path kGame = fixture("game/installer.zip");
    inline static const fs::path kAudio = fixture("audio/MPSetup.exe");

    TemporaryFolder m_folder;
    fs::path m_home = m_folder / "home";
};

TEST_F(EndToEnd, SetupFromAPrefetchedFolderReportsEveryStepAndRecordsTheInstallation)
{
    const auto before = std::chrono::system_clock::now();
    const auto result = install();
    const auto after = std::chrono::system_clock::now();
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, testing::printedLines(kStatusLines));
    EXPECT_EQ(result.err, "");

    const auto record = InstallationRecord::decode(readFile(m_home / "installed.json"));
    EXPECT_EQ(record.format, 1);
    EXPECT_EQ(record.launcherVersion, "0.1.0");
    EXPECT_EQ(record.engine, "WS12WineCX24.0.7_7.tar.xz");
    EXPECT_GE(record.installedAt, before - std::chrono::milliseconds(1));
    EXPECT_LE(record.installedAt, after);
    expectCompleteInstallation();

    const auto status = testing::runProgram(testing::fixtureProgram(), {"--cli", "--status", "--home", m_home.string()});
    EXPECT_EQ(status.out, "installed\n");

    const auto again = install();
    EXPECT_EQ(again.status, 1);
    EXPECT_EQ(again.out, "");
    EXPECT_EQ(again.err, "An installation already exists. Its game files and saves were left untouched.\n");
}

TEST_F(EndToEnd, SetupDownloadsTheRuntimeAndTakesRelativePathsFromTheCurrentFolder)
{
    const testing::LocalHttpsServer server = serveArchives();

    auto environment = options(server.clientEnvironment());
    environment.directory = fixture("");
    const auto result = testing::runProgram(
        testing::fixtureProgram(),
        {"--cli", "--install", "--game", "game/installer.zip", "--audio", "audio/MPSetup.exe", "--home", m_home.string()},
        environment);
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, testing::printedLines(kStatusLines));
    EXPECT_TRUE(fs::exists(m_home / "Downloads/WS12WineCX24.0.7_7.tar.xz"));
    EXPECT_TRUE(fs::exists(m_home / "Downloads/wine-stable-11.0_1-osx64.tar.xz"));
    EXPECT_NE(server.output().find("WS12WineCX24.0.7_7.tar.xz"), std::string::npos);
    expectCompleteInstallation();
}

TEST_F(EndToEnd, AWrongGameSelectionIsRefusedBeforeAnythingIsDownloaded)
{
    const testing::LocalHttpsServer server = serveArchives();
    const fs::path noGame = m_folder / "Downloads";
    testing::writeFile(noGame / "readme.txt", "");
    const fs::path incomplete = m_folder / "Veyra 2";
    fs::copy(fixture("game/Veyra 2"), incomplete, fs::copy_options::recursive);
    fs::remove(incomplete / "xlive.dll");
    const struct {
        fs::path game;
        std::string sentence;
    } cases[] = {
        {noGame, "No Veyra 2 game was found in that folder."},
        {incomplete, "Missing xlive.dll. Choose a complete Veyra 2 Project Kestrane game folder or the vy2pc_data.bin "
                     "archive from installer 2.1."},
        {fixture("game/no-game.zip"),
         "The archive does not contain Veyra 2. Select vy2pc_data.bin from installer 2.1."},
    };
    for (const auto& [game, sentence] : cases) {
        SCOPED_TRACE(game);
        const auto result = testing::runProgram(
            testing::fixtureProgram(),
            {"--cli", "--install", "--game", game.string(), "--audio", kAudio.string(), "--home", m_home.string()},
            options(server.clientEnvironment()));
        EXPECT_EQ(result.status, 1);
        // Not a single status line, the download's among them.
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err, sentence + "\n");
    }
    EXPECT_EQ(server.output().find("GET"), std::string::npos) << server.output();
    EXPECT_EQ(server.bytesServed(), 0u);
    EXPECT_FALSE(fs::exists(m_home / "Downloads"));
}

TEST_F(EndToEnd, LaunchWaitsForTheGameReturnsItsStatusAndAppendsToTheGameLog)
{
    ASSERT_EQ(install().status, 0);
    fs::remove(m_folder / "calls.jsonl");

    const auto first = launch({}, {{"STANDIN_GAME_EXIT", "7"}, {"WINEDEBUG", "+relay"}});
    EXPECT_EQ(first.status, 7);
    EXPECT_EQ(first.out, "");
    const auto second = launch({"--debug"});
    EXPECT_EQ(second.status, 0);

    const auto calls = testing::readStandInRecord(m_folder / "calls.jsonl");
    ASSERT_EQ(calls.size(), 2u);
    for (const auto& call : calls) {
        EXPECT_EQ(call.arguments, (std::vector<std::string>{"veyra2.exe", "-windowed", "-hiresfix"}));
        EXPECT_EQ(fs::path(call.directory), m_home / "Install/game");
        EXPECT_EQ(call.environment.at("WINEPREFIX"), (m_home / "Install/prefix").string());
    }
    EXPECT_EQ(calls[0].environment.at("WINEDEBUG"), "-all");
    EXPECT_EQ(calls[1].environment.at("WINEDEBUG"), "+loaddll");

    const std::string log = readFile(m_home / "Logs/veyra2.log");
    const auto firstRun = log.find("WINEDEBUG=-all");
    const auto secondRun = log.find("WINEDEBUG=+loaddll");
    ASSERT_NE(firstRun, std::string::npos) << log;
    ASSERT_NE(secondRun, std::string::npos) << log;
    EXPECT_LT(firstRun, secondRun);
}

TEST_F(EndToEnd, ARunningGameKeepsOtherLaunchersOutUntilItExits)
{
    ASSERT_EQ(install().status, 0);
    const auto quit = m_folder / "quit";
    testing::RunningProgram game(testing::fixtureProgram(), {"--cli", "--launch", "--home", m_home.string()},
                                 options({{"STANDIN_GAME_UNTIL", quit.string()}}));
    // The game has started once it wrote to its log.
    const auto gameLog = m_home / "Logs/veyra2.log";
    while (!fs::exists(gameLog) || readFile(gameLog).find("started") == std::string::npos)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));

    const auto secondLaunch = launch();
    EXPECT_EQ(secondLaunch.status, 1);
    EXPECT_EQ(secondLaunch.err, kLockHeld);
    const auto setup = testing::runProgram(testing::fixtureProgram(), installArguments(kGame), options());
    EXPECT_EQ(setup.status, 1);
    EXPECT_EQ(setup.err, kLockHeld);

    testing::writeFile(quit, "");
    EXPECT_EQ(game.wait().status, 0);
    EXPECT_EQ(launch().status, 0);
    EXPECT_EQ(install().err, "An installation already exists. Its game files and saves were left untouched.\n");
}

TEST_F(EndToEnd, ARunningSetupKeepsASecondSetupOut)
{
    testing::RunningProgram first(testing::fixtureProgram(), installArguments(kGame), options({{"STANDIN_HANG", "wineboot"}}));
    for (std::size_t line = 0; line < 6; ++line)
        ASSERT_EQ(first.readLine(), kStatusLines[line]);

    const auto second = install();
    EXPECT_EQ(second.status, 1);
    EXPECT_EQ(second.out, "");
    EXPECT_EQ(second.err, kLockHeld);

    first.killWithPrograms();
    const auto retry = install();
    EXPECT_EQ(retry.status, 0) << retry.err;
    expectCompleteInstallation();
}

TEST_F(EndToEnd, SetupKilledAfterAnyStepCompletesOnTheNextRun)
{
    for (std::size_t step = 1; step < kStatusLines.size(); ++step) {
        SCOPED_TRACE("killed after status line " + std::to_string(step));
        fs::remove_all(m_home);
        {
            testing::RunningProgram setup(testing::fixtureProgram(), installArguments(kGame), options());
            for (std::size_t line = 0; line < step; ++line)
                ASSERT_EQ(setup.readLine(), kStatusLines[line]);
            setup.killWithPrograms();
        }
        const auto retry = install();
        ASSERT_EQ(retry.status, 0) << retry.err;
        EXPECT_EQ(retry.out, testing::printedLines(kStatusLines));
        expectCompleteInstallation();
    }
}

TEST_F(EndToEnd, AFailedPrefixStepLeavesNoRecordAndTheNextRunCompletes)
{
    const auto failed = install({{"STANDIN_FAIL", "reg add HKCU\\Software\\Wine\\Direct3D /v renderer"}});
    EXPECT_EQ(failed.status, 1);
    EXPECT_EQ(failed.out, testing::printedLines({kStatusLines.begin(), kStatusLines.begin() + 6}));
    EXPECT_EQ(failed.err, "wine failed (1). Open the setup log for details. If antivirus quarantined a file, review its "
                          "report before retrying.\n");
    EXPECT_FALSE(fs::exists(m_home / "installed.json"));
    EXPECT_TRUE(fs::exists(m_home / "Runtime/wswine.bundle/bin/wine"));
    EXPECT_TRUE(fs::exists(m_home / "Install/game/veyra2.exe"));

    const auto retry = install();
    EXPECT_EQ(retry.status, 0) << retry.err;
    expectCompleteInstallation();
}

TEST_F(EndToEnd, SetupCompletesWhenTheHostDropsEachFirstConnectionHalfway)
{
    const testing::LocalHttpsServer server = serveArchives({.dropFirstHalfway = true});
    const auto result = testing::runProgram(testing::fixtureProgram(), downloadingInstallArguments(),
                                            options(server.clientEnvironment()));
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, testing::printedLines(kStatusLines));
    expectCompleteInstallation();
    EXPECT_LE(static_cast<double>(server.bytesServed()), 1.2 * static_cast<double>(archivesSize())) << server.output();
}

// A setup stopped or killed during a slow download keeps what arrived, and the
// next setup asks only for the rest, saying so.
TEST_F(EndToEnd, ASetupStoppedOrKilledDuringTheDownloadIsResumedByTheNext)
{
    const fs::path partial = m_home / "Downloads/WS12WineCX24.0.7_7.tar.xz.partial";
    for (const int signal : {SIGKILL, SIGINT}) {
        SCOPED_TRACE(signal);
        fs::remove_all(m_home);
        const testing::LocalHttpsServer server = serveArchives({.bytesPerSecond = 12'000});
        const auto environment = options(server.clientEnvironment());
        {
            testing::RunningProgram setup(testing::fixtureProgram(), downloadingInstallArguments(), environment);
            for (std::size_t line = 0; line < 2; ++line)
                ASSERT_EQ(setup.readLine(), kStatusLines[line]);
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
            std::error_code absent;
            while (fs::file_size(partial, absent) < 10'000 || absent) {
                ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "the download did not get going";
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
            if (signal == SIGKILL) {
                setup.killWithPrograms();
            } else {
                setup.signal(signal);
                const auto stopped = setup.wait();
                EXPECT_EQ(stopped.status, 130);
                EXPECT_EQ(stopped.err, kStopped);
            }
        }
        ASSERT_TRUE(fs::exists(partial));
        const std::uint64_t kept = fs::file_size(partial);

        const std::uint64_t servedBefore = server.bytesServed();
        const auto retry = testing::runProgram(testing::fixtureProgram(), downloadingInstallArguments(), environment);
        ASSERT_EQ(retry.status, 0) << retry.err;
        EXPECT_NE(retry.out.find("Resuming the download: "), std::string::npos) << retry.out;
        expectCompleteInstallation();
        EXPECT_EQ(server.bytesServed() - servedBefore, archivesSize() - kept);
    }
}

TEST_F(EndToEnd, ProgressIsDrawnOnATerminalOnlyAndStandardOutputHoldsTheStatusLinesAlone)
{
    // Slow enough that the download of the fixture archives (about 50 kB) is watched for a while.
    const testing::LocalHttpsServer server = serveArchives({.bytesPerSecond = 24'000});
    for (const bool terminal : {true, false}) {
        SCOPED_TRACE(terminal ? "standard error on a terminal" : "standard error in a file");
        fs::remove_all(m_home);
        ProgramOptions environment = options(server.clientEnvironment());
        environment.errorOnTerminal = terminal;
        const auto result =
            testing::RunningProgram(testing::fixtureProgram(), downloadingInstallArguments(), environment).wait();
        ASSERT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.out, testing::printedLines(kStatusLines));
        if (terminal) {
            // Redrawn in place and erased before the next status line.
            EXPECT_NE(result.err.find("\r  "), std::string::npos) << result.err;
            EXPECT_NE(result.err.find("% · "), std::string::npos) << result.err;
            EXPECT_NE(result.err.find(" kB/s · "), std::string::npos) << result.err;
            EXPECT_NE(result.err.find("\r\x1b[K"), std::string::npos) << result.err;
        } else {
            EXPECT_EQ(result.err, "");
        }
    }
}

// SIGTERM, SIGINT and SIGHUP during the prefix step, while the runtime's wine
// hangs there with a helper in its process group: the launcher stops the whole
// group, ends the runtime's server, releases the lock, writes no record, and
// ends by the signal. Under nohup a hang-up changes nothing.
TEST_F(EndToEnd, ASignalDuringAHangingStepStopsSetupCleanlyAndEndsTheLauncherByIt)
{
    struct Case {
        const char* name;
        int signal;
        int status;
        // The hanging run and its helper ignore the terminate request: the stop takes the whole grace period.
        bool ignoreTerm;
        bool underNohup;
    };
    const Case cases[] = {
        {"SIGTERM", SIGTERM, 143, false, false},
        {"SIGINT to programs that ignore SIGTERM", SIGINT, 130, true, false},
        {"SIGHUP under nohup, then SIGTERM", SIGTERM, 143, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(m_home);
        fs::remove(m_folder / "calls.jsonl");
        const fs::path pids = m_folder / "hanging.pid";
        fs::remove(pids);
        std::map<std::string, std::string> controls{{"STANDIN_HANG", "wineboot"}, {"STANDIN_PID_FILE", pids.string()}};
        if (c.ignoreTerm)
            controls.emplace("STANDIN_IGNORE_TERM", "1");
        std::vector<std::string> arguments = installArguments(kGame);
        fs::path program = testing::fixtureProgram();
        if (c.underNohup) {
            arguments.insert(arguments.begin(), program.string());
            program = "/usr/bin/nohup";
        }
        testing::RunningProgram setup(program, arguments, options(controls));
        for (std::size_t line = 0; line < kPrefixStep; ++line)
            ASSERT_EQ(setup.readLine(), kStatusLines[line]);
        awaitFile(pids);
        if (c.underNohup) {
            // Still ignored in the middle of setup, when it catches the other signals: a hang-up changes nothing.
            EXPECT_TRUE(testing::ignoresSignal(setup.pid(), SIGHUP)) << "setup took over the hang-up that nohup ignores";
            setup.signal(SIGHUP);
        }

        const auto start = std::chrono::steady_clock::now();
        setup.signal(c.signal);
        const auto result = setup.wait();
        // The stop waits out the grace period and the server's shutdown at most, never the step's own limit.
        EXPECT_LT(std::chrono::steady_clock::now() - start, timeouts::kGracePeriod + timeouts::kWineServerShutdown);
        EXPECT_EQ(result.status, c.status);
        EXPECT_EQ(result.out, "") << "a status line after the stopped step";
        EXPECT_EQ(result.err, kStopped);

        for (const pid_t pid : testing::pidsIn(pids))
            EXPECT_TRUE(testing::hasEndedWithin(pid, std::chrono::seconds(1)))
                << "a program of the stopped group is left: " << pid;
        const auto calls = testing::readStandInRecord(m_folder / "calls.jsonl");
        ASSERT_FALSE(calls.empty());
        EXPECT_EQ(calls.back().program, "wineserver");
        EXPECT_EQ(calls.back().arguments, std::vector<std::string>{"-k"});
        EXPECT_FALSE(fs::exists(m_home / "installed.json"));
        for (const auto& entry : fs::directory_iterator(m_home))
            EXPECT_EQ(entry.path().filename().string().find("-staging-"), std::string::npos) << entry.path();
        EXPECT_NO_THROW(InstallLock{m_home / "launcher.lock"});
    }
    const auto retry = install();
    EXPECT_EQ(retry.status, 0) << retry.err;
    expectCompleteInstallation();
}

// A check or a report stopped while the runtime's wine hangs, ignoring the
// polite request, with a helper in its group: nothing of the runtime is left
// running, nothing of the report is left behind, and the launcher ends by the signal.
TEST_F(EndToEnd, AStopDuringVerifyOrDiagnosticsLeavesNoProgramAndNoFolderBehind)
{
    ASSERT_EQ(install().status, 0);
    const fs::path temporary = m_folder / "tmp";
    fs::create_directories(temporary);
    const fs::path archive = m_folder / "report.zip";
    const fs::path pids = m_folder / "hanging.pid";
    struct Case {
        std::vector<std::string> arguments;
        int signal;
        const char* said;
    };
    const Case cases[] = {
        {{"--verify"}, SIGTERM, "The check was stopped before it finished. Nothing was changed.\n"},
        {{"--diagnostics", archive.string()}, SIGINT,
         "The diagnostics archive was not written: it was stopped before it finished.\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.front());
        fs::remove(pids);
        std::vector<std::string> arguments{"--cli"};
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        arguments.insert(arguments.end(), {"--home", m_home.string()});
        testing::RunningProgram stopped(testing::fixtureProgram(), arguments,
                                        options({{"STANDIN_HANG", "--version"}, {"STANDIN_IGNORE_TERM", "1"},
                                                 {"STANDIN_PID_FILE", pids.string()}, {"TMPDIR", temporary.string()}}));
        awaitFile(pids);
        stopped.signal(c.signal);
        const auto result = stopped.wait();
        EXPECT_EQ(result.status, 128 + c.signal);
        EXPECT_EQ(result.err, c.said);
        for (const pid_t pid : testing::pidsIn(pids))
            EXPECT_TRUE(testing::hasEndedWithin(pid, std::chrono::seconds(1))) << "a program of the runtime is left: " << pid;
        EXPECT_TRUE(fs::is_empty(temporary)) << "a temporary folder is left";
        EXPECT_FALSE(fs::exists(archive));
        EXPECT_NO_THROW(InstallLock{m_home / "launcher.lock"});
    }
}

// Status lines that cannot be written are dropped; the work and its exit status stand.
TEST_F(EndToEnd, SetupWithStandardOutputClosedOrBrokenStillCompletes)
{
    for (const auto output : {testing::StandardOutput::Closed, testing::StandardOutput::Broken}) {
        SCOPED_TRACE(output == testing::StandardOutput::Closed ? "closed" : "broken");
        fs::remove_all(m_home);
        ProgramOptions environment = options();
        environment.output = output;
        const auto result = testing::runProgram(testing::fixtureProgram(), installArguments(kGame), environment);
        EXPECT_EQ(result.status, 0);
        EXPECT_EQ(result.err, "");
        expectCompleteInstallation();
    }
}

TEST_F(EndToEnd, LaunchPassesSignalsToTheGameAndHoldsTheLockUntilTheGameHasExited)
{
    ASSERT_EQ(install().status, 0);
    const fs::path gameLog = m_home / "Logs/veyra2.log";
    const fs::path quit = m_folder / "quit";
    // A game that goes on after the signal, as one that asks to save would; a
    // hang-up is what closing the terminal sends.
    for (const int signal : {SIGINT, SIGHUP}) {
        SCOPED_TRACE(signal);
        fs::remove(gameLog);
        fs::remove(quit);
        testing::RunningProgram launcher(testing::fixtureProgram(), {"--cli", "--launch", "--home", m_home.string()},
                                         options({{"STANDIN_GAME_UNTIL", quit.string()}}));
        awaitFile(gameLog, "started");
        launcher.signal(signal);
        awaitFile(gameLog, "got signal " + std::to_string(signal));
        EXPECT_EQ(launch().err, kLockHeld);
        EXPECT_EQ(testing::runProgram(testing::fixtureProgram(), {"--cli", "--uninstall", "--home", m_home.string()},
                                      options())
                      .err,
                  kLockHeld);
        testing::writeFile(quit, "");
        EXPECT_EQ(launcher.wait().status, 0);
    }
    fs::remove(gameLog);
    testing::RunningProgram launcher(testing::fixtureProgram(), {"--cli", "--launch", "--home", m_home.string()},
                                     options({{"STANDIN_GAME_SECONDS", "3600"}}));
    awaitFile(gameLog, "started");
    launcher.signal(SIGTERM);
    EXPECT_EQ(launcher.wait().status, 143) << "the game's own status";
    EXPECT_NE(readFile(gameLog).find("got signal 15"), std::string::npos);
    EXPECT_NO_THROW(InstallLock{m_home / "launcher.lock"});
}

TEST_F(EndToEnd, AnUninstallThatKeepsTheSavesLeavesARootThatANewSetupFillsAgain)
{
    const auto first = install();
    ASSERT_EQ(first.status, 0);
    EXPECT_EQ(first.err.find("--restore-saves"), std::string::npos) << "no saves were kept before";
    ASSERT_EQ(launch().status, 0);
    const fs::path save = m_home / "Install/prefix/drive_c/users/player/Documents/slot1.sav";
    testing::writeFile(save, "progress");

    const auto uninstall = testing::runProgram(
        testing::fixtureProgram(), {"--cli", "--uninstall", "--keep-saves", "--home", m_home.string()}, options());
    ASSERT_EQ(uninstall.status, 0) << uninstall.err;
    EXPECT_FALSE(Installation(m_home).isInstalled());
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(m_home))
        left.push_back(entry.path().filename().string());
    std::ranges::sort(left);
    EXPECT_EQ(left, (std::vector<std::string>{"Backups", "launcher.lock"}));

    const auto again = install();
    ASSERT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(again.out, testing::printedLines(kStatusLines));
    expectCompleteInstallation();
    const auto saves =
        testing::runProgram(testing::fixtureProgram(), {"--cli", "--saves", "--home", m_home.string()}, options());
    const std::string kept = saves.out.substr(0, saves.out.find('\t'));
    ASSERT_TRUE(kept.starts_with("Saves-")) << saves.out;
    // The new setup ends with one line on how to put the kept saves back.
    EXPECT_EQ(again.err, "Your saves from an earlier installation are kept in the snapshot " + kept +
                             ". Put them back with --restore-saves " + kept + ".\n");
    const auto restore = testing::runProgram(testing::fixtureProgram(),
                                             {"--cli", "--restore-saves", kept, "--home", m_home.string()}, options());
    ASSERT_EQ(restore.status, 0) << restore.err;
    EXPECT_EQ(readFile(save), "progress");
}

} // namespace
} // namespace launcher
