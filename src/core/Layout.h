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
    std::filesystem::path runtimeLibraries() const { return m_root / "Runtime" / "lib"; }
    std::filesystem::path audioImport() const { return m_root / "Audio-import"; }
    std::filesystem::path install() const { return m_root / "Install"; }
    std::filesystem::path game() const { return m_root / "Install/game"; }
    std::filesystem::path prefix() const { return m_root / "Install/prefix"; }
    // The runtime's user profiles inside the prefix, holding the player's saves.
    std::filesystem::path users() const { return m_root / "Install/prefix/drive_c/users"; }
    // Snapshots of the saves, "Saves-" and a UTC time each.
    std::filesystem::path backups() const { return m_root / "Backups"; }

    // The staging folders that setup's steps make directly under the root, each
    // one of these prefixes and a UUID.
    static constexpr std::array<std::string_view, 3> kStagingPrefixes{"Runtime-staging-", "Game-staging-",
                                                                      "DirectX-staging-"};

private:
    std::filesystem::path m_root;
};

} // namespace launcher
