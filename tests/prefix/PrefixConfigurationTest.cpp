#include "prefix/PrefixConfiguration.h"
#include "core/Installation.h"
#include "core/Platform.h"
#include "core/SetupFailure.h"
#include "support/OwnerOnlyWrites.h"
#include "support/ProcessTree.h"
#include "support/StandInRecord.h"
#include "support/StopFromAnotherThread.h"
#include "support/TemporaryFolder.h"
#include "support/TestHost.h"
#include "support/TreeListing.h"
#include "support/EntryNames.h"

#include <chrono>
#include <map>
#include <optional>
#include <set>
#include <tuple>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace launcher {
namespace {

namespace fs = std::filesystem;
using testing::readFile;
using testing::TemporaryFolder;
using testing::writeFile;
using Arguments = std::vector<std::string>;
using RegistryValue = std::tuple<std::string, std::string, std::string>;

const std::string kClassKey =
    R"(HKLM\Software\Classes\Wow6432Node\CLSID\{2EEB4ADF-4578-4D10-BCA7-BB955F56320A}\InprocServer32)";

const std::vector<RegistryValue> kSettings{
    {R"(HKCU\Software\Wine)", "Version", "win7"},
    {R"(HKCU\Software\Wine\Direct3D)", "renderer", "gl"},
    {R"(HKCU\Software\Wine\Direct3D)", "VideoMemorySize", "2048"},
    {R"(HKCU\Software\Wine\Mac Driver)", "RetinaMode", "N"},
    {R"(HKCU\SOFTWARE\Microsoft\Veyra 2\Video Settings)", "DisplayMode", "1"},
    {R"(HKLM\Software\WOW6432Node\Microsoft\Microsoft Games\Veyra 2\1.0)", "GameInstallDir", R"(C:\Games\Veyra 2\)"},
    {R"(HKCU\Software\Wine\DllOverrides)", "wmadmod", "native,builtin"},
};

Arguments registryWrite(const RegistryValue& setting)
{
    const auto& [key, name, data] = setting;
    return {"reg", "add", key, "/v", name, "/t", "REG_SZ", "/d", data, "/f"};
}

// Every run of a whole configuration, in order: "wineboot" "-u", the seven
// registry writes, the registration and the query.
std::vector<Arguments> configurationRuns()
{
    std::vector<Arguments> runs{{"wineboot", "-u"}};
    for (const auto& setting : kSettings)
        runs.push_back(registryWrite(setting));
    runs.push_back({R"(C:\windows\syswow64\regsvr32.exe)", "/s", R"(C:\windows\syswow64\wmadmod.dll)"});
    runs.push_back({"reg", "query", kClassKey});
    return runs;
}

class PrefixConfiguration : public ::testing::Test {
protected:
    PrefixConfiguration()
    {
        writeFile(m_root / "Install/game/veyra2.exe", "MZ game");
        writeFile(m_codec, "MZ verified decoder");
        useStandIn({});
    }

    // Installs the stand-in as the runtime's wine and wineserver programs, each
    // behind a script that gives it this test's record and fault controls. The
    // stand-in acts as the program it is named, so it is started by a link of that name.
    void useStandIn(const std::map<std::string, std::string>& controls) const
    {
        const fs::path source = testing::fixture("runtime/standin-wine");
        for (const fs::path& program : {m_installation.wine(), m_installation.layout().wineServer()}) {
            const fs::path named = m_folder / "standin" / program.filename();
            fs::create_directories(named.parent_path());
            if (!fs::is_symlink(named))
                fs::create_symlink(source, named);
            std::string script = "#!/bin/sh\nexport STANDIN_RECORD='" + m_record.string() + "'\n";
            for (const auto& [name, value] : controls)
                script += "export " + name + "='" + value + "'\n";
            script += "exec '" + named.string() + "' \"$@\"\n";
            writeFile(program, script);
            fs::permissions(program, fs::perms::owner_all);
        }
    }

    std::vector<Arguments> runs() const
    {
        std::vector<Arguments> arguments;
        for (const auto& call : testing::readStandInRecord(m_record))
            arguments.push_back(call.arguments);
        return arguments;
    }

