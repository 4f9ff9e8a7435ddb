#pragma once
// Where the window stands, as one value: what the disk holds, the one piece of
// work the window runs, and whether a game it started runs. Every flag the
// view reads (busy, ready, playing, ...) is derived from it, so that no two of
// them can contradict each other: setup cannot run beside a check or a menu
// action, a repair cannot be offered while the installation is ready, a stop
// is only ever of setup or repair. The game is apart from the work, since
// setup may start while it runs: the install lock refuses that setup.
//
// Free of Qt, so that tests state a situation without running the work that
// leads to it.

namespace launcher {

// The installation as the window last found it.
enum class InstallationState {
    // Nothing recorded: the setup panel.
    none,
    // Recorded and complete: the installed panel.
    ready,
    // Recorded and complete, with another runtime than the launcher's: the
    // installed panel, offering the update.
    outdated,
    // Recorded but incomplete: the repair panel.
    needsRepair,
};

// The one piece of work the window runs besides a game; each waits for the one before it.
enum class Activity {
    idle,
    settingUp,
    repairing,
    // Setup, or repair, was asked to stop and has not ended yet.
    stoppingSetup,
    stoppingRepair,
    // The check of an incomplete installation for what repair must redo.
    checking,
    // A restore of the saves, an uninstall or the diagnostics archive.
    maintaining,
};

struct LauncherState {
    InstallationState installation = InstallationState::none;
    Activity activity = Activity::idle;
    // From the press of Play, through the snapshot of the saves, until the game has exited.
    bool gameRunning = false;

    bool ready() const
    {
        return installation == InstallationState::ready || installation == InstallationState::outdated;
    }
    bool updateAvailable() const { return installation == InstallationState::outdated; }
    bool repairNeeded() const { return installation == InstallationState::needsRepair; }
    // Setup or repair runs, stopping or not.
    bool busy() const { return runsSetup() || runsRepair(); }
    bool stopping() const { return activity == Activity::stoppingSetup || activity == Activity::stoppingRepair; }
    // Setup, or repair (an update among them), runs, stopping or not.
    bool runsSetup() const { return activity == Activity::settingUp || activity == Activity::stoppingSetup; }
    bool runsRepair() const { return activity == Activity::repairing || activity == Activity::stoppingRepair; }
    bool checking() const { return activity == Activity::checking; }
    bool playing() const { return gameRunning; }
    bool maintaining() const { return activity == Activity::maintaining; }
    // Nothing runs: no setup, repair, check, game or menu action.
    bool idle() const { return activity == Activity::idle && !gameRunning; }

    bool operator==(const LauncherState&) const = default;
};

} // namespace launcher
