#pragma once
// One root folder, below which everything the launcher writes lives, and what
// every operation on it needs: the folder layout, the machine (host), the pins
// (constants), the stop request and progress (supervision), the status lines
// (report), the process runner and the compatibility environment, and the
// installation's record and status. Creates nothing on disk.
//
// The operations take it and are declared with their layer: runtime
// provisioning in runtime/ (Preflight.h, VerifiedDownload.h,
// RuntimeInstallation.h), the import steps in import/, the prefix and the audio
// decoder in prefix/, and setup, launch, verify, repair, saves, uninstall and
// diagnostics in app/ (see the README's table).
//
//   Installation installation(home, [](const std::string& line) { std::cout << line << '\n'; });
//   install(installation, game, audio, std::nullopt);   // blocks; reports status lines
//   if (installation.hasRecord() && !installation.isInstalled()) ...
//
// Every operation is synchronous and calls the status callback, and the
// progress callback of its supervision, on the caller's thread; its stop
// request may come from any thread (see Supervision.h). Operations throw
// SetupFailure with a sentence for the player, SetupStopped after a stop
// request, or the file system's and platform's own errors unchanged. Several
// Installation values for one root may exist; the operations coordinate only
// through the install lock.

#include "core/ArchiveTool.h"
#include "core/Constants.h"
#include "core/Host.h"
#include "core/InstallationCheck.h"
#include "core/Layout.h"
#include "core/ProcessRunner.h"
#include "core/Supervision.h"
#include "core/WineRuntime.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace launcher {

using Report = std::function<void(const std::string& line)>;

class Installation final {
public:
    // Creates nothing on disk. The root is made absolute against the current folder
    // and free of "." and ".." parts; without one the default root, "Veyra2MacLauncher"
    // in the user's data folder, is used. Programs pass
    // neither host nor pins; tests stage a machine through `host`, and only
    // tests of what a wrong pin does pass pins of their own. A front end that
    // shows progress or offers a stop passes `supervision`.
    explicit Installation(std::optional<std::filesystem::path> root = std::nullopt, Report report = {},
                          Host host = Host::system(), Constants constants = Constants::builtIn(),
                          Supervision supervision = {});

    static std::filesystem::path defaultRoot();

    const std::filesystem::path& root() const { return m_layout.root(); }
    const Layout& layout() const { return m_layout; }
    const Constants& constants() const { return m_constants; }
    const Host& host() const { return m_host; }
    const Supervision& supervision() const { return m_supervision; }
    void report(const std::string& line) const;
    void progress(const Progress& progress) const;
    // Throws SetupStopped once a stop was requested; long work calls it between its parts.
    void throwIfStopped() const { m_supervision.stop.throwIfRequested(); }

    // Named locations below the root; computed on every call, nothing is touched.
    std::filesystem::path game() const { return m_layout.game(); }
    std::filesystem::path prefix() const { return m_layout.prefix(); }
    std::filesystem::path runtime() const { return m_layout.runtime(); }
    std::filesystem::path wine() const { return m_layout.wine(); }
    std::filesystem::path log() const { return m_layout.log(); }
    std::filesystem::path record() const { return m_layout.record(); }

    // Creates the folder and every missing parent; an existing folder is fine.
    void makeDirectory(const std::filesystem::path& folder) const;

    // Installation record and status: true only for a complete installation. Never throws.
    bool isInstalled() const noexcept;
    // Whether "installed.json" exists, whatever it holds: setup finished here once.
    // With isInstalled() false, the installation is incomplete and repair is the way on.
    bool hasRecord() const noexcept;
    // The conditions that isInstalled() tests, one by one, in its order.
    std::vector<InstallationCheck> installationChecks() const noexcept;

    // Process runner: runs the program to completion within the options'
    // time-out, appending its output to the setup log, or returning it.
    void run(const Command& command, const RunOptions& options = {}) const { m_runner.run(command, options); }
    std::string capture(const Command& command, const RunOptions& options = {}) const
    {
        return m_runner.capture(command, options);
    }
    // The outside programs the operations drive, each through the process runner.
    ArchiveTool archiveTool() const { return {m_runner, m_host.archiveTool}; }
    WineRuntime wineRuntime() const { return {m_runner, m_layout}; }

    // The whole environment of every program run inside the compatibility runtime.
    Environment environment() const;

private:
    Layout m_layout;
    Report m_report;
    Host m_host;
    Constants m_constants;
    Supervision m_supervision;
    ProcessRunner m_runner;
};

} // namespace launcher
