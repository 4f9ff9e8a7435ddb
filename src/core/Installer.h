#pragma once
// The engine for one root folder, below which everything the launcher writes
// lives. Every setup and launch operation is an operation of this type.
//
//   Installer installer(home, [](const std::string& line) { std::cout << line << '\n'; });
//   installer.install(game, audio, std::nullopt);   // blocks; reports status lines
//   auto [process, lock] = installer.launch(false);  // keep `lock` until the game exits
//
// Every operation is synchronous and calls the status callback on the caller's
// thread. Operations throw SetupFailure with a sentence for the player, or the
// file system's and platform's own errors unchanged. Several Installer objects
// for one root may exist; they coordinate only through the install lock.

#include "core/Constants.h"

#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace launcher {

struct LaunchedGame;

using Environment = std::map<std::string, std::string>;
using Report = std::function<void(const std::string& line)>;

class Installer final {
public:
    static constexpr double kDefaultTimeout = 900;

    // Creates nothing on disk and cannot fail. Without a root the default root,
    // "Veyra2MacLauncher" in the user's data folder, is used.
    explicit Installer(std::optional<std::filesystem::path> root = std::nullopt, Report report = {},
                       Constants constants = Constants::builtIn());

    static std::filesystem::path defaultRoot();

    const std::filesystem::path& root() const { return m_root; }
    const Constants& constants() const { return m_constants; }
    void report(const std::string& line) const;

    // Named locations below the root; computed on every call, nothing is touched.
    std::filesystem::path game() const { return m_root / "Install/game"; }
    std::filesystem::path prefix() const { return m_root / "Install/prefix"; }
    std::filesystem::path runtime() const { return m_root / "Runtime"; }
    std::filesystem::path wine() const { return m_root / "Runtime" / "wswine.bundle/bin/wine"; }
    std::filesystem::path log() const { return m_root / "Logs/setup.log"; }
    std::filesystem::path record() const { return m_root / "installed.json"; }

    // Creates the folder and every missing parent; an existing folder is fine.
    void makeDirectory(const std::filesystem::path& folder) const;

    // Installation record and status: true only for a complete installation. Never throws.
    bool isInstalled() const noexcept;

    // Process runner: runs the program to completion within `timeout` seconds,
    // appending its output to the setup log, or returning it when `capture` is set.
    std::string run(const std::filesystem::path& executable, const std::vector<std::string>& arguments,
                    const std::optional<Environment>& environment = std::nullopt,
                    const std::optional<std::filesystem::path>& directory = std::nullopt, bool capture = false,
                    double timeout = kDefaultTimeout) const;

    // The whole environment of every program run inside the compatibility runtime.
    Environment environment() const;

    // Runtime provisioning.
    void preflight() const;
    static std::string sha256(const std::filesystem::path& file);
    std::filesystem::path obtain(const RuntimeAsset& asset, const std::optional<std::filesystem::path>& cache) const;
    void installRuntime(const std::optional<std::filesystem::path>& cache) const;

    // Game import.
    static bool safeArchiveEntry(std::string_view name);
    void unpackUserArchive(const std::filesystem::path& archive, const std::filesystem::path& destination) const;
    void rejectSymlinks(const std::filesystem::path& folder) const;
    std::optional<std::filesystem::path> locateGame(const std::filesystem::path& folder) const;
    void validateGame(const std::filesystem::path& game) const;
    void importGame(const std::filesystem::path& selection) const;
    void installDirectX() const;

    // Prefix and audio.
    std::filesystem::path prepareCodec(const std::filesystem::path& audio) const;
    void configurePrefix(const std::filesystem::path& codec) const;

    // Setup and play.
    void install(const std::filesystem::path& game, const std::filesystem::path& audio,
                 const std::optional<std::filesystem::path>& cache) const;
    LaunchedGame launch(bool debug) const;

private:
    std::filesystem::path m_root;
    Report m_report;
    Constants m_constants;
};

} // namespace launcher
