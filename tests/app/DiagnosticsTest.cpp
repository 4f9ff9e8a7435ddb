// The diagnostics archive: what goes in, and that the player's home folder
// appears in none of its forms.

#include "app/Diagnostics.h"
#include "app/HomeFolderMask.h"
#include "app/SavesTestSupport.h"
#include "core/LowerCase.h"
#include "core/SetupFailure.h"
#include "saves/SavesRestore.h"
#include "support/ProgramRun.h"
#include "support/ScopedEnvironmentVariable.h"
#include "support/TemporaryFolder.h"
#include "support/TestHost.h"

#include <algorithm>
#include <map>
#include <set>
#include <sstream>

#include <gtest/gtest.h>

namespace launcher {
namespace {

namespace fs = std::filesystem;
using testing::readFile;
using testing::TemporaryFolder;
using testing::writeFile;

TEST(HomeFolderMask, ShowsTheHomeFolderAsATildeInEveryForm)
{
    const HomeFolderMask mask({"/home/Ada Lovelace"}, {"ada", "player"});
    const struct {
        const char* text;
        const char* masked;
    } cases[] = {
        {"open /home/Ada Lovelace/game.zip", "open ~/game.zip"},
        {"file:///home/Ada Lovelace/x", "file://~/x"},
        {"file:///home/Ada%20Lovelace/x", "file://~/x"},
        {"file:///home/ADA%20LOVELACE", "file://~"},
        {"//home//Ada Lovelace/", "/~/"},
        {"Z:\\home\\Ada Lovelace\\MPSetup.exe", "~\\MPSetup.exe"},
        {"z:\\\\home\\\\ada lovelace\\\\x", "~\\\\x"},
        {"Z:/home/Ada Lovelace", "~"},
        {"C:\\users\\ada\\Documents", "~\\Documents"},
        {"c:\\\\USERS\\\\Player", "~"},
        {"Install/prefix/drive_c/users/player/Saved", "Install/prefix/drive_c/users/~/Saved"},
        {"Backups/Saves-20261210T141503Z/users/ada/x.sav", "Backups/Saves-20261210T141503Z/users/~/x.sav"},
        // Matches lie at boundaries: a longer name that begins like the home folder's stays whole.
        {"/home/Ada Lovelace2", "/home/~ Lovelace2"},
        {"/home/Ada Lovelaces/x", "/home/~ Lovelaces/x"},
        {"users/adam/x", "users/adam/x"},
        {"Logs/player-notes.log", "Logs/~-notes.log"},
        {"Veyra2Accounts_Player.json", "Veyra2Accounts_~.json"},
        {"user=player", "user=~"},
        {"players", "players"},
        {"(C:\\users\\ada)", "(~)"},
        {"/home/Ada", "/home/~"},
        {"/home/Adam", "/home/Adam"},
        {"/homework/Ada Lovelace", "/homework/~ Lovelace"},
        {"C:\\users\\Public\\Documents", "C:\\users\\Public\\Documents"},
        {"", ""},
    };
    for (const auto& example : cases)
        EXPECT_EQ(mask.apply(example.text), example.masked) << example.text;

    EXPECT_EQ(HomeFolderMask({"/"}, {}).apply("/usr/bin"), "/usr/bin") << "a home of / is no name to hide";
    EXPECT_EQ(HomeFolderMask({"/home/\u00e4rger"}, {}).apply("Z:\\home\\\u00c4RGER\\x"), "~\\x") << "Latin letters in another case";

    // Other homes, whose forms escape, decompose or fold their letters.
    const struct {
        std::vector<fs::path> homes;
        std::vector<std::string> names;
        const char* text;
        const char* masked;
    } others[] = {
        {{"/home/\u00c6r\u00f8sk\u00f8bing"}, {}, "file:///home/%C3%86r%C3%B8sk%C3%B8bing/x", "file://~/x"},
        {{"/home/\u00c6r\u00f8sk\u00f8bing"}, {}, "file:///home/%c3%a6R%C3%98SK%c3%b8BING", "file://~"},
        {{"/home/alice"}, {}, "path=%2Fhome%2Falice%2Fgame.zip", "path=~%2Fgame.zip"},
        {{"/home/alice"}, {}, "%2fHOME%5cAlice", "~"},
        {{"/home/\u00c6r\u00f8sk\u00f8bing"}, {}, "{\"home\": \"\\/home\\/\\u00c6r\\u00f8sk\\u00F8bing\\/x\"}",
         "{\"home\": \"\\~\\/x\"}"},
        {{"/home/zo\u00eb"}, {}, "/home/Zoe\u0308/save", "~/save"},
        {{"/home/Zoe\u0308"}, {}, "/home/ZO\u00cb", "~"},
        {{"/home/\u0430\u043b\u0438\u0441\u0430"}, {"\u0430\u043b\u0438\u0441\u0430"},
         "/HOME/\u0410\u041b\u0418\u0421\u0410 C:\\USERS\\\u0410\u041b\u0418\u0421\u0410 \u0410\u041b\u0418\u0421\u0410",
         "~ ~ ~"},
        {{"/home/Strau\u00df"}, {}, "/home/STRAUSS/x", "~/x"},
        // After an escaped backslash "u00e6" is text, and stray escapes stay as written.
        {{"/home/\u00e6"}, {}, "/home\\\\u00e6 %zz %ff", "/home\\\\u00e6 %zz %ff"},
    };
    for (const auto& other : others)
        EXPECT_EQ(HomeFolderMask(other.homes, other.names).apply(other.text), other.masked) << other.text;
    EXPECT_EQ(HomeFolderMask({"/a"}, {}).apply("users/alice /a/x"), "users/alice ~/x") << "a home ending in /a";
    EXPECT_EQ(HomeFolderMask({}, {"al"}).apply("user=al users/al"), "user=al users/~") << "a bare name of 2 characters";
    EXPECT_EQ(HomeFolderMask({"/home/bo"}, {}).apply("Xusers/bo /home/bob"), "Xusers/bo /home/bob") << "no boundary";
}

class Diagnostics : public ::testing::Test {
protected:
    Diagnostics()
    {
        const fs::path game = m_saves.installation().game();
        writeFile(game / "data/level.dat", "GAME-FILE-CONTENT");
        m_saves.writeSave("Documents/Veyra 2/slot1.sav", "SAVE-FILE-CONTENT");
        writeFile(m_root / "Downloads/engine.tar.xz", "DOWNLOAD-CONTENT");
        writeFile(m_root / "Audio-import/wmadmod.dll", "DECODER-CONTENT");
        m_saves.launchAndWait();

        // The forms the home folder takes in what Wine and the launcher write.
        const std::string posix = m_home.string();
        std::string windows = posix;
        std::ranges::replace(windows, '/', '\\');
        std::string doubled;
        for (const char c : windows)
            doubled += c == '\\' ? std::string("\\\\") : std::string(1, c);
        const std::string forms = "Z:" + windows + "\\Downloads\\MPSetup.exe\n" + lowerCase("z:" + doubled) +
                                  "\nC:\\users\\player\\AppData\nC:\\users\\ada\\Documents\n" + posix +
                                  "/.local/share/Veyra2MacLauncher\n";
        // Long enough that the last 1 MiB begins inside a line that names the home folder.
        std::string setupLog;
        while (setupLog.size() < (std::size_t{3} << 19))
            setupLog += fillerLine();
        writeFile(m_root / "Logs/setup.log", setupLog + forms + kLastLine);
        m_formsLength = forms.size();
        writeFile(m_root / "Logs/veyra2.log", readFile(m_root / "Logs/veyra2.log") + forms);
        writeFile(m_root / "Logs/capture-C:\\users\\player.txt", forms);
    }

