#include "prefix/PrefixConfiguration.h"

#include "core/FileCopy.h"
#include "core/Installation.h"
#include "core/LowerCase.h"
#include "core/PlayerSentences.h"
#include "core/SetupFailure.h"
#include "prefix/ProfileFolders.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <system_error>
#include <vector>

namespace launcher {
namespace {

namespace fs = std::filesystem;

struct RegistrySetting {
    const char* key;
    const char* name;
    const char* data;
};

// Written in this order, each as REG_SZ, overwriting an earlier value.
constexpr std::array<RegistrySetting, 7> kRegistrySettings{{
    {R"(HKCU\Software\Wine)", "Version", "win7"},
    {R"(HKCU\Software\Wine\Direct3D)", "renderer", "gl"},
    {R"(HKCU\Software\Wine\Direct3D)", "VideoMemorySize", "2048"},
    {R"(HKCU\Software\Wine\Mac Driver)", "RetinaMode", "N"},
    {R"(HKCU\SOFTWARE\Microsoft\Veyra 2\Video Settings)", "DisplayMode", "1"},
    {R"(HKLM\Software\WOW6432Node\Microsoft\Microsoft Games\Veyra 2\1.0)", "GameInstallDir", R"(C:\Games\Veyra 2\)"},
    {R"(HKCU\Software\Wine\DllOverrides)", "wmadmod", "native,builtin"},
}};

constexpr const char* kRegistrationTool = R"(C:\windows\syswow64\regsvr32.exe)";
constexpr const char* kRegisteredLibrary = R"(C:\windows\syswow64\wmadmod.dll)";
constexpr std::string_view kRegistrationProof = "wmadmod.dll";

// Leaves only the C: and Z: drives. Entries are links or files; a link is
// removed itself, never what it points to.
void pruneDrives(const fs::path& drives)
{
    std::vector<fs::path> entries;
    for (const auto& entry : fs::directory_iterator(drives))
        entries.push_back(entry.path());
    for (const auto& entry : entries) {
        if (std::ranges::find(kKeptDrives, entry.filename().string()) == kKeptDrives.end())
            fs::remove_all(entry);
    }
}

// Replaces a link at `link`, dangling or not. Anything else there is left alone,
// and creating the link then fails with the file system's error.
void placeLink(const fs::path& link, const fs::path& destination)
{
    std::error_code nothingThere;
    if (fs::is_symlink(fs::symlink_status(link, nothingThere)))
        fs::remove(link);
    fs::create_directory_symlink(destination, link);
}

} // namespace

void createPrefix(const Installation& installation)
{
    // Until an installation is recorded the game has never run, so no profile
    // link can hold its saves: all go, also those a stopped setup left. After
    // that, only those the runtime makes now; older ones may lead to the
    // player's saves and stay (verification names them).
    const Layout& layout = installation.layout();
    const std::vector<fs::path> earlierLinks =
        installation.hasRecord() ? profileLinks(layout) : std::vector<fs::path>{};
    installation.wineRuntime().updatePrefix();
    replaceProfileLinks(layout, earlierLinks);
}

bool namesRegisteredLibrary(const std::string& output)
{
    return lowerCase(output).find(kRegistrationProof) != std::string::npos;
}

void configurePrefix(const Installation& installation, const fs::path& codec)
{
    const WineRuntime wine = installation.wineRuntime();

    installation.report("Creating your private Windows environment");
    createPrefix(installation);
    pruneDrives(installation.prefix() / "dosdevices");
    installation.makeDirectory(installation.layout().gameLink().parent_path());
    placeLink(installation.layout().gameLink(), installation.game());
    for (const auto& setting : kRegistrySettings)
        wine.addRegistryValue(setting.key, setting.name, setting.data);

    installation.report("Installing your verified audio decoder");
    // Whatever sits at the target goes first; a link there is removed itself, so
    // the copy never writes through it to a file outside the prefix.
    const fs::path decoder = installation.layout().decoder();
    fs::remove(decoder);
    copyFile(codec, decoder);
    wine.registerLibrary(kRegistrationTool, kRegisteredLibrary);

    if (!namesRegisteredLibrary(wine.queryRegistry(kDecoderClassKey)))
        throw SetupFailure(sentences::kDecoderNotRegistered);
}

} // namespace launcher
