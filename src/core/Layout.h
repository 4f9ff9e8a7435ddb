#pragma once
// The places below one root folder where the launcher keeps what it writes.
// Every location is computed from the root when asked; nothing is created,
// tested or cached.

#include <array>
#include <filesystem>
#include <string_view>
#include <utility>

namespace launcher {

class Layout final {
public:
    explicit Layout(std::filesystem::path root) : m_root(std::move(root)) {}

    const std::filesystem::path& root() const { return m_root; }

    std::filesystem::path record() const { return m_root / "installed.json"; }
    std::filesystem::path lockFile() const { return m_root / "launcher.lock"; }
    std::filesystem::path logs() const { return m_root / "Logs"; }
    std::filesystem::path log() const { return m_root / "Logs/setup.log"; }
    std::filesystem::path gameLog() const { return m_root / "Logs/veyra2.log"; }
    std::filesystem::path downloads() const { return m_root / "Downloads"; }
    std::filesystem::path runtime() const { return m_root / "Runtime"; }
    std::filesystem::path wine() const { return m_root / "Runtime" / "wswine.bundle/bin/wine"; }
    std::filesystem::path wineServer() const { return m_root / "Runtime" / "wswine.bundle/bin/wineserver"; }
    std::filesystem::path runtimeLibraries() const { return m_root / "Runtime" / "lib"; }
    // Where an update keeps the runtime it replaces until the new one has started.
    std::filesystem::path runtimeAside() const { return m_root / "Runtime-previous"; }
    // The runtime kept aside once the new one has started: it only waits to be removed.
    std::filesystem::path runtimeSuperseded() const { return m_root / "Runtime-superseded"; }
    std::filesystem::path audioImport() const { return m_root / "Audio-import"; }
    std::filesystem::path install() const { return m_root / "Install"; }
    std::filesystem::path game() const { return m_root / "Install/game"; }
    // What the import placed in the game folder: each file's path and size.
    std::filesystem::path gameFileList() const { return m_root / "Install/game-files.json"; }
    std::filesystem::path prefix() const { return m_root / "Install/prefix"; }
    // The audio decoder installed in the prefix, and the launcher's own verified copy of it.
    std::filesystem::path decoder() const { return prefix() / "drive_c/windows/syswow64/wmadmod.dll"; }
    std::filesystem::path verifiedDecoder() const { return audioImport() / "wmadmod.dll"; }
    // The link that shows the game folder inside the prefix as C:\Games\Veyra 2.
    std::filesystem::path gameLink() const { return prefix() / "drive_c/Games/Veyra 2"; }
    // The runtime's user profiles inside the prefix, holding the player's saves.
    std::filesystem::path users() const { return m_root / "Install/prefix/drive_c/users"; }
    // Snapshots of the saves, "Saves-" and a UTC time each.
    std::filesystem::path backups() const { return m_root / "Backups"; }

    // The staging folders that setup's steps make directly under the root, each
    // one of these prefixes and a UUID; an abandoned one is recognised by them.
    static constexpr std::string_view kRuntimeStaging = "Runtime-staging-";
    static constexpr std::string_view kGameStaging = "Game-staging-";
    static constexpr std::string_view kDirectXStaging = "DirectX-staging-";
    static constexpr std::array<std::string_view, 3> kStagingPrefixes{kRuntimeStaging, kGameStaging, kDirectXStaging};

private:
    std::filesystem::path m_root;
};

} // namespace launcher
