// The fixture copy of the program driven as a user would from a shell: real
// archives, the stand-in runtime inside the engine archive, real processes.

#include "core/InstallationRecord.h"
#include "core/Installer.h"
#include "support/LocalHttpsServer.h"
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

std::string joinedLines(const std::vector<std::string>& lines)
{
    std::string text;
    for (const auto& line : lines)
        text += line + "\n";
    return text;
}

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

    void expectCompleteInstallation() const
    {
        EXPECT_TRUE(Installer(m_home).isInstalled());
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
    EXPECT_EQ(result.out, joinedLines(kStatusLines));
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
    const fs::path site = m_folder / "site";
    fs::create_directories(site / "releases");
    for (const auto& archive : fs::directory_iterator(fixture("runtime/prefetched")))
        fs::copy_file(archive.path(), site / "releases" / archive.path().filename());
    const testing::LocalHttpsServer server(site, testing::fixtureDownloadPort());

    auto environment = options({{"CURL_CA_BUNDLE", server.caBundle().string()}});
    environment.directory = fixture("");
    const auto result = testing::runProgram(
        testing::fixtureProgram(),
        {"--cli", "--install", "--game", "game/installer.zip", "--audio", "audio/MPSetup.exe", "--home", m_home.string()},
        environment);
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, joinedLines(kStatusLines));
    EXPECT_TRUE(fs::exists(m_home / "Downloads/WS12WineCX24.0.7_7.tar.xz"));
    EXPECT_TRUE(fs::exists(m_home / "Downloads/wine-stable-11.0_1-osx64.tar.xz"));
    EXPECT_NE(server.output().find("WS12WineCX24.0.7_7.tar.xz"), std::string::npos);
    expectCompleteInstallation();
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

    first.signal(SIGKILL);
    first.wait();
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
            setup.signal(SIGKILL);
            setup.wait();
        }
        const auto retry = install();
        ASSERT_EQ(retry.status, 0) << retry.err;
        EXPECT_EQ(retry.out, joinedLines(kStatusLines));
        expectCompleteInstallation();
    }
}

TEST_F(EndToEnd, AFailedPrefixStepLeavesNoRecordAndTheNextRunCompletes)
{
    const auto failed = install({{"STANDIN_FAIL", "reg add HKCU\\Software\\Wine\\Direct3D /v renderer"}});
    EXPECT_EQ(failed.status, 1);
    EXPECT_EQ(failed.out, joinedLines({kStatusLines.begin(), kStatusLines.begin() + 6}));
    EXPECT_EQ(failed.err, "wine failed (1). Open the setup log for details. If antivirus quarantined a file, review its "
                          "report before retrying.\n");
    EXPECT_FALSE(fs::exists(m_home / "installed.json"));
    EXPECT_TRUE(fs::exists(m_home / "Runtime/wswine.bundle/bin/wine"));
    EXPECT_TRUE(fs::exists(m_home / "Install/game/veyra2.exe"));

    const auto retry = install();
    EXPECT_EQ(retry.status, 0) << retry.err;
    expectCompleteInstallation();
}

TEST_F(EndToEnd, AnUninstallThatKeepsTheSavesLeavesARootThatANewSetupFillsAgain)
{
    ASSERT_EQ(install().status, 0);
    ASSERT_EQ(launch().status, 0);
    const fs::path save = m_home / "Install/prefix/drive_c/users/player/Documents/slot1.sav";
    testing::writeFile(save, "progress");

    const auto uninstall = testing::runProgram(
        testing::fixtureProgram(), {"--cli", "--uninstall", "--keep-saves", "--home", m_home.string()}, options());
    ASSERT_EQ(uninstall.status, 0) << uninstall.err;
    EXPECT_FALSE(Installer(m_home).isInstalled());
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(m_home))
        left.push_back(entry.path().filename().string());
    std::ranges::sort(left);
    EXPECT_EQ(left, (std::vector<std::string>{"Backups", "launcher.lock"}));

    const auto again = install();
    ASSERT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(again.out, joinedLines(kStatusLines));
    expectCompleteInstallation();
    const auto saves =
        testing::runProgram(testing::fixtureProgram(), {"--cli", "--saves", "--home", m_home.string()}, options());
    const std::string kept = saves.out.substr(0, saves.out.find('\t'));
    ASSERT_TRUE(kept.starts_with("Saves-")) << saves.out;
    const auto restore = testing::runProgram(testing::fixtureProgram(),
                                             {"--cli", "--restore-saves", kept, "--home", m_home.string()}, options());
    ASSERT_EQ(restore.status, 0) << restore.err;
    EXPECT_EQ(readFile(save), "progress");
}

} // namespace
} // namespace launcher