    // Names and contents of the archive's members.
    std::map<std::string, std::string> members(const fs::path& archive) const
    {
        const fs::path tool = testing::testHost().archiveTool;
        const auto listing = testing::runProgram(tool, {"-tf", archive.string()});
        EXPECT_EQ(listing.status, 0) << listing.err;
        const fs::path extracted = m_folder / "extracted";
        fs::create_directories(extracted);
        EXPECT_EQ(testing::runProgram(tool, {"-xf", archive.string(), "-C", extracted.string()}).status, 0);
        std::map<std::string, std::string> contents;
        std::istringstream names(listing.out);
        for (std::string name; std::getline(names, name);)
            contents[name] = fs::is_regular_file(extracted / name) ? readFile(extracted / name) : "";
        return contents;
    }

    std::string fillerLine() const { return "bsdtar: extracting " + m_home.string() + "/Downloads/data/file\n"; }

    inline static const std::string kLastLine = "END OF SETUP LOG\n";

    TemporaryFolder m_folder;
    fs::path m_home = m_folder / "home/Ada Lovelace";
    std::size_t m_formsLength = 0;
    testing::ScopedEnvironmentVariable m_homeVariable{"HOME", m_home.string()};
    testing::ScopedEnvironmentVariable m_userVariable{"USER", "ada"};
    fs::path m_root = m_home / ".local/share/Veyra2MacLauncher";
    testing::SavesInstallation m_saves{m_root};
};

TEST_F(Diagnostics, TheArchiveHoldsTheReportRecordLogsAndListingWithTheHomeFolderInNoForm)
{
    const fs::path archive = m_folder / "diagnostics.zip";
    writeDiagnostics(m_saves.installation(), archive);
    const auto contents = members(archive);

    std::set<std::string> names;
    for (const auto& [name, content] : contents)
        names.insert(name);
    EXPECT_EQ(names, (std::set<std::string>{"report.txt", "installed.json", "logs/capture-~.txt", "logs/setup.log",
                                            "logs/veyra2.log", "root-listing.txt"}));

    std::string windowsHome = lowerCase(m_home.string());
    std::ranges::replace(windowsHome, '/', '\\');
    for (const auto& [name, content] : contents) {
        const std::string text = lowerCase(name + "\n" + content);
        for (const std::string& form :
             {lowerCase(m_home.string()), "z:" + windowsHome, std::string("ada lovelace"), std::string("c:\\users\\player"),
              std::string("c:\\users\\ada"), std::string("users/player"), std::string("game-file-content"),
              std::string("save-file-content"), std::string("download-content"), std::string("decoder-content")})
            EXPECT_EQ(text.find(form), std::string::npos) << form << " in " << name << ":\n" << content;
    }

    const std::string& report = contents.at("report.txt");
    for (const std::string& line : std::vector<std::string>{
             "Launcher version: 0.1.0\n",
             "Root folder: ~/.local/share/Veyra2MacLauncher\n",
             "Installation: complete\n",
             "  runtime: ok\n",
             "Verify report:\n",
             "Save snapshots:\n  " + saveSnapshots(m_saves.installation()).front().name,
         })
        EXPECT_NE(report.find(line), std::string::npos) << line << " in:\n" << report;
    EXPECT_EQ(contents.at("installed.json"), readFile(m_root / "installed.json"));

    // The whole lines of the log's last 1 MiB.
    const std::string& setupLog = contents.at("logs/setup.log");
    const std::string maskedFiller = "bsdtar: extracting ~/Downloads/data/file\n";
    EXPECT_TRUE(setupLog.starts_with(maskedFiller));
    EXPECT_TRUE(setupLog.ends_with("~/.local/share/Veyra2MacLauncher\n" + kLastLine));
    std::size_t fillers = 0;
    for (std::size_t at = 0; setupLog.compare(at, maskedFiller.size(), maskedFiller) == 0; at += maskedFiller.size())
        ++fillers;
    const std::size_t covered = fillers * fillerLine().size() + m_formsLength + kLastLine.size();
    EXPECT_LE(covered, std::size_t{1} << 20);
    EXPECT_GT(covered + fillerLine().size(), std::size_t{1} << 20);
    EXPECT_NE(contents.at("logs/veyra2.log").find("Veyra 2 stand-in started"), std::string::npos);

    const std::string& listing = contents.at("root-listing.txt");
    EXPECT_NE(listing.find("Install/game/data/level.dat\t17\n"), std::string::npos) << listing;
    EXPECT_NE(listing.find("Install/prefix/drive_c/users/~/Documents/Veyra 2/slot1.sav\t17\n"), std::string::npos);
}

TEST_F(Diagnostics, AnExistingFileIsRefusedAndLeftAsItWas)
{
    const fs::path archive = m_folder / "diagnostics.zip";
    writeFile(archive, "the player's");
    try {
        writeDiagnostics(m_saves.installation(), archive);
        FAIL() << "an existing file was overwritten";
    } catch (const SetupFailure& failure) {
        EXPECT_EQ(failure.message(),
                  archive.string() + " already exists. Choose a new name for the diagnostics archive.");
    }
    EXPECT_EQ(readFile(archive), "the player's");
}

TEST_F(Diagnostics, ALinkInPlaceOfTheLogsFolderIsNotFollowed)
{
    const fs::path elsewhere = m_folder / "the player's notes";
    writeFile(elsewhere / "diary.txt", "private");
    fs::remove_all(m_root / "Logs");
    fs::create_directory_symlink(elsewhere, m_root / "Logs");

    const fs::path archive = m_folder / "diagnostics.zip";
    writeDiagnostics(m_saves.installation(), archive);
    for (const auto& [name, content] : members(archive)) {
        EXPECT_NE(name, "logs/diary.txt");
        EXPECT_EQ(content.find("private"), std::string::npos) << name;
    }
}

TEST_F(Diagnostics, AnArchiveThatCannotBePlacedIsRefusedBeforeAnyWorkNamingTheCause)
{
    writeFile(m_folder / "a file", "the player's");
    const struct {
        fs::path archive;
        const char* reason;
    } cases[] = {
        {m_folder / "no such folder/diagnostics.zip", "No such file or directory"},
        {m_folder / "a file/diagnostics.zip", "Not a directory"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.archive);
        const fs::path setupLog = m_saves.installation().layout().logs() / "setup.log";
        const bool logged = fs::exists(setupLog);
        try {
            writeDiagnostics(m_saves.installation(), c.archive);
            FAIL() << "an archive was written";
        } catch (const SetupFailure& failure) {
            EXPECT_EQ(failure.message(), "The diagnostics archive could not be written to " + c.archive.string() +
                                             ": " + c.reason + ". Choose a folder you can write to.");
        }
        EXPECT_EQ(fs::exists(setupLog), logged) << "the check ran before the refusal";
    }
    EXPECT_EQ(readFile(m_folder / "a file"), "the player's");
}

} // namespace
} // namespace launcher
