#pragma once
// The observable state of the desktop front end and its one bridge to the engine.
//
//   QtDesktopServices services;
//   LauncherModel model(services);              // the default root, the bundled guide
//   model.selectGame(); model.selectAudio(); model.setOwnsFiles(true);
//   model.install();                            // returns at once; watch `busy` and `status`
//   model.cancel();                             // stops it; `busy` ends with the stop's status
//   model.uninstall(&window);                   // asks over the window, then works; watch `state()`
//
// When the installation is recorded but incomplete (at start, after a failed
// setup, after a Play that meets it), the model offers repair instead: it checks
// the installation off the GUI thread (`checking`), tells what is damaged and
// what repair needs (`findings`), and repair() runs like setup.
//
// Every property changes, and every operation is called, on the GUI thread only.
// Setup, repair, the check, the launch, the watch over a running game and the menu's actions run
// on background threads that hold the model weakly and hand their results back
// to the GUI thread; work handed back to a model that is gone does nothing.
// Each property's change signal is emitted on every assignment, also when the
// value stays the same.

#include "app/FailureMessage.h"
#include "app/RepairRefusal.h"
#include "app/UninstallPlan.h"
#include "app/VerificationReport.h"
#include "core/Installation.h"
#include "core/SetupFailure.h"
#include "core/StopRequest.h"
#include "saves/SaveSnapshot.h"
#include "ui/DesktopServices.h"
#include "ui/LauncherState.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class QWidget;

namespace launcher {

class InstallLock;

struct LauncherSettings {
    // The engine's root folder; nullopt is the default root.
    std::optional<std::filesystem::path> root;
    // The machine the engine uses; tests stage one of their own.
    Host host = Host::system();
    // The setup guide document; nullopt looks for the one shipped with the program.
    std::optional<std::filesystem::path> guide;
    // The pins and sizes the engine trusts; only pictures of the window pass others.
    Constants constants = Constants::builtIn();
};

// How far the long work of a running setup or repair has got, in the command line's words.
struct SetupProgress {
    // "52% · 178 of 341 MB · 6.1 MB/s · 27 s left", "Unpacking · 12 s"; empty
    // while the step has reported nothing.
    QString text;
    // Done so far, between 0 and 1, when the size of the work is known.
    std::optional<double> fraction;
};

// What the check of an incomplete installation found, and what its repair takes.
struct RepairFindings {
    // One sentence for each damaged part, in the order of the check.
    QStringList damage;
    // Repair imports the game again, or installs the audio decoder from the
    // player's file again: the window asks for them.
    bool needsGame = false;
    bool needsAudio = false;
};

class LauncherModel final : public QObject {
    Q_OBJECT
    Q_PROPERTY(QUrl gameURL READ gameURL WRITE setGameURL NOTIFY gameURLChanged)
    Q_PROPERTY(QUrl audioURL READ audioURL WRITE setAudioURL NOTIFY audioURLChanged)
    Q_PROPERTY(bool checkingGame READ checkingGame NOTIFY checkingGameChanged)
    Q_PROPERTY(std::optional<QString> gameProblem READ gameProblem NOTIFY gameProblemChanged)
    Q_PROPERTY(bool ownsFiles READ ownsFiles WRITE setOwnsFiles NOTIFY ownsFilesChanged)
    Q_PROPERTY(bool busy READ busy NOTIFY busyChanged)
    Q_PROPERTY(bool playing READ playing NOTIFY playingChanged)
    Q_PROPERTY(bool ready READ ready NOTIFY readyChanged)
    Q_PROPERTY(QString status READ status NOTIFY statusChanged)
    Q_PROPERTY(std::optional<QString> error READ error NOTIFY errorChanged)
    Q_PROPERTY(QString errorDetails READ errorDetails NOTIFY errorDetailsChanged)
    Q_PROPERTY(launcher::SetupProgress progress READ progress NOTIFY progressChanged)
    Q_PROPERTY(launcher::RepairFindings findings READ findings NOTIFY findingsChanged)

public:
    // Decides `ready` and the first status from the disk; `services` must outlive the model.
    explicit LauncherModel(DesktopServices& services, LauncherSettings settings = {}, QObject* parent = nullptr);
    ~LauncherModel() override;

