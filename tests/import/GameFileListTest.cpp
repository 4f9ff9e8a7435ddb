#include "import/GameFileList.h"

#include "core/Installation.h"
#include "import/GameImport.h"
#include "import/ImportTestSupport.h"
#include "support/TemporaryFolder.h"
#include "support/TestHost.h"

#include <functional>
#include <map>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace launcher {
namespace {

namespace fs = std::filesystem;
using testing::fixture;
using testing::TemporaryFolder;
using testing::writeFile;

TEST(GameFileList, TheImportListsEveryFileButThoseTheGameRewritesAndTheGraphicsLibraries)
{
    const TemporaryFolder folder;
    const fs::path source = testing::copyOfFixture("game/Veyra 2", folder / "Veyra 2");
    writeFile(source / "d3dx9_31.dll", "MZ brought along");
    writeFile(source / "D3DCOMPILER_43.DLL", "MZ brought along, other case");
    writeFile(source / "data/d3dx9_31.dll", "MZ one level deeper");
    const Installation installation = testing::testInstallation(folder / "root");

    importGame(installation, source);

    const auto list = nlohmann::json::parse(testing::readFile(folder / "root/Install/game-files.json"));
    std::map<std::string, std::uintmax_t> expected;
    for (const char* name : {".cache/shaders.bin", "data/d3dx9_31.dll", "data/imgui.ini", "data/logs/old.log",
                             "data/textures.pak", "data/veyra2config1.ini", "maps/mainmenu.map", "maps/shared.map",
                             "maps/single_player_shared.map", "readme.txt", "temp/directx.exe", "veyra2.exe",
                             "xlive.dll"})
        expected[name] = fs::file_size(source / name);
    EXPECT_EQ(list.at("files").get<decltype(expected)>(), expected);
    EXPECT_EQ(list.at("format"), 1);
}

TEST(GameFileList, ANameThatIsNoUtf8TextStaysOutOfTheList)
{
    const TemporaryFolder folder;
    const fs::path game = testing::copyOfFixture("game/Veyra 2", folder / "game");
    writeGameFileList(game, folder / "before.json");
    writeFile(game / "data/caf\xe9.pak", "named in Latin-1");

    writeGameFileList(game, folder / "after.json");

    EXPECT_EQ(testing::readFile(folder / "after.json"), testing::readFile(folder / "before.json"));
    EXPECT_EQ(changedGameFiles(game, folder / "after.json"), std::vector<std::string>{});
}

TEST(GameFileList, NamesTheListedFilesThatAreMissingOrChanged)
{
    using Change = std::function<void(const fs::path& game, const fs::path& list)>;
    const struct {
        const char* change;
        Change apply;
        std::optional<std::vector<std::string>> changed;
    } cases[] = {
        {"nothing", [](const fs::path&, const fs::path&) {}, std::vector<std::string>{}},
        {"a file truncated and another deleted",
         [](const fs::path& game, const fs::path&) {
             fs::resize_file(game / "data/textures.pak", 10);
             fs::remove(game / "xlive.dll");
         },
         std::vector<std::string>{"data/textures.pak", "xlive.dll"}},
        {"a file grown", [](const fs::path& game, const fs::path&) { writeFile(game / "readme.txt", "a longer readme\n\n\n\n\n\n"); },
         std::vector<std::string>{"readme.txt"}},
        {"a file replaced by a folder of its name",
         [](const fs::path& game, const fs::path&) {
             fs::remove(game / "maps/shared.map");
             fs::create_directory(game / "maps/shared.map");
         },
         std::vector<std::string>{"maps/shared.map"}},
        {"a file replaced by a link to a file of its size",
         [](const fs::path& game, const fs::path&) {
             fs::copy_file(game / "veyra2.exe", game / "elsewhere.exe");
             fs::remove(game / "veyra2.exe");
             fs::create_symlink("elsewhere.exe", game / "veyra2.exe");
         },
         std::vector<std::string>{"veyra2.exe"}},
        {"what the game rewrites as it runs, and a graphics library",
         [](const fs::path& game, const fs::path&) {
             writeFile(game / "veyra2config1.ini", "[VY2ConfigurationVersion:1]\nskip_intro = false\n");
             writeFile(game / "logs/session.log", "played");
             writeFile(game / "imgui.ini", "[Window]");
             fs::remove(game / "d3dx9_43.dll");
         },
         std::vector<std::string>{}},
        {"no list, as older installations have", [](const fs::path&, const fs::path& list) { fs::remove(list); },
         std::vector<std::string>{}},
        {"a list cut short", [](const fs::path&, const fs::path& list) { writeFile(list, R"({"format":1,"files":{)"); },
         std::nullopt},
        {"a list of another format", [](const fs::path&, const fs::path& list) { writeFile(list, R"({"format":2,"files":{}})"); },
         std::nullopt},
        {"a size that is no number",
         [](const fs::path&, const fs::path& list) { writeFile(list, R"({"format":1,"files":{"veyra2.exe":"27"}})"); },
         std::vector<std::string>{"veyra2.exe"}},
    };
    for (const auto& [change, apply, changed] : cases) {
        SCOPED_TRACE(change);
        const TemporaryFolder folder;
        const fs::path game = testing::copyOfFixture("game/Veyra 2", folder / "game");
        writeFile(game / "d3dx9_43.dll", "MZ placed by the graphics step");
        const fs::path list = folder / "game-files.json";
        writeGameFileList(game, list);

        apply(game, list);

        EXPECT_EQ(changedGameFiles(game, list), changed);
    }
}

TEST(GameFileList, AListWithANameOutsideTheGameFolderOrWithControlCharactersIsDamaged)
{
    const struct {
        const char* what;
        std::string name;
    } cases[] = {
        {"an absolute name", "/etc/hostname"},
        {"a way up", "../outside.txt"},
        {"a way up inside", "data/../../outside.txt"},
        {"a line feed", "readme.txt\nrecord: ok"},
        {"an escape", "readme\x1b[2J.txt"},
        {"a delete", "readme\x7f.txt"},
        {"an empty name", ""},
    };
    for (const auto& [what, name] : cases) {
        SCOPED_TRACE(what);
        const TemporaryFolder folder;
        const fs::path game = testing::copyOfFixture("game/Veyra 2", folder / "game");
        const fs::path list = folder / "game-files.json";
        writeGameFileList(game, list);
        auto json = nlohmann::json::parse(testing::readFile(list));
        // The size is the real one of what the name leads to, where it leads anywhere.
        std::error_code error;
        const auto size = fs::file_size(game / fs::path(name), error);
        json["files"][name] = error ? 0 : size;
        writeFile(list, json.dump());

        EXPECT_EQ(changedGameFiles(game, list), std::nullopt);
    }
}

TEST(GameFileList, AListBeyondItsBoundsIsDamaged)
{
    const TemporaryFolder folder;
    const fs::path game = folder / "game";
    fs::create_directory(game);
    const auto listOf = [&](std::size_t entries, std::size_t nameBytes) {
        nlohmann::json files = nlohmann::json::object();
        for (std::size_t i = 0; i < entries; ++i) {
            std::string name = std::to_string(i);
            name.insert(0, nameBytes - name.size(), 'f');
            files[name] = 1;
        }
        const fs::path list = folder / ("list-" + std::to_string(entries) + "-" + std::to_string(nameBytes) + ".json");
        writeFile(list, nlohmann::json{{"format", 1}, {"files", files}}.dump());
        return list;
    };
    const std::size_t longName = 4096;
    const std::size_t longNames = kGameFileListMaxNameBytes / longName;

    EXPECT_EQ(changedGameFiles(game, listOf(kGameFileListMaxEntries, 8))->size(), kGameFileListMaxEntries);
    EXPECT_EQ(changedGameFiles(game, listOf(kGameFileListMaxEntries + 1, 8)), std::nullopt);
    EXPECT_EQ(changedGameFiles(game, listOf(longNames, longName))->size(), longNames);
    EXPECT_EQ(changedGameFiles(game, listOf(longNames + 1, longName)), std::nullopt);
}

} // namespace
} // namespace launcher
