#pragma once
// A complete installation made by hand whose player has saves, for the tests
// of snapshots, restore, uninstall and diagnostics.

#include "app/LaunchedGame.h"
#include "core/Installation.h"

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace launcher::testing {

// The player's profile below the prefix's users folder.
inline constexpr const char* kProfile = "player";

class SavesInstallation final {
public:
    // Builds the installation by hand with the stand-in runtime, and saves:
    // two files in the profile and the game's accounts file and "imgui.ini".
    explicit SavesInstallation(const std::filesystem::path& root);

    const Installation& installation() const { return m_installation; }
    const std::filesystem::path& root() const { return m_root; }
    std::filesystem::path profile() const { return m_installation.layout().users() / kProfile; }
    std::filesystem::path backups() const { return m_installation.layout().backups(); }

    // Writes a save below the profile with a modification time of its own, so
    // that even a rewrite within the same clock tick counts as a change.
    void writeSave(const std::string& relative, const std::string& content) const;
    // Moves the profile to `synced` and links it back, as a player who keeps it
    // in a synced folder does.
    void linkProfileTo(const std::filesystem::path& synced) const;
    // Launches the stand-in game and waits for it to exit.
    LaunchedGame launchAndWait() const;
    // Names of the snapshot folders in "Backups", oldest first.
    std::vector<std::string> snapshotFolders() const;

private:
    std::filesystem::path m_root;
    Installation m_installation;
};

// Every regular file below the folder, relative path to content; links are not followed.
std::map<std::string, std::string> filesBelow(const std::filesystem::path& folder);

} // namespace launcher::testing