    // An empty URL means nothing is chosen.
    const QUrl& gameURL() const { return m_gameURL; }
    const QUrl& audioURL() const { return m_audioURL; }
    // The chosen game files are being read where they lie, as setup will take
    // them (checkGameSource), off the GUI thread.
    bool checkingGame() const { return m_checkingGame; }
    // Why setup would refuse the chosen game files, in the import's words;
    // nothing while they pass, are being checked or none are chosen.
    const std::optional<QString>& gameProblem() const { return m_gameProblem; }
    bool ownsFiles() const { return m_ownsFiles; }
    // Where the window stands, announced by stateChanged(); every flag below is
    // read from it, and the view reads the rest (stopping, checking, ...) from it too.
    const LauncherState& state() const { return m_state; }
    bool busy() const { return m_state.busy(); }
    bool playing() const { return m_state.playing(); }
    bool ready() const { return m_state.ready(); }
    // What an update downloads at most: both runtime archives.
    std::uint64_t updateDownloadSize() const;
    const QString& status() const { return m_status; }
    const std::optional<QString>& error() const { return m_error; }
    // What the system said about the error, when its sentence is the launcher's
    // retelling of it; empty otherwise.
    const QString& errorDetails() const { return m_errorDetails; }
    // The supervised work that runs is a repair (an update among them), not setup.
    bool repairing() const { return m_state.runsRepair(); }
    // The running setup's or repair's progress; empty when none runs.
    const SetupProgress& progress() const { return m_progress; }
    const RepairFindings& findings() const { return m_findings; }
    // Nothing runs: no setup, repair, check, game or menu action.
    bool idle() const { return m_state.idle(); }
    // A restore needs a ready installation, not one the repair panel offers to mend.
    bool mayRestoreSaves() const { return m_state.ready() && idle(); }
    // Both files are chosen, the game files have passed their check, ownership
    // is stated, no setup, check or menu action runs and no repair is offered.
    // A running game is no obstacle: the install lock answers for it.
    bool mayInstall() const
    {
        return gameAccepted() && !m_audioURL.isEmpty() && m_ownsFiles && m_state.activity == Activity::idle &&
               !m_state.repairNeeded();
    }
    // Repair is offered, no setup, check or menu action runs and the files it
    // needs are chosen, the game files passing their check.
    bool mayRepair() const
    {
        return m_state.repairNeeded() && m_state.activity == Activity::idle &&
               !(m_findings.needsGame && !gameAccepted()) && !(m_findings.needsAudio && m_audioURL.isEmpty());
    }
    // Which choice the error is about, when choosing other files mends it.
    std::optional<Selection> errorChoice() const { return m_errorChoice; }

    // The player's inputs; everything else follows from the model's own operations.
    // A game choice starts its check; an empty URL clears the choice.
    void setGameURL(const QUrl& value);
    void setAudioURL(const QUrl& value);
    void setOwnsFiles(bool value);

    // Shows the installation as reading the disk, and for one that needs
    // repair the check, would: its panel, findings and resting status, without
    // the disk or the check behind them and without touching work that runs.
    // For tests and pictures of the window; the next read of the disk undoes it.
    void showInstallation(InstallationState installation, RepairFindings findings = {});

    // Blocks until every background task of every model has ended; for shutdown and tests.
    static void waitForBackgroundWork();

public slots:
    void selectGame();
    void selectAudio();
    // Starts setup off the GUI thread when mayInstall(); otherwise does nothing at all.
    void install();
    // Starts repair off the GUI thread when mayRepair(); otherwise does nothing.
    void repair();
    // Runs the repair's runtime step off the GUI thread, with its progress and
    // Cancel, when an update is available and nothing else runs.
    void update();
    // Asks the running setup or repair to stop; it ends with "Setup was stopped
    // before it finished. Run it again to continue." as the status, or with
    // "Repair was stopped…" for a repair.
    void cancel();
    // Launches the game off the GUI thread, since the launch first takes a
    // snapshot of the saves, and keeps the install lock until the game's exit
    // is handled here. `playing` is set at once, so that a second press starts
    // nothing; it falls back when the launch fails, and a launch that meets an
    // incomplete installation offers repair. Does nothing while a check or a
    // menu action runs.
    void play();
    // Each opens its file, folder or page with the desktop's default
    // application and shows an error naming it when the desktop cannot.
    void openGuide();
    void openGameDownload();
    void openLogs();
    void openSaves();