    // The values the stand-in's registry holds, as (key, name, data).
    std::set<RegistryValue> registry() const
    {
        std::set<RegistryValue> values;
        const auto stored = nlohmann::json::parse(readFile(m_prefix / "standin-registry.json"));
        for (const auto& [lowered, entry] : stored.items())
            for (const auto& [name, data] : entry.at("values").items())
                values.emplace(entry.at("key").get<std::string>(), name, data.get<std::string>());
        return values;
    }

    std::set<std::string> drives() const { return testing::entryNames(m_prefix / "dosdevices"); }

    static std::set<RegistryValue> configuredRegistry()
    {
        std::set<RegistryValue> values(kSettings.begin(), kSettings.end());
        values.emplace(kClassKey, "", R"(C:\windows\syswow64\wmadmod.dll)");
        return values;
    }

    TemporaryFolder m_folder;
    fs::path m_root = m_folder / "root with spaces";
    fs::path m_prefix = m_root / "Install/prefix";
    fs::path m_decoder = m_prefix / "drive_c/windows/syswow64/wmadmod.dll";
    fs::path m_link = m_prefix / "drive_c/Games/Veyra 2";
    fs::path m_codec = m_folder / "Audio-import/wmadmod.dll";
    fs::path m_record = m_folder / "calls.jsonl";
    std::vector<std::string> m_reported;
    Installation m_installation{m_root, [this](const std::string& line) { m_reported.push_back(line); },
                                testing::testHost()};
};

TEST_F(PrefixConfiguration, ConfiguresAFreshPrefixRunByRunInTheCompatibilityEnvironment)
{
    // Left over in the prefix folder before the runtime creates the prefix.
    writeFile(m_folder / "drive target/kept.txt", "kept");
    fs::create_directories(m_prefix / "dosdevices");
    fs::create_directory_symlink(m_folder / "drive target", m_prefix / "dosdevices/C:");
    writeFile(m_prefix / "dosdevices/.hidden", "");
    writeFile(m_prefix / "dosdevices/y:/inside.txt", "");
    fs::create_directories(m_link.parent_path());
    fs::create_directory_symlink(m_folder / "nowhere", m_link);
    writeFile(m_decoder, "an earlier decoder");
    // The library the game loads must stay its owner's alone, whatever the source's mode.
    fs::permissions(m_codec, fs::perms(0666));

    configurePrefix(m_installation, m_codec);

    EXPECT_EQ(runs(), configurationRuns());
    const std::map<std::string, std::string> environment{
        {"WINEPREFIX", m_prefix.string()},
        {"WINEARCH", "win64"},
        {std::string(platform::librarySearchVariable()), (m_root / "Runtime/lib").string() + ":/usr/lib"},
        {"WINEPRELOADERAPPNAME", "Veyra 2"},
        {"WINEDEBUG", "-all"},
        {"MVK_CONFIG_LOG_LEVEL", "1"},
        {"WINEDLLOVERRIDES", "mscoree,mshtml,winemenubuilder.exe=;wmadmod,xlive,d3dx9_31,d3dx9_43,d3dcompiler_43=n,b"},
    };
    for (const auto& call : testing::readStandInRecord(m_record)) {
        EXPECT_EQ(call.environment, environment);
        EXPECT_EQ(call.directory, fs::current_path().string());
    }

    EXPECT_EQ(drives(), (std::set<std::string>{"c:", "z:"}));
    EXPECT_EQ(readFile(m_folder / "drive target/kept.txt"), "kept");
    EXPECT_EQ(fs::read_symlink(m_link), m_root / "Install/game");
    EXPECT_EQ(registry(), configuredRegistry());
    EXPECT_EQ(readFile(m_decoder), "MZ verified decoder");
    EXPECT_EQ(testing::notWritableByOwnerAlone(m_decoder), std::vector<std::string>{});
    EXPECT_EQ(readFile(m_codec), "MZ verified decoder");
    EXPECT_EQ(m_reported, (std::vector<std::string>{"Creating your private Windows environment",
                                                    "Installing your verified audio decoder"}));
}

TEST_F(PrefixConfiguration, SecondRunOverAConfiguredPrefixLeavesTheSameResult)
{
    configurePrefix(m_installation, m_codec);
    const auto registryText = readFile(m_prefix / "standin-registry.json");

    // The link points at another real folder, and the decoder is a dangling
    // link out of the prefix that the copy must not write through.
    fs::create_directories(m_folder / "elsewhere");
    fs::remove(m_link);
    fs::create_directory_symlink(m_folder / "elsewhere", m_link);
    fs::remove(m_decoder);
    fs::create_symlink(m_folder / "elsewhere/wmadmod.dll", m_decoder);
    fs::remove(m_record);

    configurePrefix(m_installation, m_codec);

    EXPECT_EQ(runs(), configurationRuns());
    EXPECT_EQ(drives(), (std::set<std::string>{"c:", "z:"}));
    EXPECT_EQ(fs::read_symlink(m_link), m_root / "Install/game");
    EXPECT_EQ(readFile(m_prefix / "standin-registry.json"), registryText);
    EXPECT_FALSE(fs::is_symlink(m_decoder));
    EXPECT_EQ(readFile(m_decoder), "MZ verified decoder");
    EXPECT_FALSE(fs::exists(m_folder / "elsewhere/wmadmod.dll"));
}

// Wine links a new profile's shell folders to the player's own; the game's
// saves under "My Documents" would land in the player's home, out of every snapshot.
TEST_F(PrefixConfiguration, TheRuntimesProfileLinksBecomeEmptyFoldersAndOnesThatMayHoldSavesStay)
{
    const fs::path home = m_folder / "home";
    writeFile(home / "Documents/letter.txt", "the player's");
    writeFile(home / "notes.txt", "the player's too");
    const auto homeBefore = testing::entriesBelow(home);
    useStandIn({{"HOME", home.string()}});
    const fs::path profile = m_prefix / "drive_c/users/player";
    // Left by a setup stopped after the runtime ran: the game never played in it.
    fs::create_directories(profile);
    fs::create_directory_symlink(home, profile / "Desktop");

    configurePrefix(m_installation, m_codec);

    const std::set<std::string> shellFolders{"Desktop", "Documents", "Downloads", "Music", "Pictures", "Videos"};
    EXPECT_EQ(testing::entryNames(profile), shellFolders);
    for (const std::string& name : shellFolders) {
        EXPECT_FALSE(fs::is_symlink(profile / name)) << name;
        EXPECT_TRUE(fs::is_empty(profile / name)) << name;
    }

    // Once an installation is recorded, a link that was there before may hold
    // the game's saves in the player's folder: it stays; a shell folder the
    // runtime makes again now is a folder of the prefix.
    writeFile(m_root / "installed.json", "{}");
    fs::remove(profile / "Documents");
    fs::create_directory_symlink(home / "Documents", profile / "Documents");
    fs::remove(profile / "Music");

    configurePrefix(m_installation, m_codec);

    EXPECT_EQ(fs::read_symlink(profile / "Documents"), home / "Documents");
    EXPECT_FALSE(fs::is_symlink(profile / "Music"));
    EXPECT_TRUE(fs::is_empty(profile / "Music"));
    EXPECT_EQ(testing::entriesBelow(home), homeBefore);
}

TEST_F(PrefixConfiguration, RealFolderAtTheGameLinkIsKeptAndItsErrorPassedOn)
{
    writeFile(m_link / "save.txt", "mine");
    EXPECT_THROW(configurePrefix(m_installation, m_codec), fs::filesystem_error);
    EXPECT_EQ(readFile(m_link / "save.txt"), "mine");
    EXPECT_EQ(runs(), (std::vector<Arguments>{{"wineboot", "-u"}}));
}

TEST_F(PrefixConfiguration, FailingThirdRegistryWriteEndsTheConfigurationThere)
{
    useStandIn({{"STANDIN_FAIL", "VideoMemorySize"}});
    try {
        configurePrefix(m_installation, m_codec);
        FAIL() << "the configuration succeeded";
    } catch (const SetupFailure& failure) {
        EXPECT_STREQ(failure.what(), "wine failed (1). Open the setup log for details. If antivirus quarantined a file, "
                                     "review its report before retrying.");
    }
    EXPECT_EQ(runs(), (std::vector<Arguments>{{"wineboot", "-u"}, registryWrite(kSettings[0]),
                                              registryWrite(kSettings[1]), registryWrite(kSettings[2])}));
    EXPECT_EQ(registry(), (std::set<RegistryValue>{kSettings[0], kSettings[1]}));
    EXPECT_EQ(m_reported, std::vector<std::string>{"Creating your private Windows environment"});
    EXPECT_FALSE(fs::exists(m_decoder));
}

TEST_F(PrefixConfiguration, RegistrationProofNeedsTheLibraryNameInAnyLetterCase)
{
    struct Case {
        std::map<std::string, std::string> controls;
        std::optional<std::string> message;
    };
    const Case cases[] = {
        {{{"STANDIN_QUERY_OUTPUT", R"(    (Default)    REG_SZ    C:\WINDOWS\SYSWOW64\WMADMOD.DLL)"}}, std::nullopt},
        {{{"STANDIN_QUERY_OUTPUT", R"(    (Default)    REG_SZ    C:\windows\syswow64\wmvdecod.dll)"}},
         "The audio decoder did not register correctly."},
        {{{"STANDIN_FAIL", "reg query"}},
         "wine failed (1). Open the setup log for details. If antivirus quarantined a file, review its report before "
         "retrying."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.controls.begin()->second);
        useStandIn(c.controls);
        try {
            configurePrefix(m_installation, m_codec);
            EXPECT_FALSE(c.message) << "the proof passed";
        } catch (const SetupFailure& failure) {
            EXPECT_EQ(failure.what(), c.message.value_or("the proof passing"));
        }
        EXPECT_EQ(runs().back(), configurationRuns().back());
        fs::remove(m_record);
    }
}

// Wine's server outlives a stopped run and would keep writing into the prefix,
// so a stopped run is followed by "wineserver -k" in the same environment.
TEST_F(PrefixConfiguration, AStopFromAnotherThreadEndsTheHangingRunAndTheRuntimesServer)
{
    const fs::path pidFile = m_folder / "hanging.pid";
    useStandIn({{"STANDIN_HANG", "wineboot"}, {"STANDIN_PID_FILE", pidFile.string()}});
    const StopRequest stop;
    const Installation installation(m_root, {}, testing::testHost(), Constants::builtIn(), {.stop = stop});
    const testing::StopRequester requester = testing::requestStopOnceFileExists(stop, pidFile);

    const auto start = std::chrono::steady_clock::now();
    EXPECT_THROW(configurePrefix(installation, m_codec), SetupStopped);
    EXPECT_LT(std::chrono::steady_clock::now() - start, testing::kStopBound);
    for (const pid_t pid : testing::pidsIn(pidFile))
        EXPECT_TRUE(testing::hasEndedWithin(pid, std::chrono::seconds(1)))
            << "the hanging run and the helper in its group are gone";

    const auto calls = testing::readStandInRecord(m_record);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].arguments, (Arguments{"wineboot", "-u"}));
    EXPECT_EQ(calls[1].program, "wineserver");
    EXPECT_EQ(calls[1].arguments, Arguments{"-k"});
    EXPECT_EQ(calls[1].environment, calls[0].environment);
    EXPECT_EQ(calls[1].environment.at("WINEPREFIX"), m_prefix.string());
}

// The runner's time-outs for the runtime are minutes long, so the time-out path
// is shown on a single run of the stand-in with a short time-out.
TEST_F(PrefixConfiguration, HangingRuntimeRunEndsInTheTimeOutMessage)
{
    useStandIn({{"STANDIN_HANG", "wineboot"}});
    try {
        m_installation.run({m_installation.wine(), {"wineboot", "-u"}},
                           {.environment = m_installation.environment(), .timeout = timeouts::Seconds(0.5)});
        FAIL() << "the run ended by itself";
    } catch (const SetupFailure& failure) {
        EXPECT_STREQ(failure.what(), "A setup step timed out. Retry setup; details are in the setup log.");
    }
    EXPECT_FALSE(fs::exists(m_prefix / "system.reg"));
}

} // namespace
} // namespace launcher
