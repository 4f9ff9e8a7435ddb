#include "runtime/RuntimeInstallation.h"
#include "core/FileDigest.h"
#include "core/Installation.h"
#include "core/SetupFailure.h"
#include "runtime/RuntimeUpdate.h"
#include "support/EntryNames.h"
#include "support/ScopedEnvironmentVariable.h"
#include "support/StandInRecord.h"
#include "support/TemporaryFolder.h"
#include "support/TestHost.h"
#include "support/Unprivileged.h"

#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include <unistd.h>

#include <gtest/gtest.h>

namespace launcher {
namespace {

namespace fs = std::filesystem;
using testing::fixture;
using testing::readFile;
using testing::ScopedEnvironmentVariable;
using testing::TemporaryFolder;
using testing::writeFile;

constexpr const char* kIncomplete = "The runtime is incomplete. Check whether antivirus quarantined any files.";

std::string runnerFailure(const fs::path& program, int status)
{
    return program.filename().string() + " failed (" + std::to_string(status)
         + "). Open the setup log for details. If antivirus quarantined a file, review its report before retrying.";
}

// A root with an earlier runtime, and a pre-fetched folder holding copies of
// the fixture archives; a download is never possible.
class RuntimeInstallation : public ::testing::Test {
protected:
    RuntimeInstallation()
    {
        m_host.downloadTool = m_folder / "no-curl";
        fs::create_directories(prefetched());
        prefetchGoodArchives();
        writeFile(root() / "Runtime/wswine.bundle/bin/wine", "old engine");
        writeFile(root() / "Runtime/extra.txt", "old extra file");
    }

    fs::path root() const { return m_folder / "root"; }
    fs::path prefetched() const { return m_folder / "prefetched"; }

    void prefetchGoodArchives() const
    {
        for (const RuntimeAsset& asset : {m_constants.engine, m_constants.libraries})
            fs::copy_file(fixture("runtime/prefetched/" + asset.name), prefetched() / asset.name,
                          fs::copy_options::overwrite_existing);
    }

    // Puts a variant from fixtures/runtime/bad in the place of an archive and pins it.
    void replaceArchive(RuntimeAsset& asset, const std::string& variant) const
    {
        fs::copy_file(fixture("runtime/bad/" + variant), prefetched() / asset.name,
                      fs::copy_options::overwrite_existing);
        asset.sha256 = sha256Of(prefetched() / asset.name);
    }

    std::string install()
    {
        try {
            installRuntime(
                Installation(
                    root(), [this](const std::string& line) { m_reported.push_back(line); }, m_host, m_constants),
                prefetched());
        } catch (const SetupFailure& failure) {
            return failure.what();
        }
        return "installed";
    }

    bool stagingLeft() const
    {
        for (const auto& entry : fs::directory_iterator(root()))
            if (entry.path().filename().string().starts_with("Runtime-staging-"))
                return true;
        return false;
    }

    bool oldRuntimeUntouched() const
    {
        return testing::entryNames(root() / "Runtime") == std::set<std::string>{"extra.txt", "wswine.bundle"}
            && readFile(root() / "Runtime/wswine.bundle/bin/wine") == "old engine";
    }

    TemporaryFolder m_folder;
    Host m_host = testing::testHost();
    Constants m_constants = Constants::builtIn();
    std::vector<std::string> m_reported;
};

TEST_F(RuntimeInstallation, ReplacesTheRuntimeWithTheEngineAndTheLibrariesAlone)
{
    const ScopedEnvironmentVariable record("STANDIN_RECORD", (m_folder / "calls.jsonl").string());

    ASSERT_EQ(install(), "installed");

    EXPECT_EQ(m_reported, (std::vector<std::string>{"Downloading and verifying the compatibility runtime · about 341 MB",
                                                    "Unpacking the verified runtime"}));
    EXPECT_EQ(testing::entryNames(root() / "Runtime"), (std::set<std::string>{"lib", "wswine.bundle"}));
    EXPECT_EQ(testing::entryNames(root() / "Runtime/lib"), (std::set<std::string>{"libfreetype.6.dylib", "libinotify.0.dylib"}));
    EXPECT_EQ(readFile(root() / "Runtime/lib/libinotify.0.dylib"), "dylib libinotify.0.dylib");
    EXPECT_EQ(testing::entryNames(root() / "Runtime/wswine.bundle/bin"), (std::set<std::string>{"wine", "wineserver"}));
    EXPECT_EQ(::access((root() / "Runtime/wswine.bundle/bin/wine").c_str(), X_OK), 0);
    EXPECT_TRUE(fs::exists(root() / "Downloads" / m_constants.engine.name));
    EXPECT_TRUE(fs::exists(root() / "Downloads" / m_constants.libraries.name));
    EXPECT_FALSE(stagingLeft());
    EXPECT_FALSE(fs::exists(root() / "Runtime-previous")) << "the replaced runtime goes once the new one started";
    EXPECT_FALSE(fs::exists(root() / "Runtime-superseded"));

    const auto calls = testing::readStandInRecord(m_folder / "calls.jsonl");
    ASSERT_EQ(calls.size(), 1U);
    EXPECT_EQ(calls[0].arguments, std::vector<std::string>{"--version"});
    EXPECT_EQ(calls[0].environment.at("WINEPREFIX"), (root() / "Install/prefix").string());
}

// Folders made read-only in the old runtime must not leave it half removed.
TEST_F(RuntimeInstallation, APlayerReplacesAnEarlierRuntimeHoldingReadOnlyFolders)
{
    const fs::path players = testing::playersFolder(m_folder / "players");
    const Installation installation(players, {}, m_host, m_constants);
    EXPECT_EXIT(
        testing::exitWithFailureOfUnprivileged([&] {
            writeFile(installation.runtime() / "wswine.bundle/share/fonts/font.ttf", "old");
            for (const char* readOnly : {"wswine.bundle/share/fonts", "wswine.bundle", ""})
                fs::permissions(installation.runtime() / readOnly, fs::perms::owner_read | fs::perms::owner_exec);
            installRuntime(installation, prefetched());
            throw std::runtime_error(
                fs::exists(installation.runtime() / "wswine.bundle/share/fonts") ? "old runtime left" : "replaced");
        }),
        ::testing::ExitedWithCode(0), "^replaced\n$");
}

TEST_F(RuntimeInstallation, KeepsLinkedLibrariesAsLinksAndSkipsFolders)
{
    replaceArchive(m_constants.libraries, "libraries-with-links.tar.xz");

    ASSERT_EQ(install(), "installed");

    const fs::path lib = root() / "Runtime/lib";
    EXPECT_EQ(testing::entryNames(lib), (std::set<std::string>{"libfreetype.6.dylib", "libinotify.0.dylib", "libinotify.dylib"}));
    ASSERT_TRUE(fs::is_symlink(lib / "libinotify.dylib"));
    EXPECT_EQ(fs::read_symlink(lib / "libinotify.dylib"), "libinotify.0.dylib");
}

TEST_F(RuntimeInstallation, BadInputFailsBeforeTheOldRuntimeIsTouched)
{
    const std::string tarFailure = runnerFailure(m_host.archiveTool, 1);
    struct Case {
        const char* variant;
        bool engine;
        std::string failure;
    };
    const Case cases[] = {
        {"engine-not-an-archive.tar.xz", true, tarFailure},
        {"engine-truncated.tar.xz", true, tarFailure},
        {"engine-wine-not-executable.tar.xz", true, kIncomplete},
        {"libraries-without-libinotify.tar.xz", false, kIncomplete},
    };
    const Constants good = m_constants;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.variant);
        m_constants = good;
        prefetchGoodArchives();
        replaceArchive(c.engine ? m_constants.engine : m_constants.libraries, c.variant);

