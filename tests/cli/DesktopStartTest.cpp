#include "cli/CommandTable.h"
#include "support/ProgramRun.h"
#include "support/TemporaryFolder.h"
#include "support/TestHost.h"

#include <string>

#include <gtest/gtest.h>

namespace launcher::cli {
namespace {

namespace fs = std::filesystem;
using testing::runProgram;
using testing::TemporaryFolder;

// No display of any kind, and a data folder of the test's own.
std::map<std::string, std::string> withoutDisplay(const TemporaryFolder& home)
{
    return {{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}, {"QT_QPA_PLATFORM", ""}, {"XDG_DATA_HOME", home.path().string()}};
}

void expectCommandList(const std::string& said)
{
    for (const CommandRow& command : commandTable()) {
        const std::string line = synopsis(command).append("\n");
        EXPECT_NE(said.find(line), std::string::npos) << command.word << " in: " << said;
    }
}

// A copy of the entry program alone in a folder, so that its neighbours are the test's.
fs::path entryAlone(const TemporaryFolder& folder)
{
    fs::create_directories(folder / "bin");
    fs::copy_file(testing::launcherProgram(), folder / "bin/launcher");
    return folder / "bin/launcher";
}

// macOS always has a display for windows: there the program goes on to the
// desktop program, which the entry alone lacks, and says so instead.
TEST(DesktopStart, WithoutADisplayTheProgramPointsToTheCommandLine)
{
    const TemporaryFolder home;
    const TemporaryFolder folder;
    const auto result = runProgram(entryAlone(folder), {}, {.environment = withoutDisplay(home)});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
#if defined(__APPLE__)
    const std::string expected = "The desktop mode is not part of this build.";
#else
    const std::string expected = "No display is available for the launcher window.";
#endif
    EXPECT_TRUE(result.err.starts_with(expected)) << result.err;
    expectCommandList(result.err);
    EXPECT_TRUE(fs::is_empty(home.path())) << "nothing is written";
}

TEST(DesktopStart, WithoutTheDesktopProgramBesideItTheProgramPointsToTheCommandLine)
{
    const TemporaryFolder folder;
    const auto result = runProgram(entryAlone(folder), {}, {.environment = {{"QT_QPA_PLATFORM", "offscreen"}}});
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(result.err.starts_with("The desktop mode is not part of this build.")) << result.err;
    expectCommandList(result.err);
}

TEST(DesktopStart, TheDesktopProgramBesideItTakesOverTheProcessWithTheSameArguments)
{
    const TemporaryFolder folder;
    const fs::path entry = entryAlone(folder);
    testing::writeFile(folder / "bin/launcher-desktop", "#!/bin/sh\nprintf '%s|' \"$0\" \"$@\"\necho \"$$\"\n");
    fs::permissions(folder / "bin/launcher-desktop", fs::perms::owner_all);

    const auto result = runProgram(entry, {"one", "two words"}, {.environment = {{"DISPLAY", ":99"}}});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(result.out.starts_with((folder / "bin/launcher-desktop").string() + "|one|two words|")) << result.out;
}

#if defined(__linux__)
// The dynamic loader reports every library it maps when LD_DEBUG asks it to.
TEST(DesktopStart, TheCommandLineMapsNoQtLibrary)
{
    const TemporaryFolder home;
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"--cli", "--status", "--home", home.path().string()}, std::vector<std::string>{}}) {
        auto environment = withoutDisplay(home);
        environment["LD_DEBUG"] = "files";
        const auto result = runProgram(testing::launcherProgram(), arguments, {.environment = environment});
        EXPECT_NE(result.err.find("file=libc.so"), std::string::npos) << "the loader reported nothing";
        EXPECT_EQ(result.err.find("libQt"), std::string::npos) << result.err;
    }
}
#endif

} // namespace
} // namespace launcher::cli
