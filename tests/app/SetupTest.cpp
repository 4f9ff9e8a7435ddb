// The setup sequence in-process: the order of its first steps and what a refused
// or early-failing setup leaves behind.

#include "app/Setup.h"
#include "core/InstallLock.h"
#include "core/Installation.h"
#include "core/SetupFailure.h"
#include "support/EntryNames.h"
#include "support/ScopedEnvironmentVariable.h"
#include "support/SetupStatusLines.h"
#include "support/StopFromAnotherThread.h"
#include "support/TemporaryFolder.h"
#include "support/TestHost.h"

#include <algorithm>
#include <set>
#include <system_error>

#include <gtest/gtest.h>

namespace launcher {
namespace {

namespace fs = std::filesystem;
using testing::fixture;
using testing::TemporaryFolder;
using testing::writeFile;

constexpr const char* kNotTested = "This audio file is not the tested Microsoft WMA 9 decoder/package. Select the "
                                   "supported MPSetup.exe or WMADMOD.DLL described in the setup guide.";

class Setup : public ::testing::Test {
protected:
    // Runs setup and returns its failure message; the status lines land in m_lines.
    std::string failureOf(const Host& host, const fs::path& audio, const fs::path& game = fixture("game/installer.zip"),
                          const std::optional<fs::path>& cache = std::nullopt)
    {
        const Installation installation(
            m_root, [this](const std::string& line) { m_lines.push_back(line); }, host);
        try {
            install(installation, game, audio, cache);
        } catch (const std::exception& failure) {
            return failure.what();
        }
        return "setup succeeded";
    }

    // A root that an earlier setup made: it holds the lock file.
    void useEarlierRoot() const { writeFile(m_root / "launcher.lock", ""); }

    std::set<std::string> rootEntries() const { return testing::entryNames(m_root); }

    // A machine on which preflight fails, and nothing can be downloaded.
    static Host noSpaceHost()
    {
        Host host = testing::testHost();
        host.availableSpace = [](const fs::path&) { return std::optional<std::uintmax_t>(0); };
        host.downloadTool = "/usr/bin/false";
        return host;
    }

