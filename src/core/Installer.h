#pragma once
// The engine for one root folder, below which everything the launcher writes
// lives. Every setup and launch operation is an operation of this type; each is
// defined in the library of its layer (runtime, import, prefix, app), and a
// layer calls only the operations of the layers below it.
//
//   Installer installer(home, [](const std::string& line) { std::cout << line << '\n'; });
//   installer.install(game, audio, std::nullopt);   // blocks; reports status lines
//   auto [process, lock] = installer.launch(false);  // keep `lock` until the game exits
//   if (installer.hasRecord() && !installer.isInstalled())
//       installer.repair({.game = game});            // redoes what verify() finds damaged
//
// Every operation is synchronous and calls the status callback, and the
// progress callback of its supervision, on the caller's thread. Its stop
// request may come from any thread (see Supervision.h). Operations throw
// SetupFailure with a sentence for the player, SetupStopped after a stop
// request, or the file system's and platform's own errors unchanged. Several
// Installer objects for one root may exist; they coordinate only through the
// install lock.

#include "core/ArchiveTool.h"
#include "core/Constants.h"
#include "core/Host.h"
#include "core/InstallationCheck.h"
#include "core/LaunchedGame.h"
#include "core/Layout.h"
#include "core/ProcessRunner.h"
#include "core/Supervision.h"
#include "core/Verification.h"
#include "core/SaveSnapshot.h"
#include "core/UninstallPlan.h"
#include "core/WineRuntime.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace launcher {

using Report = std::function<void(const std::string& line)>;

// Where one archive's bytes lie in a download of several, so that progress
// counts them together: the expected bytes of the archives before it, and of
// all. A total of 0 counts this archive alone.
struct DownloadShare {
    std::uint64_t before = 0;
    std::uint64_t total = 0;
};

class Installer final {
public:
    // Creates nothing on disk. The root is made absolute against the current folder
    // and free of "." and ".." parts; without one the default root, "Veyra2MacLauncher"
    // in the user's data folder, is used. Programs pass
    // neither host nor pins; tests stage a machine through `host`, and only
    // tests of what a wrong pin does pass pins of their own. A front end that
    // shows progress or offers a stop passes `supervision`.
    explicit Installer(std::optional<std::filesystem::path> root = std::nullopt, Report report = {},
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

    // Runtime provisioning.
    void preflight() const;
    static std::string sha256(const std::filesystem::path& file);
    std::filesystem::path obtain(const RuntimeAsset& asset, const std::optional<std::filesystem::path>& cache,
                                 DownloadShare share = {}) const;
    void installRuntime(const std::optional<std::filesystem::path>& cache) const;

    // Game import.
    static bool safeArchiveEntry(std::string_view name);
    void unpackUserArchive(const std::filesystem::path& archive, const std::filesystem::path& destination) const;
    void rejectSymlinks(const std::filesystem::path& folder) const;
    std::optional<std::filesystem::path> locateGame(const std::filesystem::path& folder) const;
    void validateGame(const std::filesystem::path& game) const;
    void importGame(const std::filesystem::path& selection) const;
    // Reads the game selection where it lies and refuses it, with importGame()'s
    // sentence, when the import would: a folder's game is located, vetted and
    // validated in place, an archive is listed and its names checked, and
    // nothing is extracted or copied. An archive that lists well may still fail
    // once unpacked; the import tells of that. Writes nothing but the setup log
    // of a listing that fails, and takes no lock.
    void checkGameSource(const std::filesystem::path& selection) const;
    void installDirectX() const;

    // Prefix and audio.
    std::filesystem::path prepareCodec(const std::filesystem::path& audio) const;
    void configurePrefix(const std::filesystem::path& codec) const;

    // Setup and play.
    void install(const std::filesystem::path& game, const std::filesystem::path& audio,
                 const std::optional<std::filesystem::path>& cache) const;
    // Snapshots the saves after taking the lock and before starting the game;
    // a failed snapshot is noted in the game log and in the result, and the game
    // starts all the same.
    LaunchedGame launch(bool debug) const;

    // Verification and repair. verify() checks the whole installation under the
    // install lock and changes nothing in it; it creates neither the root nor the
    // lock file, and each wine call it makes is limited to 30 seconds. repair()
    // verifies the same way, then redoes only what is damaged, in setup order,
    // reporting the usual status lines, writes a new record and reports "Ready to
    // play"; it never touches the player's saves below "drive_c/users". It throws
    // RepairRefusal (app/RepairRefusal.h) when there is no installation or an
    // input it needs is missing, before it changes anything.
    VerificationReport verify() const;
    void repair(const RepairSources& sources) const;
    // Saves. The snapshots, newest first; reads only, takes no lock, and works
    // while the game runs.
    std::vector<SaveSnapshot> saveSnapshots() const;
    // Takes the lock, snapshots the live saves (a snapshot launches never rotate
    // out), and swaps in a copy of the named snapshot. Throws UnknownSnapshot
    // (app/UnknownSnapshot.h) when no snapshot has that name, and the player's
    // message when the installation is incomplete.
    RestoredSaves restoreSaves(const std::string& name) const;

    // Uninstall. What uninstall(keepSaves) would remove and keep now; reads only.
    UninstallPlan planUninstall(bool keepSaves) const;
    // Takes the lock, snapshots the live saves first when keeping them, removes
    // "installed.json" and then the launcher's own folders without following
    // links. An absent root is no failure: nothing is removed.
    UninstallReport uninstall(bool keepSaves) const;

    // Writes a ZIP archive for a bug report to the new file `archive` (an
    // existing one is refused): a readable report, the record, the end of each
    // log and a listing of the root, with the player's home folder shown as "~".
    // Takes no lock, so it works while the game runs; below the root it writes
    // only what the archive tool prints, to the setup log as every program does.
    void writeDiagnostics(const std::filesystem::path& archive) const;

private:
    Layout m_layout;
    Report m_report;
    Host m_host;
    Constants m_constants;
    Supervision m_supervision;
    ProcessRunner m_runner;
};

} // namespace launcher
