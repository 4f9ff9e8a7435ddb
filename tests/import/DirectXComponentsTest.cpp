#include "import/DirectXComponents.h"
#include "core/Installation.h"
#include "core/SetupFailure.h"
#include "import/ImportTestSupport.h"
#include "support/OwnerOnlyWrites.h"
#include "support/TemporaryFolder.h"
#include "support/TestHost.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace launcher {
namespace {

namespace fs = std::filesystem;
using testing::TemporaryFolder;
using testing::fixture;

// An installation whose archive tool records the last two arguments of every run
// (the archive's file name and the member) before running the real tool.
struct RecordingSetup {
    explicit RecordingSetup(const TemporaryFolder& folder)
        : record(folder / "archive-tool.record")
        , installation(
              folder / "root", [this](const std::string& line) { lines.push_back(line); }, host(folder))
    {
    }

    Host host(const TemporaryFolder& folder) const
    {
        Host host = testing::testHost();
        const fs::path tool = folder / "archive-tool";
        testing::writeFile(tool, "#!/bin/sh\n"
                                 "for last; do :; done\n"
                                 "printf '%s %s\\n' \"$(basename \"$2\")\" \"$last\" >> '" + record.string() + "'\n"
                                 "exec '" + host.archiveTool.string() + "' \"$@\"\n");
        fs::permissions(tool, fs::perms::owner_all);
        host.archiveTool = tool;
        return host;
    }

    std::vector<std::string> runs() const
    {
        std::vector<std::string> recorded;
        if (!fs::exists(record))
            return recorded;
        const std::string text = testing::readFile(record);
        for (std::size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
            recorded.push_back(text.substr(start, end - start));
        return recorded;
    }

    fs::path record;
    std::vector<std::string> lines;
    Installation installation;
};

std::string libraryContent(const std::string& library)
{
    return "MZ stand-in " + library;
}

TEST(DirectXComponents, TakesEachMissingLibraryOutOfItsCabinetInTableOrder)
{
    const TemporaryFolder folder;
    RecordingSetup setup(folder);
    const fs::path game = setup.installation.game();
    testing::copyOfFixture("game/Veyra 2", game);

    installDirectX(setup.installation);

    EXPECT_EQ(setup.lines, std::vector<std::string>{"Preparing the game's graphics libraries"});
    EXPECT_EQ(setup.runs(), (std::vector<std::string>{
                                "directx.exe OCT2006_d3dx9_31_x86.cab",
                                "OCT2006_d3dx9_31_x86.cab d3dx9_31.dll",
                                "directx.exe Jun2010_d3dx9_43_x86.cab",
                                "Jun2010_d3dx9_43_x86.cab d3dx9_43.dll",
                                "directx.exe Jun2010_D3DCompiler_43_x86.cab",
                                "Jun2010_D3DCompiler_43_x86.cab D3DCompiler_43.dll",
                            }));
    for (const char* library : {"d3dx9_31.dll", "d3dx9_43.dll", "D3DCompiler_43.dll"}) {
        EXPECT_EQ(testing::readFile(game / library), libraryContent(library));
        // As root the archive tool gives a cabinet's members mode 0666.
        EXPECT_EQ(testing::notWritableByOwnerAlone(game / library), std::vector<std::string>{});
    }
    EXPECT_EQ(testing::stagingFolders(setup.installation.root()), std::vector<std::string>{});

    // A second run finds everything in place.
    fs::remove(setup.record);
    installDirectX(setup.installation);
    EXPECT_EQ(setup.runs(), std::vector<std::string>{});
}

TEST(DirectXComponents, LibrariesInPlaceNeedNoInstaller)
{
    const TemporaryFolder folder;
    RecordingSetup setup(folder);
    const fs::path game = setup.installation.game();
    for (const char* library : {"d3dx9_31.dll", "d3dx9_43.dll", "D3DCompiler_43.dll"})
        testing::writeFile(game / library, "present");

    installDirectX(setup.installation);

    EXPECT_EQ(setup.lines, std::vector<std::string>{"Preparing the game's graphics libraries"});
    EXPECT_EQ(setup.runs(), std::vector<std::string>{});
    EXPECT_EQ(testing::stagingFolders(setup.installation.root()), std::vector<std::string>{});
}

TEST(DirectXComponents, AMissingInstallerIsNamedWithTheFirstMissingLibrary)
{
    const TemporaryFolder folder;
    const Installation installation = testing::testInstallation(folder / "root");
    testing::writeFile(installation.game() / "d3dx9_31.dll", "present");
    try {
        installDirectX(installation);
        ADD_FAILURE() << "succeeded";
    } catch (const SetupFailure& failure) {
        EXPECT_EQ(failure.message(), "The game is missing d3dx9_43.dll and its bundled DirectX installer. Import "
                                     "the complete installer 2.1 archive.");
    }
    EXPECT_EQ(testing::stagingFolders(installation.root()), std::vector<std::string>{});
}

TEST(DirectXComponents, AnInstallerWithoutACabinetFailsAtItsRowAndKeepsEarlierLibraries)
{
    const TemporaryFolder folder;
    const Installation installation = testing::testInstallation(folder / "root");
    const fs::path game = installation.game();
    fs::create_directories(game / "temp");
    fs::copy(fixture("game/directx/directx-without-d3dx9_43.exe"), game / "temp/directx.exe");
    try {
        installDirectX(installation);
        ADD_FAILURE() << "succeeded";
    } catch (const SetupFailure& failure) {
        EXPECT_EQ(failure.message(), testing::archiveToolFailure());
    }
    EXPECT_EQ(testing::readFile(game / "d3dx9_31.dll"), libraryContent("d3dx9_31.dll"));
    EXPECT_FALSE(fs::exists(game / "d3dx9_43.dll"));
    EXPECT_FALSE(fs::exists(game / "D3DCompiler_43.dll"));
    EXPECT_EQ(testing::stagingFolders(installation.root()), std::vector<std::string>{});
}

} // namespace
} // namespace launcher