    TemporaryFolder m_folder;
    fs::path m_root = m_folder / "root";
    fs::path m_wrongAudio = m_folder / "WMADMOD.DLL";
    std::vector<std::string> m_lines;
};

TEST_F(Setup, AnExistingRecordIsRefusedBeforeTheMacIsCheckedAndChangesNothing)
{
    useEarlierRoot();
    writeFile(m_root / "installed.json", "{}");
    writeFile(m_root / "Game-staging-8D1E2A46-3A51-4C60-9E0C-1B2F40C4E2AA/Imported/file", "left over");

    EXPECT_EQ(failureOf(noSpaceHost(), fixture("audio/MPSetup.exe")),
              "An installation already exists. Its game files and saves were left untouched.");
    EXPECT_TRUE(m_lines.empty());
    EXPECT_FALSE(fs::exists(m_root / "Logs")) << "the x86_64 check ran";
    EXPECT_TRUE(fs::exists(m_root / "Game-staging-8D1E2A46-3A51-4C60-9E0C-1B2F40C4E2AA/Imported/file"));
}

TEST_F(Setup, TheMacIsCheckedBeforeTheAudioFileIsRead)
{
    writeFile(m_wrongAudio, "not the decoder");
    Host host = testing::testHost();
    host.availableSpace = [](const fs::path&) { return std::optional<std::uintmax_t>(11'999'999'999); };

    EXPECT_EQ(failureOf(host, m_wrongAudio),
              "Setup needs at least 12 GB of available disk space. Free some space and retry.");
    EXPECT_TRUE(m_lines.empty());
    EXPECT_FALSE(fs::exists(m_root / "Audio-import"));
}

// Setup replaces "Runtime" and "Install/game" below the root: a folder that
// already holds the player's own files must never become one by mistake.
TEST_F(Setup, ARootTheLauncherDidNotMakeIsRefusedBeforeAnythingIsTouched)
{
    const std::string noGame = "The selected game files are no longer available.";
    const struct {
        const char* kind;
        std::vector<const char*> entries;
        std::string failure;
    } cases[] = {
        // Each front end adds its own way out.
        {"a folder of the player's", {"notes.txt", "Install/mine"},
         "The folder " + m_root.string() + " already holds other files."},
        {"a folder the window's Logs made", {"Logs/"}, noGame},
        {"a folder an earlier setup made", {"launcher.lock", "Runtime/wswine.bundle/bin/wine"}, noGame},
        {"an empty folder", {}, noGame},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        fs::remove_all(m_root);
        fs::create_directories(m_root);
        for (const std::string entry : c.entries) {
            if (entry.ends_with('/'))
                fs::create_directories(m_root / entry);
            else
                writeFile(m_root / entry, "");
        }
        std::set<std::string> before = rootEntries();

        EXPECT_EQ(failureOf(noSpaceHost(), m_wrongAudio, m_folder / "missing game"), c.failure);
        if (c.failure != noGame) {
            EXPECT_EQ(rootEntries(), before) << "touched";
        }
    }
    fs::remove_all(m_root);
    EXPECT_EQ(failureOf(noSpaceHost(), m_wrongAudio, m_folder / "missing game"), noGame) << "a new folder";
}

// A mistyped path fails at once, before the Mac is checked and long before the
// runtime is downloaded.
TEST_F(Setup, MissingSelectionsAreRefusedBeforeTheMacIsChecked)
{
    writeFile(m_wrongAudio, "not the decoder");
    writeFile(m_folder / "a file", "");
    const std::string noCache = "The folder given with --cache does not exist: ";
    const struct {
        fs::path game;
        fs::path audio;
        std::optional<fs::path> cache;
        std::string failure;
    } cases[] = {
        {m_folder / "gone.zip", m_wrongAudio, std::nullopt, "The selected game files are no longer available."},
        {m_folder / "gone/", m_wrongAudio, std::nullopt, "The selected game files are no longer available."},
        {fixture("game/installer.zip"), m_folder / "gone.exe", std::nullopt,
         fs::filesystem_error("cannot open file", m_folder / "gone.exe",
                              std::make_error_code(std::errc::no_such_file_or_directory))
             .what()},
        {fixture("game/installer.zip"), m_wrongAudio, m_folder / "gone", noCache + (m_folder / "gone").string()},
        {fixture("game/installer.zip"), m_wrongAudio, m_folder / "a file", noCache + (m_folder / "a file").string()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.failure);
        m_lines.clear();
        EXPECT_EQ(failureOf(noSpaceHost(), c.audio, c.game, c.cache), c.failure);
        EXPECT_TRUE(m_lines.empty());
        EXPECT_FALSE(fs::exists(m_root / "Logs")) << "the x86_64 check ran";
    }
}

TEST_F(Setup, AWrongAudioFileEndsSetupBeforeAnyDownloadAndAbandonedStagingIsGone)
{
    writeFile(m_wrongAudio, "not the decoder");
    useEarlierRoot();
    writeFile(m_root / "Runtime-staging-0F9A6C1E-6B7D-4B43-8E59-2D7A1C3B5E10/lib/x.dylib", "left over");
    writeFile(m_root / "DirectX-staging-5C2B8E0D-1F4A-4E7B-9A36-7D0E2F1B3C48/x.cab", "left over");
    Host host = testing::testHost();
    host.downloadTool = "/usr/bin/false";

    EXPECT_EQ(failureOf(host, m_wrongAudio), kNotTested);
    EXPECT_EQ(m_lines, std::vector<std::string>{"Verifying your audio package"});
    EXPECT_FALSE(fs::exists(m_root / "Downloads"));
    for (const auto& entry : fs::directory_iterator(m_root))
        EXPECT_EQ(entry.path().filename().string().find("-staging-"), std::string::npos) << entry.path();
}

// Only what a killed setup left is removed: the names it makes, and never a
// folder that holds what this setup is about to read.
TEST_F(Setup, AbandonedStagingCleanUpRemovesOnlyTheExactNamesAndNoSelection)
{
    useEarlierRoot();
    const std::vector<std::string> kept{
        "Game-staging-my saves backup",
        "Runtime-staging-0f9a6c1e-6b7d-4b43-8e59-2d7a1c3b5e10",
        "DirectX-staging-5C2B8E0D-1F4A-4E7B-9A36-7D0E2F1B3C48.old",
        "Game-staging-1B2F40C4-3A51-4C60-9E0C-8D1E2A46E2AA",
        "Runtime-staging-2D7A1C3B-6B7D-4B43-8E59-0F9A6C1E5E10",
    };
    for (const auto& name : kept)
        writeFile(m_root / name / "file", "the player's");
    writeFile(m_root / "Game-staging-8D1E2A46-3A51-4C60-9E0C-1B2F40C4E2AA/Imported/file", "left over");
    // The audio file and the pre-fetched folder chosen from inside two of them.
    const fs::path audio = m_root / kept[3] / "Imported/WMADMOD.DLL";
    writeFile(audio, "not the decoder");
    const fs::path cache = m_root / kept[4] / "archives";
    fs::create_directories(cache);

    EXPECT_EQ(failureOf(testing::testHost(), audio, fixture("game/installer.zip"), cache), kNotTested);
    std::set<std::string> expected(kept.begin(), kept.end());
    expected.insert({"launcher.lock", "Logs", "Audio-import"});
    EXPECT_EQ(rootEntries(), expected);
}

TEST_F(Setup, ASetupLogLargerThan16MiBIsRotatedWhenSetupStarts)
{
    useEarlierRoot();
    writeFile(m_wrongAudio, "not the decoder");
    writeFile(m_root / "Logs/setup.log.1", "older");
    writeFile(m_root / "Logs/setup.log", "");
    fs::resize_file(m_root / "Logs/setup.log", (std::uintmax_t{16} << 20) + 1);

    EXPECT_EQ(failureOf(testing::testHost(), m_wrongAudio), kNotTested);
    EXPECT_EQ(fs::file_size(m_root / "Logs/setup.log.1"), (std::uintmax_t{16} << 20) + 1);
    EXPECT_LT(fs::file_size(m_root / "Logs/setup.log"), 1024u) << "a new log was started";
}

// As the window does it: setup on one thread, the stop requested from another.
TEST_F(Setup, AStopFromAnotherThreadEndsSetupWithoutARecordAStagingFolderOrTheLock)
{
    const fs::path pidFile = m_folder / "hanging.pid";
    const testing::ScopedEnvironmentVariable hang("STANDIN_HANG", "wineboot");
    const testing::ScopedEnvironmentVariable pid("STANDIN_PID_FILE", pidFile.string());
    const StopRequest stop;
    const Installation installation(m_root, [this](const std::string& line) { m_lines.push_back(line); },
                                    testing::testHost(), Constants::builtIn(), {.stop = stop});
    const testing::StopRequester requester = testing::requestStopOnceFileExists(stop, pidFile);

    EXPECT_THROW(install(installation, fixture("game/installer.zip"), fixture("audio/MPSetup.exe"),
                         fixture("runtime/prefetched")),
                 SetupStopped);
    const auto& all = testing::setupStatusLines();
    EXPECT_EQ(m_lines, std::vector<std::string>(all.begin(), all.begin() + 6));
    EXPECT_FALSE(fs::exists(m_root / "installed.json"));
    for (const auto& entry : fs::directory_iterator(m_root))
        EXPECT_EQ(entry.path().filename().string().find("-staging-"), std::string::npos) << entry.path();
    EXPECT_NO_THROW(InstallLock{m_root / "launcher.lock"});
}

} // namespace
} // namespace launcher
