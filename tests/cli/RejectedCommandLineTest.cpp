// Command lines outside the grammar, given to the built program as a careless
// player would type them: each prints the usage text and the word that was not
// understood, exits 1, and touches nothing, neither the root it names nor the
// default one, and creates no root where none was.

#include "app/SavesTestSupport.h"
#include "cli/CommandTable.h"
#include "cli/RepairTestSupport.h"
#include "support/ProgramRun.h"
#include "support/TemporaryFolder.h"
#include "support/TestHost.h"

#include <gtest/gtest.h>

namespace launcher::cli {
namespace {

namespace fs = std::filesystem;
using testing::TemporaryFolder;

class RejectedCommandLine : public ::testing::Test {
protected:
    // Two roots with saves and a snapshot: one named with --home, and the
    // default one of the player whose HOME the program gets.
    static void SetUpTestSuite()
    {
        s_folder = std::make_unique<TemporaryFolder>();
        for (const fs::path& root : {named(), defaultRoot()}) {
            const testing::SavesInstallation saves(root);
            saves.launchAndWait();
            saves.writeSave("Documents/Veyra 2/slot1.sav", "slot one, later");
        }
    }
    static void TearDownTestSuite() { s_folder.reset(); }

    static fs::path named() { return *s_folder / "R"; }
    static fs::path home() { return *s_folder / "home"; }
#if defined(__APPLE__)
    static fs::path defaultRoot() { return home() / "Library/Application Support/Veyra2MacLauncher"; }
#else
    static fs::path defaultRoot() { return home() / ".local/share/Veyra2MacLauncher"; }
#endif
    static fs::path missing() { return *s_folder / "missing"; }

    inline static std::unique_ptr<TemporaryFolder> s_folder;
};

TEST_F(RejectedCommandLine, PrintsTheUsageAndTheWordNotUnderstoodAndTouchesNothing)
{
    const std::string R = named().string();
    const std::string M = missing().string();
    struct Case {
        std::vector<std::string> arguments;
        std::string notUnderstood;
    };
    const std::vector<Case> cases{
        // One letter away from keeping the saves.
        {{"--cli", "--uninstall", "--keep-save", "--home", R}, "--keep-save"},
        // A root mistyped, or written the way other programs take it.
        {{"--cli", "--uninstall", "--hmoe", R}, "--hmoe"},
        {{"--cli", "--uninstall", "--home=" + R}, "--home=" + R},
        {{"--cli", "--status", "--bogus", "--home", M}, "--bogus"},
        // Repeats.
        {{"--cli", "--status", "--status", "--home", M}, "--status (given twice)"},
        {{"--cli", "--status", "--home", R, "--home", M}, "--home (given twice)"},
        {{"--cli", "--restore-saves", "A", "--restore-saves", "B", "--home", R}, "--restore-saves (given twice)"},
        {{"--cli", "--uninstall", "--keep-saves", "--keep-saves", "--home", R}, "--keep-saves (given twice)"},
        {{"--cli", "--cli", "--status", "--home", M}, "--cli (given twice)"},
        // A value that is missing, empty, or one of the program's own words.
        {{"--cli", "--diagnostics", "--home", R}, "--diagnostics (FILE is missing)"},
        {{"--cli", "--restore-saves", "--home", R}, "--restore-saves (NAME is missing)"},
        {{"--cli", "--status", "--home"}, "--home (PATH is missing)"},
        {{"--cli", "--status", "--home", ""}, "--home (PATH is empty)"},
        {{"--cli", "--uninstall", "--home", "--status"}, "--home (PATH is missing)"},
        {{"--cli", "--install", "--game", "--audio", "a", "--home", M}, "--game (PATH is missing)"},
        // A second command, a word after a complete command, an option the command does not take.
        {{"--cli", "--status", "--uninstall", "--home", R}, "--uninstall (one command at a time: --status is given)"},
        {{"--cli", "--uninstall", "--home", R, "now"}, "now"},
        {{"--cli", "--status", "--keep-saves", "--home", R}, "--keep-saves (not with --status)"},
        {{"--cli", "--uninstall", "--game", "g", "--home", R}, "--game (not with --uninstall)"},
        // What a command cannot run without, and no command at all.
        {{"--cli", "--install", "--game", "g", "--home", M}, "--install (--audio PATH is missing)"},
        {{"--cli", "--home", R}, "--home (no command is given)"},
        {{"--cli", "--STATUS"}, "--STATUS"},
        // Control characters and escape sequences are shown, not obeyed.
        {{"--cli", "--status", "--home", M, "x\n\x1b[2Jy"}, "x\\n\\x1b[2Jy"},
    };
    const auto namedBefore = testing::treeSnapshot(named());
    const auto homeBefore = testing::treeSnapshot(home());
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.arguments));
        const auto result = testing::runProgram(testing::launcherProgram(), c.arguments,
                                                {.environment = {{"HOME", home().string()}, {"XDG_DATA_HOME", ""}},
                                                 .directory = s_folder->path()});
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err, usageText() + "Not understood: " + c.notUnderstood + "\n");
        EXPECT_EQ(testing::treeSnapshot(named()), namedBefore);
        EXPECT_EQ(testing::treeSnapshot(home()), homeBefore);
        EXPECT_FALSE(fs::exists(fs::symlink_status(missing())));
        EXPECT_FALSE(fs::exists(fs::symlink_status(s_folder->path() / "--home")));
    }
}

TEST(CommandLineProgram, TheCommandLineAloneGivesTheUsageAlone)
{
    const auto result = testing::runProgram(testing::launcherProgram(), {"--cli"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, usageText());
}

TEST(CommandLineProgram, HelpAndVersionAnswerOnStandardOutput)
{
    const auto help = testing::runProgram(testing::launcherProgram(), {"--cli", "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out, usageText());
    EXPECT_EQ(help.err, "");
    for (const CommandRow& command : commandTable())
        EXPECT_NE(help.out.find("  " + synopsis(command) + "  "), std::string::npos) << command.word;

    const auto version = testing::runProgram(testing::launcherProgram(), {"--cli", "--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "Veyra 2 Mac Launcher 0.1.0\n");
    EXPECT_EQ(version.err, "");

    const auto extra = testing::runProgram(testing::launcherProgram(), {"--cli", "--version", "--home", "/tmp"});
    EXPECT_EQ(extra.status, 1);
    EXPECT_EQ(extra.err, usageText() + "Not understood: --home (not with --version)\n");
}

} // namespace
} // namespace launcher::cli
