#include "cli/RepairTestSupport.h"

#include "app/Setup.h"
#include "core/Installation.h"
#include "support/TestHost.h"

#include <chrono>
#include <string>

namespace launcher::testing {
namespace {

namespace fs = std::filesystem;

// Saves and settings as the game and the runtime leave them, with names the
// launcher also writes elsewhere, so that a step writing to the wrong place shows.
void placeSaves(const fs::path& users)
{
    std::string slot;
    for (int byte = 0; byte < 1024; ++byte)
        slot += static_cast<char>(byte % 251);
    writeFile(users / "player/Documents/Veyra 2/Saves/slot1.sav", slot);
    writeFile(users / "player/Documents/Veyra 2/Saves/slot2.sav", "");
    writeFile(users / "player/Documents/Veyra 2/Saves/.autosave", "hidden autosave");
    writeFile(users / "player/Documents/Veyra 2/veyra2config1.ini", "[player settings]\r\nfov = 90\r\n");
    writeFile(users / "player/AppData/Roaming/Veyra 2/wmadmod.dll", "not the decoder");
    writeFile(users / "Public/Documents/system.reg", "not the registry");
    fs::create_directories(users / "player/Documents/Veyra 2/Screenshots");
    fs::create_symlink("Saves/slot1.sav", users / "player/Documents/Veyra 2/latest.sav");
}

} // namespace

PristineInstallation::PristineInstallation() : m_home(m_folder / "home"), m_copy(m_folder / "pristine")
{
    install(Installation(m_home), fixture("game/installer.zip"), fixture("audio/MPSetup.exe"),
            fixture("runtime/prefetched"));
    placeSaves(savesFolder(m_home));
    fs::copy(m_home, m_copy, fs::copy_options::recursive | fs::copy_options::copy_symlinks);
}

void PristineInstallation::restore() const
{
    fs::remove_all(m_home);
    fs::copy(m_copy, m_home, fs::copy_options::recursive | fs::copy_options::copy_symlinks);
}

fs::path savesFolder(const fs::path& home)
{
    return home / "Install/prefix/drive_c/users";
}

std::map<std::string, std::string> treeSnapshot(const fs::path& folder)
{
    std::map<std::string, std::string> snapshot;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        const fs::file_status status = entry.symlink_status();
        std::string description = std::to_string(static_cast<int>(status.type())) + " "
            + std::to_string(static_cast<unsigned>(status.permissions())) + " ";
        if (fs::is_symlink(status)) {
            description += "-> " + fs::read_symlink(entry.path()).string();
            snapshot[entry.path().lexically_relative(folder).string()] = description;
            continue;
        }
        // In nanoseconds: the clock's own count is a 128-bit integer in libc++.
        const auto modified = fs::last_write_time(entry.path()).time_since_epoch();
        description += std::to_string(std::chrono::duration_cast<std::chrono::nanoseconds>(modified).count()) + " ";
        if (fs::is_regular_file(status))
            description += readFile(entry.path());
        snapshot[entry.path().lexically_relative(folder).string()] = description;
    }
    return snapshot;
}

} // namespace launcher::testing
