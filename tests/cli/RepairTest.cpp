// Verification and repair of a fixture installation through the command line:
// each kind of damage with verify's five lines and the repaired result, and the
// player's saves byte for byte across every repair path, in-process; a repair
// killed after each of its status lines, through the built program.

#include "app/Repair.h"
#include "cli/RepairTestSupport.h"
#include "cli/CommandLine.h"
#include "core/InstallationRecord.h"
#include "core/Installation.h"
#include "support/KillAfterChange.h"
#include "support/LockProbe.h"
#include "support/RunningProgram.h"
#include "support/ScopedEnvironmentVariable.h"
#include "support/SetupStatusLines.h"
#include "support/TestHost.h"
#include "support/Unprivileged.h"

#include <csignal>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <sstream>
#include <thread>

#include <gtest/gtest.h>

namespace launcher {
namespace {

namespace fs = std::filesystem;
using testing::fixture;
using testing::readFile;
using testing::writeFile;

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

const std::vector<std::string>& kSetupLines = testing::setupStatusLines();
const std::string& kVerifyingAudio = kSetupLines[0];
const std::string& kDownloading = kSetupLines[1];
const std::string& kUnpacking = kSetupLines[2];
const std::string& kImporting = kSetupLines[3];
const std::string& kGraphics = kSetupLines[4];
const std::string& kCreatingPrefix = kSetupLines[5];
const std::string& kInstallingDecoder = kSetupLines[6];
const std::string& kReady = kSetupLines[7];

constexpr const char* kNeedsGame = "Repair must import the game files again. Run --repair again with --game PATH.";
constexpr const char* kNeedsAudio = "Repair must install the audio decoder again. Run --repair again with --audio PATH.";

// Verify's five lines: "ok" for every part without a problem.
std::string verdict(const std::map<std::string, std::string>& problems)
{
    std::string text;
    for (const std::string name : {"record", "runtime", "game", "prefix", "downloads"})
        text += name + ": " + (problems.contains(name) ? problems.at(name) : "ok") + "\n";
    return text;
}

fs::path decoder(const fs::path& home)
{
    return home / "Install/prefix/drive_c/windows/syswow64/wmadmod.dll";
}

fs::path engineArchive(const fs::path& home)
{
    return home / "Downloads/WS12WineCX24.0.7_7.tar.xz";
}

void recordEngine(const fs::path& home, const std::string& engine)
{
    writeFile(home / "installed.json",
              InstallationRecord{1, "0.1.0", engine, std::chrono::system_clock::now()}.encode());
}

void truncateGameFile(const fs::path& home)
{
    fs::resize_file(home / "Install/game/data/textures.pak", 100);
}

void loseDecoderAndItsVerifiedCopy(const fs::path& home)
{
    fs::remove(decoder(home));
    fs::remove(home / "Audio-import/wmadmod.dll");
}

// A launcher killed while it starts a program leaves the lock's descriptor with
// the child until the child has become that program, which under load takes a
// moment; a run started meanwhile is refused by the lock. Waits, bounded.
void waitUntilTheLockIsFree(const fs::path& lockFile)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!testing::lockIsFree(lockFile.parent_path())) {
        if (std::chrono::steady_clock::now() > deadline) {
            ADD_FAILURE() << "the killed repair's lock stayed held";
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

// Every path below the folder, relative to it, links not followed.
std::set<std::string> pathsBelow(const fs::path& folder)
{
    std::set<std::string> paths;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        paths.insert(entry.path().lexically_relative(folder).string());
    return paths;
}

struct DamageCase {
    const char* damage;
    std::function<void(const fs::path& home)> apply;
    // Verify's sentence for each damaged part.
    std::map<std::string, std::string> problems;
    // Repair without arguments refuses with this, when it is given, and changes nothing.
    std::string refusal;
    // With these arguments repair prints these lines; no lines: nothing repairs it.
    std::vector<std::string> arguments;
    std::vector<std::string> lines;
    // What else the repaired installation must show.
    std::function<void(const fs::path& home)> repaired;
};

const std::vector<DamageCase>& damageCases()
{
    static const std::vector<DamageCase> cases{
        {"decoder deleted", [](const fs::path& home) { fs::remove(decoder(home)); },
         {{"prefix", "The audio decoder is missing."}}, "", {},
         {kCreatingPrefix, kInstallingDecoder, kReady}, nullptr},
        {"decoder replaced by other bytes", [](const fs::path& home) { writeFile(decoder(home), "MZ another library"); },
         {{"prefix", "The audio decoder is not the tested library."}}, "", {},
         {kCreatingPrefix, kInstallingDecoder, kReady},
         [](const fs::path& home) { EXPECT_EQ(readFile(decoder(home)), readFile(fixture("audio/WMADMOD.DLL"))); }},
        {"decoder and the launcher's verified copy deleted", loseDecoderAndItsVerifiedCopy,
         {{"prefix", "The audio decoder is missing."}}, kNeedsAudio, {"--audio", fixture("audio/MPSetup.exe")},
         {kVerifyingAudio, kCreatingPrefix, kInstallingDecoder, kReady}, nullptr},
        {"a DirectX library deleted", [](const fs::path& home) { fs::remove(home / "Install/game/d3dx9_43.dll"); },
         {{"game", "The graphics library d3dx9_43.dll is missing."}}, "", {}, {kGraphics, kReady},
         [](const fs::path& home) { EXPECT_TRUE(fs::is_regular_file(home / "Install/game/d3dx9_43.dll")); }},
        {"a game file truncated", truncateGameFile,
         {{"game", "Game files are missing or changed: data/textures.pak."}}, kNeedsGame,
         {"--game", fixture("game/installer.zip")}, {kImporting, kGraphics, kReady},
         [](const fs::path& home) {
             EXPECT_EQ(readFile(home / "Install/game/data/textures.pak"),
                       readFile(fixture("game/Veyra 2/data/textures.pak")));
         }},
        {"veyra2.exe replaced by a folder",
         [](const fs::path& home) {
             fs::remove(home / "Install/game/veyra2.exe");
             fs::create_directory(home / "Install/game/veyra2.exe");
         },
         {{"game", "Game files are missing or changed: veyra2.exe."}}, kNeedsGame,
         {"--game", fixture("game/Veyra 2")}, {kImporting, kGraphics, kReady},
         [](const fs::path& home) { EXPECT_TRUE(fs::is_regular_file(home / "Install/game/veyra2.exe")); }},
        {"the game folder deleted", [](const fs::path& home) { fs::remove_all(home / "Install/game"); },
         {{"game", "The game folder Install/game is missing."}}, kNeedsGame,
         {"--game", fixture("game/installer/vy2pc_data.bin")}, {kImporting, kGraphics, kReady}, nullptr},
        {"a game file truncated, the decoder and its verified copy deleted",
         [](const fs::path& home) {
             truncateGameFile(home);
             loseDecoderAndItsVerifiedCopy(home);
         },
         {{"game", "Game files are missing or changed: data/textures.pak."},
          {"prefix", "The audio decoder is missing."}},
         "Repair must import the game files and install the audio decoder again. Run --repair again with --game "
         "PATH and --audio PATH.",
         {"--game", fixture("game/installer.zip"), "--audio", fixture("audio/WMADMOD.DLL")},
         {kVerifyingAudio, kImporting, kGraphics, kCreatingPrefix, kInstallingDecoder, kReady}, nullptr},
        {"the runtime's wine deleted", [](const fs::path& home) { fs::remove(home / "Runtime/wswine.bundle/bin/wine"); },
         {{"runtime", "The compatibility runtime is incomplete: its main program is missing or cannot be run."},
          {"prefix", "The audio decoder's registration cannot be checked while the runtime does not start."}},
         "", {}, {kDownloading, kUnpacking, kCreatingPrefix, kInstallingDecoder, kReady}, nullptr},
        {"a runtime library deleted", [](const fs::path& home) { fs::remove(home / "Runtime/lib/libinotify.0.dylib"); },
         {{"runtime", "The runtime's library libinotify.0.dylib is missing."}}, "", {},
         {kDownloading, kUnpacking, kReady}, nullptr},
        {"system.reg deleted", [](const fs::path& home) { fs::remove(home / "Install/prefix/system.reg"); },
         {{"prefix", "The registry file system.reg is missing."}}, "", {},
         {kCreatingPrefix, kInstallingDecoder, kReady}, nullptr},
        {"the drives pruned too far",
         [](const fs::path& home) {
             fs::remove(home / "Install/prefix/dosdevices/c:");
             fs::remove(home / "Install/prefix/dosdevices/z:");
         },
         {{"prefix", "The drive C: is missing and the drive Z: is missing."}}, "", {},
         {kCreatingPrefix, kInstallingDecoder, kReady}, nullptr},
        {"the game link replaced by a folder",
         [](const fs::path& home) {
             const fs::path link = home / "Install/prefix/drive_c/Games/Veyra 2";
             fs::remove(link);
             writeFile(link / "notes.txt", "the player's own");
         },
         {{"prefix", "Something else stands where the game link belongs."}}, "", {},
         {kCreatingPrefix, kInstallingDecoder, kReady},
         [](const fs::path& home) {
             const fs::path games = home / "Install/prefix/drive_c/Games";
             EXPECT_EQ(fs::read_symlink(games / "Veyra 2"), home / "Install/game");
             EXPECT_EQ(readFile(games / "Veyra 2 (moved aside)/notes.txt"), "the player's own");
         }},
        {"the game link led elsewhere",
         [](const fs::path& home) {
             const fs::path link = home / "Install/prefix/drive_c/Games/Veyra 2";
             fs::remove(link);
             fs::create_directory_symlink(home / "Install", link);
         },
         {{"prefix", "The game link does not lead to the game folder."}}, "", {},
         {kCreatingPrefix, kInstallingDecoder, kReady}, nullptr},
        {"a cached archive corrupted",
         [](const fs::path& home) {
             std::string bytes = readFile(engineArchive(home));
             bytes[bytes.size() / 2] ^= 0x20;
             writeFile(engineArchive(home), bytes);
         },
         {{"downloads", "The downloaded runtime archive WS12WineCX24.0.7_7.tar.xz is damaged."}}, "", {}, {kReady},
         [](const fs::path& home) { EXPECT_FALSE(fs::exists(engineArchive(home))); }},
        {"the record names an outdated runtime",
         [](const fs::path& home) { recordEngine(home, "WS11WineCX23.0.0_1.tar.xz"); },
         {{"record", "The installation uses the outdated runtime WS11WineCX23.0.0_1.tar.xz."}}, "", {},
         {kDownloading, kUnpacking, kReady}, nullptr},
        {"the record cut short", [](const fs::path& home) { writeFile(home / "installed.json", R"({"format":1,)"); },
         {{"record", "The installation record installed.json cannot be read."}}, "", {}, {kReady}, nullptr},
        {"the record deleted", [](const fs::path& home) { fs::remove(home / "installed.json"); },
         {{"record", "The installation record installed.json is missing."}},
         "There is no installation to repair. Set it up with --install.", {}, {}, nullptr},
    };
    return cases;
}

class Repair : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_installation = std::make_unique<testing::PristineInstallation>(); }
    static void TearDownTestSuite() { s_installation.reset(); }

    void SetUp() override { s_installation->restore(); }

    static const fs::path& home() { return s_installation->home(); }

    static Outcome cli(std::vector<std::string> arguments)
    {
        arguments.insert(arguments.begin(), {"veyra2-launcher", "--cli"});
        arguments.insert(arguments.end(), {"--home", home().string()});
        std::ostringstream out;
        std::ostringstream err;
        const int status = cli::runCLI(arguments, out, err);
        return {status, out.str(), err.str()};
    }

    inline static std::unique_ptr<testing::PristineInstallation> s_installation;
};

TEST_F(Repair, EachDamageIsFoundAndRepairedWhileTheSavesStayByteForByte)
{
    for (const DamageCase& damage : damageCases()) {
        SCOPED_TRACE(damage.damage);
        s_installation->restore();
        const auto saves = testing::treeSnapshot(testing::savesFolder(home()));
        damage.apply(home());

        const Outcome verified = cli({"--verify"});
        EXPECT_EQ(verified.status, 1);
        EXPECT_EQ(verified.out, verdict(damage.problems));
        EXPECT_EQ(verified.err, "");

        if (!damage.refusal.empty()) {
            const Outcome refused = cli({"--repair"});
            EXPECT_EQ(refused.status, 1);
            EXPECT_EQ(refused.out, "");
            EXPECT_EQ(refused.err, damage.refusal + "\n");
            EXPECT_EQ(cli({"--verify"}).out, verdict(damage.problems)) << "the refused repair changed something";
        }
        if (damage.lines.empty())
            continue;

        std::vector<std::string> arguments{"--repair"};
        arguments.insert(arguments.end(), damage.arguments.begin(), damage.arguments.end());
        const auto started = std::chrono::system_clock::now();
        const Outcome repaired = cli(arguments);
        EXPECT_EQ(repaired.status, 0) << repaired.err;
        EXPECT_EQ(repaired.out, testing::printedLines(damage.lines));
        EXPECT_EQ(repaired.err, "");

        const Outcome after = cli({"--verify"});
        EXPECT_EQ(after.status, 0);
        EXPECT_EQ(after.out, verdict({}));
        EXPECT_TRUE(Installation(home()).isInstalled());
        const auto record = InstallationRecord::decode(readFile(home() / "installed.json"));
        EXPECT_EQ(record.engine, "WS12WineCX24.0.7_7.tar.xz");
        EXPECT_GE(record.installedAt, started);
        EXPECT_EQ(testing::treeSnapshot(testing::savesFolder(home())), saves);
        if (damage.repaired)
            damage.repaired(home());
    }
}

TEST_F(Repair, ASoundInstallationIsVerifiedAndLeftAsItIs)
{
    const auto everythingButTheLogs = [] {
        auto snapshot = testing::treeSnapshot(home());
        std::erase_if(snapshot, [](const auto& entry) { return entry.first.starts_with("Logs"); });
        return snapshot;
    };
    const auto before = everythingButTheLogs();

    const Outcome verified = cli({"--verify"});
    EXPECT_EQ(verified.status, 0);
    EXPECT_EQ(verified.out, verdict({}));
    EXPECT_EQ(verified.err, "");
    const Outcome repaired = cli({"--repair", "--game", "/nonexistent"});
    EXPECT_EQ(repaired.status, 0);
    EXPECT_EQ(repaired.out, "Nothing to repair: the installation is sound.\n");
    EXPECT_EQ(repaired.err, "");
    EXPECT_EQ(everythingButTheLogs(), before);
}

TEST_F(Repair, VerifyTellsARuntimeThatDoesNotAnswerAndADecoderThatIsNotRegistered)
{
    const struct {
        const char* variable;
        const char* value;
        std::map<std::string, std::string> problems;
    } cases[] = {
        {"STANDIN_FAIL", "--version",
         {{"runtime", "The runtime does not start; the setup log shows what it answered."},
          {"prefix", "The audio decoder's registration cannot be checked while the runtime does not start."}}},
        {"STANDIN_QUERY_OUTPUT", "HKEY_LOCAL_MACHINE\\Software\\Classes\\Wow6432Node\\CLSID",
         {{"prefix", "The audio decoder is not registered."}}},
        {"STANDIN_FAIL", "reg query", {{"prefix", "The audio decoder is not registered."}}},
    };
    for (const auto& [variable, value, problems] : cases) {
        SCOPED_TRACE(std::string(variable) + "=" + value);
        const testing::ScopedEnvironmentVariable answer(variable, value);
        const Outcome verified = cli({"--verify"});
        EXPECT_EQ(verified.status, 1);
        EXPECT_EQ(verified.out, verdict(problems));
    }
}

// Verify only reads: a setup log that the player cannot write, or a Logs folder
// where it cannot be made, changes no verdict, and a runtime that does not
// start is then told with its answer in the line itself.
TEST_F(Repair, VerifyNeedsNoSetupLogItCanWrite)
{
    const std::string notStarting = "The runtime does not start; it answered \"stand-in wine: failing on request: "
                                    "--version\". The setup log Logs/setup.log cannot be written.";
    for (const bool logThere : {true, false}) {
        s_installation->restore();
        fs::remove_all(home() / "Logs");
        if (logThere)
            writeFile(home() / "Logs/setup.log", "what an earlier setup wrote\n");
        fs::create_directories(home() / "Logs");
        testing::giveTreeToPlayer(home());
        const fs::path readOnly = home() / (logThere ? "Logs/setup.log" : "Logs");
        fs::permissions(readOnly, fs::perms::owner_read | fs::perms::owner_exec);
        for (const bool fails : {false, true}) {
            SCOPED_TRACE(readOnly.string() + (fails ? " read-only, the runtime failing" : " read-only"));
            const std::string expected =
                fails ? verdict({{"runtime", notStarting},
                                 {"prefix", "The audio decoder's registration cannot be checked while the runtime "
                                            "does not start."}})
                      : verdict({});
            EXPECT_EXIT(testing::exitWithFailureOfUnprivileged([&] {
                            std::optional<testing::ScopedEnvironmentVariable> failing;
                            if (fails)
                                failing.emplace("STANDIN_FAIL", "--version");
                            const Outcome verified = cli({"--verify"});
                            throw std::runtime_error(verified.out == expected ? "as expected" : verified.out);
                        }),
                        ::testing::ExitedWithCode(0), "^as expected\n$");
        }
        fs::permissions(readOnly, fs::perms::owner_all);
        if (logThere)
            EXPECT_EQ(readFile(home() / "Logs/setup.log"), "what an earlier setup wrote\n");
        else
            EXPECT_TRUE(fs::is_empty(home() / "Logs"));
    }
}

// An installation recorded with another runtime is installed and plays on its
// runtime, with the news of the update; an update that fails keeps it playable
// on the old runtime, and one that succeeds leaves a sound installation.
TEST_F(Repair, AnOutdatedRuntimePlaysWithTheNewsAndIsUpdatedOnlyByANewRuntimeThatStarts)
{
    const auto saves = testing::treeSnapshot(testing::savesFolder(home()));
    recordEngine(home(), "WS11WineCX23.0.0_1.tar.xz");
    const fs::path oldRuntimeMark = home() / "Runtime/wswine.bundle/old-runtime.txt";
    writeFile(oldRuntimeMark, "the runtime an earlier launcher installed");
    const std::string news = "A newer compatibility runtime is available. Update it with --repair.\n";

    EXPECT_EQ(cli({"--status"}).out, "installed\n");
    const Outcome launched = cli({"--launch"});
    EXPECT_EQ(launched.status, 0);
    EXPECT_EQ(launched.err, news);

    {
        const testing::ScopedEnvironmentVariable failing("STANDIN_FAIL", "--version");
        const Outcome failed = cli({"--repair"});
        EXPECT_EQ(failed.status, 1);
        EXPECT_EQ(failed.err, "wine failed (1). Open the setup log for details. If antivirus quarantined a file, "
                              "review its report before retrying.\n");
    }
    EXPECT_EQ(readFile(oldRuntimeMark), "the runtime an earlier launcher installed");
    EXPECT_FALSE(fs::exists(home() / "Runtime-previous"));
    EXPECT_EQ(cli({"--status"}).out, "installed\n");
    EXPECT_EQ(cli({"--launch"}).status, 0) << "the game plays on the old runtime";

    const Outcome updated = cli({"--repair"});
    EXPECT_EQ(updated.status, 0) << updated.err;
    EXPECT_EQ(updated.out, testing::printedLines({kDownloading, kUnpacking, kReady}));
    EXPECT_FALSE(fs::exists(oldRuntimeMark));
    EXPECT_EQ(cli({"--verify"}).out, verdict({}));
    const Outcome current = cli({"--launch"});
    EXPECT_EQ(current.status, 0);
    EXPECT_EQ(current.err, "");
    EXPECT_EQ(testing::treeSnapshot(testing::savesFolder(home())), saves);
}

// Setup keeps the profile's shell folders inside the prefix. A prefix made
// before, whose folders Wine linked to the player's own, keeps its links: the
// game's saves may be there. Verify names them, and a repair that makes the
// prefix again leaves them.
TEST_F(Repair, ProfileFoldersLinkedOutOfThePrefixAreNamedByVerifyAndKept)
{
    const fs::path profile = testing::savesFolder(home()) / "player";
    for (const char* shellFolder : {"Desktop", "Documents", "Downloads", "Music", "Pictures", "Videos"})
        EXPECT_TRUE(fs::is_directory(fs::symlink_status(profile / shellFolder))) << shellFolder;

    const fs::path playersOwn = home().parent_path() / "player's home";
    writeFile(playersOwn / "Documents/Veyra 2/slot9.sav", "saved through the link");
    fs::remove_all(profile / "Documents");
    fs::create_directory_symlink(playersOwn / "Documents", profile / "Documents");
    fs::remove_all(profile / "Music");
    fs::create_directory_symlink(playersOwn, profile / "Music");
    const std::string named = "saves: The profile folders player/Documents and player/Music lead outside the "
                              "launcher's folder, so the saves in them are not in the snapshots.\n";

    const Outcome verified = cli({"--verify"});
    EXPECT_EQ(verified.status, 0) << "no damage";
    EXPECT_EQ(verified.out, verdict({}) + named);

    fs::remove(home() / "Install/prefix/system.reg");
    const Outcome repaired = cli({"--repair"});
    EXPECT_EQ(repaired.status, 0) << repaired.err;
    EXPECT_EQ(fs::read_symlink(profile / "Documents"), playersOwn / "Documents");
    EXPECT_EQ(fs::read_symlink(profile / "Music"), playersOwn);
    EXPECT_EQ(readFile(playersOwn / "Documents/Veyra 2/slot9.sav"), "saved through the link");
    EXPECT_EQ(cli({"--verify"}).out, verdict({}) + named);
}

// A download cut short leaves a partial file in Downloads for the next setup to
// resume; it is no damage, and repair leaves it alone.
TEST_F(Repair, APartialDownloadIsNoDamage)
{
    const fs::path partial = home() / "Downloads/wine-stable-11.0_1-osx64.tar.xz.partial";
    writeFile(partial, "the first bytes of an archive");
    const Outcome verified = cli({"--verify"});
    EXPECT_EQ(verified.status, 0);
    EXPECT_EQ(verified.out, verdict({}));
    EXPECT_EQ(cli({"--repair"}).out, "Nothing to repair: the installation is sound.\n");
    EXPECT_EQ(readFile(partial), "the first bytes of an archive");
}

// A launcher killed while it updated the runtime leaves the old one aside; the
// next start puts it back and plays on it.
TEST_F(Repair, TheNextStartPutsBackARuntimeThatAKilledUpdateLeftAside)
{
    recordEngine(home(), "WS11WineCX23.0.0_1.tar.xz");
    fs::rename(home() / "Runtime", home() / "Runtime-previous");
    writeFile(home() / "Runtime/wswine.bundle/bin/wine", "half of a new runtime");

    const Outcome launched = cli({"--launch"});
    EXPECT_EQ(launched.status, 0) << launched.err;
    EXPECT_FALSE(fs::exists(home() / "Runtime-previous"));
    EXPECT_EQ(cli({"--verify"}).out,
              verdict({{"record", "The installation uses the outdated runtime WS11WineCX23.0.0_1.tar.xz."}}));
}

// An update killed after any change it makes to the file system, from the
// moment the old runtime goes aside until it is gone: the launch that follows
// plays on one whole runtime, the old one or the new one, never on a
// half-removed one, and leaves nothing aside.
TEST_F(Repair, AnUpdateKilledAfterAnyOfItsStepsLeavesOneWholeRuntimeToPlayOn)
{
    if (!testing::killAfterChange(1, "", ""))
        GTEST_SKIP() << "Killing a program after a chosen change needs Linux's preloaded libraries.";
    const std::set<std::string> newRuntime = pathsBelow(home() / "Runtime");
    const auto makeOutdated = [] {
        s_installation->restore();
        recordEngine(home(), "WS11WineCX23.0.0_1.tar.xz");
        writeFile(home() / "Runtime/wswine.bundle/old-runtime.txt", "part of the runtime an earlier launcher installed");
    };
    makeOutdated();
    const std::set<std::string> oldRuntime = pathsBelow(home() / "Runtime");
    const std::vector<std::string> repair{"--cli", "--repair", "--home", home().string()};
    const std::vector<std::string> launch{"--cli", "--launch", "--home", home().string()};

    long change = 1;
    for (;; ++change) {
        SCOPED_TRACE("killed after change " + std::to_string(change));
        ASSERT_LT(change, 200) << "the repair never finished";
        makeOutdated();
        const auto killAt = testing::killAfterChange(change, "/Runtime-previous", "/Runtime-superseded");
        const auto killed = testing::runProgram(testing::fixtureProgram(), repair, {.environment = *killAt});
        if (killed.status == 0)
            break;
        ASSERT_EQ(killed.status, 128 + SIGKILL) << killed.err;

        waitUntilTheLockIsFree(home() / "launcher.lock");
        const auto launched = testing::runProgram(testing::fixtureProgram(), launch);
        EXPECT_EQ(launched.status, 0) << launched.err;
        const std::set<std::string> runtime = pathsBelow(home() / "Runtime");
        EXPECT_TRUE(runtime == oldRuntime || runtime == newRuntime) << ::testing::PrintToString(runtime);
        EXPECT_FALSE(fs::exists(home() / "Runtime-previous"));
        EXPECT_FALSE(fs::exists(home() / "Runtime-superseded"));
    }
    // Setting aside, the new runtime's three moves, and removing the old one file by file.
    EXPECT_GT(change, 10);
}

TEST_F(Repair, ARepairKilledAfterAnyStatusLineIsCompletedByTheNext)
{
    // Damage that makes repair redo every step, so that it prints every line.
    const auto damageEverything = [] {
        fs::remove(home() / "Runtime/wswine.bundle/bin/wine");
        testing::writeFile(engineArchive(home()), "not the archive");
        truncateGameFile(home());
        loseDecoderAndItsVerifiedCopy(home());
    };
    const std::vector<std::string> arguments{"--cli", "--repair", "--home", home().string(), "--game",
                                             fixture("game/installer.zip").string(), "--audio",
                                             fixture("audio/MPSetup.exe").string(), "--cache",
                                             fixture("runtime/prefetched").string()};
    for (std::size_t killedAfter = 1; killedAfter < kSetupLines.size(); ++killedAfter) {
        SCOPED_TRACE("killed after status line " + std::to_string(killedAfter));
        s_installation->restore();
        const auto saves = testing::treeSnapshot(testing::savesFolder(home()));
        damageEverything();
        {
            testing::RunningProgram repair(testing::fixtureProgram(), arguments);
            for (std::size_t line = 0; line < killedAfter; ++line)
                ASSERT_EQ(repair.readLine(), kSetupLines[line]);
            repair.signal(SIGKILL);
            repair.wait();
        }

        waitUntilTheLockIsFree(home() / "launcher.lock");
        const auto completed = testing::runProgram(testing::fixtureProgram(), arguments);
        ASSERT_EQ(completed.status, 0) << completed.err;
        // Killed after its last step, a repair may have left nothing but the new record unwritten.
        EXPECT_TRUE(completed.out.ends_with(kReady + "\n")
                    || completed.out == "Nothing to repair: the installation is sound.\n")
            << completed.out;
        const auto verified = testing::runProgram(testing::fixtureProgram(), {"--cli", "--verify", "--home", home().string()});
        EXPECT_EQ(verified.status, 0);
        EXPECT_EQ(verified.out, verdict({}));
        EXPECT_EQ(testing::treeSnapshot(testing::savesFolder(home())), saves);
        for (const auto& entry : fs::directory_iterator(home()))
            EXPECT_EQ(entry.path().filename().string().find("-staging-"), std::string::npos) << entry.path();
    }
}

} // namespace
} // namespace launcher
