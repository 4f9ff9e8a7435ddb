#include "app/SavesTestSupport.h"

#include "app/GameLaunch.h"
#include "support/InstallationByHand.h"
#include "support/TemporaryFolder.h"
#include "support/TestHost.h"

#include <algorithm>
#include <chrono>

namespace launcher::testing {

namespace fs = std::filesystem;

SavesInstallation::SavesInstallation(const fs::path& root) : m_root(root), m_installation(root, {}, testHost())
{
    buildInstallationByHand(root);
    writeSave("Documents/Veyra 2/slot1.sav", "slot one");
    writeSave("AppData/Roaming/Veyra 2/profile.dat", "profile");
    writeFile(m_installation.game() / "veyra2accounts.xml", "<accounts/>");
    writeFile(m_installation.game() / "imgui.ini", "[Window]");
}

void SavesInstallation::writeSave(const std::string& relative, const std::string& content) const
{
    static fs::file_time_type stamp = fs::file_time_type::clock::now() - std::chrono::hours(1);
    stamp += std::chrono::seconds(1);
    writeFile(profile() / relative, content);
    fs::last_write_time(profile() / relative, stamp);
}

void SavesInstallation::linkProfileTo(const fs::path& synced) const
{
    fs::rename(profile(), synced);
    fs::create_directory_symlink(synced, profile());
}

LaunchedGame SavesInstallation::launchAndWait() const
{
    LaunchedGame launched = launch(m_installation, false);
    launched.process.wait();
    return launched;
}

std::vector<std::string> SavesInstallation::snapshotFolders() const
{
    std::vector<std::string> names;
    if (!fs::exists(backups()))
        return names;
    for (const auto& entry : fs::directory_iterator(backups()))
        if (entry.path().filename().string().starts_with("Saves-"))
            names.push_back(entry.path().filename().string());
    std::ranges::sort(names);
    return names;
}

std::map<std::string, std::string> filesBelow(const fs::path& folder)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.symlink_status().type() == fs::file_type::regular)
            files[entry.path().lexically_relative(folder).string()] = readFile(entry.path());
    return files;
}

} // namespace launcher::testing