    // The application menu's actions. Each starts only while idle() (a restore
    // also needs a ready installation) and otherwise does nothing at all; it
    // asks what it needs in dialogs over `window`, then works off the GUI
    // thread with `maintaining` set and its status line shown. The engine's
    // refusals, such as the lock another launcher holds, become the error.
    //
    // Lists the snapshots of the saves and restores the chosen one once the
    // player confirms; the saves it replaces become a snapshot of their own.
    void restoreSaves(QWidget* window);
    // Removes what the launcher made, keeping the saves if the player chooses
    // to, and returns the window to its first start.
    void uninstall(QWidget* window);
    // Writes the archive for a bug report where the player chooses.
    void saveDiagnostics(QWidget* window);
    // After keptSavesFound: asks whether to restore the saves an earlier
    // installation kept ("Restore the saves you kept on DATE?") and restores
    // them as Restore Saves… does once the player agrees. Asks once per setup.
    void offerKeptSaves(QWidget* window);

signals:
    void gameURLChanged();
    void audioURLChanged();
    void checkingGameChanged();
    void gameProblemChanged();
    void ownsFilesChanged();
    // Where the window stands changed: any of its parts.
    void stateChanged();
    void busyChanged();
    void playingChanged();
    void readyChanged();
    void statusChanged();
    void errorChanged();
    void errorDetailsChanged();
    void progressChanged();
    void findingsChanged();
    // A setup has ended, and an earlier installation's saves are kept in a
    // snapshot: the window calls offerKeptSaves().
    void keptSavesFound();

private:
    // Assigns and announces; the change signal goes out on every assignment,
    // also when the value stays the same.
    template <typename Value, typename Given>
    void assign(Value& member, Given&& value, void (LauncherModel::*changed)())
    {
        member = std::forward<Given>(value);
        emit(this->*changed)();
    }

    // Sets where the window stands and announces each derived flag that changed.
    void setState(LauncherState state);
    void setActivity(Activity activity) { setState({m_state.installation, activity, m_state.gameRunning}); }
    void setInstallation(InstallationState installation)
    {
        setState({installation, m_state.activity, m_state.gameRunning});
    }
    void setGameRunning(bool running) { setState({m_state.installation, m_state.activity, running}); }