        EXPECT_EQ(install(), c.failure);
        EXPECT_TRUE(oldRuntimeUntouched());
        EXPECT_FALSE(stagingLeft());
    }
}

TEST_F(RuntimeInstallation, EngineThatFailsVerificationStopsBeforeTheLibraries)
{
    m_constants.engine.sha256 = m_constants.libraries.sha256;

    EXPECT_EQ(install(), "The cached " + m_constants.engine.name + " failed verification.");
    EXPECT_EQ(m_reported.size(), 1U);
    EXPECT_FALSE(fs::exists(root() / "Downloads" / m_constants.libraries.name));
    EXPECT_TRUE(oldRuntimeUntouched());
    EXPECT_FALSE(stagingLeft());
}

// An update keeps the runtime it replaces until the new one answers; a first
// setup has nothing to keep and leaves its new runtime for a retry.
TEST_F(RuntimeInstallation, FailedSmokeTestPutsTheEarlierRuntimeBackOrLeavesTheFirstOneInPlace)
{
    const ScopedEnvironmentVariable fail("STANDIN_FAIL", "--version");

    EXPECT_EQ(install(), runnerFailure("wine", 1));
    EXPECT_TRUE(oldRuntimeUntouched());
    EXPECT_FALSE(fs::exists(root() / "Runtime-previous"));
    EXPECT_FALSE(stagingLeft());

    fs::remove_all(root() / "Runtime");
    EXPECT_EQ(install(), runnerFailure("wine", 1));
    EXPECT_EQ(testing::entryNames(root() / "Runtime"), (std::set<std::string>{"lib", "wswine.bundle"}));
    EXPECT_FALSE(fs::exists(root() / "Runtime-previous"));
    EXPECT_FALSE(stagingLeft());
}

// A killed update leaves the old runtime aside, and whatever of the new one
// was in place: the next run puts the old one back before anything else. Once
// the new one had answered, the old one is superseded: the next run finishes
// removing it and keeps the new one.
TEST_F(RuntimeInstallation, AnUpdateKilledHalfwayIsUndoneOrFinishedByTheNextRun)
{
    fs::rename(root() / "Runtime", root() / "Runtime-previous");
    writeFile(root() / "Runtime/wswine.bundle/bin/wine", "half of the new engine");

    settleRuntimeUpdate(Installation(root()));
    EXPECT_TRUE(oldRuntimeUntouched());
    EXPECT_FALSE(fs::exists(root() / "Runtime-previous"));
    settleRuntimeUpdate(Installation(root()));
    EXPECT_TRUE(oldRuntimeUntouched()) << "nothing aside, nothing changed";

    fs::rename(root() / "Runtime", root() / "Runtime-superseded");
    fs::remove(root() / "Runtime-superseded/extra.txt");
    writeFile(root() / "Runtime/wswine.bundle/bin/wine", "the new engine");
    settleRuntimeUpdate(Installation(root()));
    EXPECT_EQ(readFile(root() / "Runtime/wswine.bundle/bin/wine"), "the new engine");
    EXPECT_FALSE(fs::exists(root() / "Runtime-superseded"));

    fs::rename(root() / "Runtime", root() / "Runtime-previous");
    ASSERT_EQ(install(), "installed");
    EXPECT_EQ(testing::entryNames(root() / "Runtime"), (std::set<std::string>{"lib", "wswine.bundle"}));
    EXPECT_FALSE(fs::exists(root() / "Runtime-previous"));
    EXPECT_FALSE(fs::exists(root() / "Runtime-superseded"));
}

} // namespace
} // namespace launcher
