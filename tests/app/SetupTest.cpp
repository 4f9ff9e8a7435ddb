// The setup sequence in-process: the order of its first steps and what a refused
// or early-failing setup leaves behind.

#include "core/InstallLock.h"
#include "core/Installer.h"
#include "core/SetupFailure.h"
#include "support/ScopedEnvironmentVariable.h"
#include "support/SetupStatusLines.h"
#include "support/StopFromAnotherThread.h"
#include "support/TemporaryFolder.h"
#include "support/TestHost.h"

#include <gtest/gtest.h>

namespace launcher {
namespace {

namespace fs = std::filesystem;
using testing::fixture;
using testing::TemporaryFolder;
using testing::writeFile;

class Setup : public ::testing::Test {
protected:
    // Runs setup and returns its failure message; the status lines land in m_lines.
    std::string failureOf(const Host& host, const fs::path& audio)
    {
        const Installer installer(m_root, [this](const std::string& line) { m_lines.push_back(line); }, host);
        try {
            installer.install(fixture("game/installer.zip"), audio, std::nullopt);
        } catch (const SetupFailure& failure) {
            return failure.what();
        }
        return "setup succeeded";
    }

    TemporaryFolder m_folder;
    fs::path m_root = m_folder / "root";
    fs::path m_wrongAudio = m_folder / "WMADMOD.DLL";
    std::vector<std::string> m_lines;
};

TEST_F(Setup, AnExistingRecordIsRefusedBeforeTheMacIsCheckedAndChangesNothing)
{
    writeFile(m_root / "installed.json", "{}");
    writeFile(m_root / "Game-staging-8D1E2A46-3A51-4C60-9E0C-1B2F40C4E2AA/Imported/file", "left over");
    Host host = testing::testHost();
    host.availableSpace = [](const fs::path&) { return std::optional<std::uintmax_t>(0); };

    EXPECT_EQ(failureOf(host, fixture("audio/MPSetup.exe")),
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

TEST_F(Setup, AWrongAudioFileEndsSetupBeforeAnyDownloadAndAbandonedStagingIsGone)
{
    writeFile(m_wrongAudio, "not the decoder");
    writeFile(m_root / "Runtime-staging-0F9A6C1E-6B7D-4B43-8E59-2D7A1C3B5E10/lib/x.dylib", "left over");
    writeFile(m_root / "DirectX-staging-5C2B8E0D-1F4A-4E7B-9A36-7D0E2F1B3C48/x.cab", "left over");
    Host host = testing::testHost();
    host.downloadTool = "/bin/false";

    EXPECT_EQ(failureOf(host, m_wrongAudio),
              "This audio file is not the tested Microsoft WMA 9 decoder/package. Select the supported MPSetup.exe or "
              "WMADMOD.DLL described in the setup guide.");
    EXPECT_EQ(m_lines, std::vector<std::string>{"Verifying your audio package"});
    EXPECT_FALSE(fs::exists(m_root / "Downloads"));
    for (const auto& entry : fs::directory_iterator(m_root))
        EXPECT_EQ(entry.path().filename().string().find("-staging-"), std::string::npos) << entry.path();
}

// As the window does it: setup on one thread, the stop requested from another.
TEST_F(Setup, AStopFromAnotherThreadEndsSetupWithoutARecordAStagingFolderOrTheLock)
{
    const fs::path pidFile = m_folder / "hanging.pid";
    const testing::ScopedEnvironmentVariable hang("STANDIN_HANG", "wineboot");
    const testing::ScopedEnvironmentVariable pid("STANDIN_PID_FILE", pidFile.string());
    const StopRequest stop;
    const Installer installer(m_root, [this](const std::string& line) { m_lines.push_back(line); },
                              testing::testHost(), Constants::builtIn(), {.stop = stop});
    const std::jthread requester = testing::requestStopOnceFileExists(stop, pidFile);

    EXPECT_THROW(installer.install(fixture("game/installer.zip"), fixture("audio/MPSetup.exe"),
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