    // How work off the GUI thread failed, told on its own thread in the window's words.
    struct WorkFailure {
        // The failure's sentence and details, or the stop's sentence.
        FailureMessage message;
        // The player asked for the stop: not an error, and running it again continues.
        bool stopped = false;
        // The work met a recorded installation that is incomplete, which repair mends.
        bool incomplete = false;
        // A repair refused before it changed anything, and what it needs.
        std::optional<RepairNeed> refusal;
        // The player's choice that the work refused.
        std::optional<Selection> refusedChoice;
    };
    // What the GUI thread does once the work has succeeded, or failed.
    using Finish = std::function<void(LauncherModel&)>;
    using Failed = std::function<void(LauncherModel&, const WorkFailure&)>;
    // The work gets an engine of its own and the model, held weakly, for what
    // it hands back before it ends.
    using Work = std::function<Finish(const Installation&, const QPointer<LauncherModel>&)>;
    // The one way work leaves the GUI thread: makes an engine for the model's
    // root and machine (its status lines shown as steps when `showSteps`, its
    // progress and stop request from `supervision`), runs `work` with it and
    // hands its Finish, or its failure to `failed`, back to the GUI thread.
    void inBackground(bool showSteps, Supervision supervision, Work work, Failed failed);
    // The status callback of such an engine: each line is carried to the GUI
    // thread in order and shown as the current step.
    static Report statusLines(QPointer<LauncherModel> model);
    void showError(const QString& sentence, const QString& details = {});
    void showError(const WorkFailure& failure);
    bool gameAccepted() const { return !m_gameURL.isEmpty() && !m_checkingGame && !m_gameProblem; }
    void checkGame();
    void finishGameCheck(const QUrl& checked, const std::optional<QString>& problem);
    // After a change of the choices: a status that said what to do next says it again.
    void followChoices();
    void clearError();
    void clearErrorForNewChoice();
    // The status of a fresh start with the same installation.
    QString restingStatus() const;
    void gameStarted(std::unique_ptr<InstallLock> lock, const std::optional<std::string>& snapshotFailure,
                     const std::vector<std::string>& snapshotLeftOut);
    void launchFailed(const WorkFailure& failure, const QString& statusBefore);
    void finishGame(int terminationStatus);
    // Runs a menu action's `work` off the GUI thread, with `maintaining` set
    // and `status` showing until the engine reports its own lines; then
    // `finish`, or the failure as the error.
    void maintain(const QString& status, std::function<Finish(const Installation&)> work);
    void offerSnapshots(const std::vector<SaveSnapshot>& snapshots, QWidget* window);
    void restoreSnapshot(const SaveSnapshot& snapshot);
    // Asks whether to uninstall, naming what goes with its `sizes` by entry name, then uninstalls.
    void confirmUninstall(const UninstallPlan& keepingSaves, const UninstallPlan& removingAll,
                          const std::map<std::string, std::uintmax_t>& sizes, QWidget* window);
    void finishUninstall(const UninstallReport& report);
    void open(const QUrl& url);
    // Runs the panel; the chosen item, possibly none, or nullopt when cancelled.
    std::optional<QUrl> choose(OpenPanel panel);

    QUrl m_gameURL;
    bool m_checkingGame = false;
    std::optional<QString> m_gameProblem;
    std::optional<Selection> m_errorChoice;
    QUrl m_audioURL;
    bool m_ownsFiles = false;
    LauncherState m_state;
    QString m_status;
    std::optional<QString> m_error;
    QString m_errorDetails;
    std::unique_ptr<InstallLock> m_playLock;
    Installation m_installation;
    DesktopServices& m_services;
    std::optional<std::filesystem::path> m_guide;
    // Where the last choice in a panel was made; empty before the first.
    QString m_panelFolder;
    // Found by the setup that just ended, until offered.
    std::optional<SaveSnapshot> m_keptSaves;

    // Setup and repair: supervised work off the GUI thread, and the check
    // that decides what repair redoes.
    // Marks the model busy with `run` (setting up or repairing) and runs
    // `work` with an engine whose status lines, progress and stop request
    // reach this model; what `work` returns, if anything, runs once the model
    // shows the work ended.
    void startSupervised(Activity run, std::function<Finish(const Installation&)> work);
    void showStep(const QString& line);
    void showProgress(const SetupProgress& progress);
    void finishSupervised();
    void supervisedFailed(Activity run, const WorkFailure& failure);
    void finishFailedSetup(const WorkFailure& failure);
    void finishFailedRepair(const WorkFailure& failure);
    // Shows the repair panel in place of the others and checks what it must redo.
    void offerRepair();
    // A complete installation as it stands: ready, or outdated when its runtime is not the launcher's.
    InstallationState installed() const;
    // Shows what the disk holds after work that may have changed it: a ready
    // installation, none, or an incomplete one, whose repair is offered unless
    // it already is.
    void readInstallation();
    void checkInstallation();
    void finishCheck(const VerificationReport& report);
    void checkFailed(const WorkFailure& failure);

    SetupProgress m_progress;
    RepairFindings m_findings;
    // The request of the running setup or repair; a fresh one for each run.
    StopRequest m_stop;
};

} // namespace launcher
