#include "ui/LauncherModel.h"

#include "app/GameLaunch.h"
#include "app/Repair.h"
#include "app/RepairRefusal.h"
#include "app/Setup.h"
#include "app/VerificationReport.h"
#include "app/Verify.h"
#include "core/IncompleteInstallation.h"
#include "import/GameSourceCheck.h"
#include "runtime/RuntimeUpdate.h"
#include "saves/KeptSaves.h"
#include "saves/SaveSnapshot.h"
#include "ui/GuiThread.h"
#include "ui/GuideLocation.h"
#include "ui/WindowTexts.h"

#include <QDir>
#include <QFileInfo>
#include <QThreadPool>

#include <exception>
#include <system_error>
#include <utility>

namespace launcher {
namespace {

// The install page of the community site that distributes the game.
const char* const kGameDownloadAddress = "https://projectkestrane.org/install/";

const OpenPanel kGamePanel{
    .title = "Choose your Veyra 2 files",
    .message = texts::kGamePanelMessage,
    .canChooseDirectories = true,
    .canChooseFiles = true,
};
const OpenPanel kAudioPanel{
    .title = "Choose your Microsoft audio package",
    .message = texts::kAudioPanelMessage,
    .canChooseDirectories = false,
    .canChooseFiles = true,
};

// Setup, repair, the check, launches, the game watch and the menu's actions.
// The pool outlives every model and is drained before the application object
// goes, so handed-back work always finds it.
QThreadPool& backgroundPool()
{
    static QThreadPool pool;
    return pool;
}

std::filesystem::path localPath(const QUrl& url)
{
    return url.toLocalFile().toStdString();
}

QUrl fileUrl(const std::filesystem::path& path)
{
    return QUrl::fromLocalFile(QString::fromStdString(path.string()));
}

// The window's message for a failure; what the system said goes to the setup
// log too, beside the output of the programs that setup ran.
FailureMessage describe(const std::exception& failure, const std::filesystem::path& log)
{
    FailureMessage message = failureMessage(failure, FrontEnd::window);
    if (!message.details.empty())
        appendToLog(log, "Veyra 2 Mac Launcher: " + message.sentence + " (" + failure.what() + ")");
    return message;
}

} // namespace

LauncherModel::LauncherModel(DesktopServices& services, LauncherSettings settings, QObject* parent)
    : QObject(parent)
    , m_installation(std::move(settings.root), {}, std::move(settings.host), std::move(settings.constants))
    , m_services(services)
    , m_guide(std::move(settings.guide))
{
    readInstallation();
}

LauncherModel::~LauncherModel()
{
    // Nobody is left to hear how a running setup ends: it stops, and ends
    // the programs it started.
    m_stop.request();
}

void LauncherModel::waitForBackgroundWork()
{
    backgroundPool().waitForDone();
}

void LauncherModel::selectGame()
{
    if (const auto chosen = choose(kGamePanel)) {
        setGameURL(*chosen);
        clearErrorForNewChoice();
    }
}

void LauncherModel::selectAudio()
{
    if (const auto chosen = choose(kAudioPanel)) {
        setAudioURL(*chosen);
        clearErrorForNewChoice();
    }
}

std::optional<QUrl> LauncherModel::choose(OpenPanel panel)
{
    // The player's files tend to lie together: the panel opens where the last
    // choice was made, never in whatever folder the program was started from.
    panel.directory = QFileInfo(m_panelFolder).isDir() ? m_panelFolder : QDir::homePath();
    const PanelChoice choice = m_services.choose(panel);
    if (!choice.confirmed)
        return std::nullopt;
    if (!choice.url.isEmpty())
        m_panelFolder = QFileInfo(QDir::cleanPath(choice.url.toLocalFile())).absolutePath();
    return choice.url;
}

Report LauncherModel::statusLines(QPointer<LauncherModel> model)
{
    return [model](const std::string& line) {
        handBack(model, [text = QString::fromStdString(line)](LauncherModel& target) { target.showStep(text); });
    };
}

void LauncherModel::install()
{
    if (!mayInstall())
        return;
    startSupervised(
        Activity::settingUp,
        [game = localPath(m_gameURL), audio = localPath(m_audioURL)](const Installation& installation) -> Finish {
            launcher::install(installation, game, audio, std::nullopt);
            std::optional<SaveSnapshot> kept;
            try {
                kept = newestKeptSnapshot(installation);
            } catch (const std::exception&) {
                // Setup has succeeded; Restore Saves… tells what keeps the snapshots from being read.
            }
            if (!kept)
                return {};
            return [snapshot = *kept](LauncherModel& target) {
                target.m_keptSaves = snapshot;
                emit target.keptSavesFound();
            };
        });
}

void LauncherModel::play()
{
    if (m_state.playing() || m_state.checking() || m_state.maintaining())
        return;
    clearError();
    setGameRunning(true);
    const QString statusBefore = m_status;
    assign(m_status, QString(texts::kStartingStatus), &LauncherModel::statusChanged);

    inBackground(
        false, {},
        [](const Installation& installation, const QPointer<LauncherModel>& model) -> Finish {
            LaunchedGame launched = launcher::launch(installation, false);
            // The lock goes with the handed-back work, so that a model that is
            // gone by then releases it with that work; the game is still waited for here.
            handBack(model, [lock = std::move(launched.lock), note = launched.snapshotFailure,
                             leftOut = launched.snapshotLeftOut](LauncherModel& target) mutable {
                target.gameStarted(std::move(lock), note, leftOut);
            });
            const int terminationStatus = launched.process.wait();
            return [terminationStatus](LauncherModel& target) { target.finishGame(terminationStatus); };
        },
        [statusBefore](LauncherModel& target, const WorkFailure& failure) {
            target.launchFailed(failure, statusBefore);
        });
}

void LauncherModel::gameStarted(std::unique_ptr<InstallLock> lock, const std::optional<std::string>& snapshotFailure,
                                const std::vector<std::string>& snapshotLeftOut)
{
    m_playLock = std::move(lock);
    // The game's process runs from here on, whatever its window still takes to show.
    QString status = texts::kRunningStatus;
    if (snapshotFailure)
        status += ' ' + QString::fromStdString(snapshotFailureNote(*snapshotFailure, FrontEnd::window));
    for (const std::string& leftOut : snapshotLeftOut)
        status += " " + QString::fromStdString(leftOut);
    assign(m_status, status, &LauncherModel::statusChanged);
}

void LauncherModel::launchFailed(const WorkFailure& failure, const QString& statusBefore)
{
    setGameRunning(false);
    // An incomplete installation is repair's to mend; its panel tells of it.
    if (failure.incomplete) {
        offerRepair();
        return;
    }
    assign(m_status, statusBefore, &LauncherModel::statusChanged);
    showError(failure);
}

void LauncherModel::finishGame(int terminationStatus)
{
    setGameRunning(false);
    // Dropping the lock object releases the install lock for setup and other launchers.
    m_playLock.reset();
    assign(m_status, QString(texts::kReadyStatus), &LauncherModel::statusChanged);
    if (terminationStatus != 0)
        showError(texts::kUnexpectedExit);
}

void LauncherModel::maintain(const QString& status, std::function<Finish(const Installation&)> work)
{
    clearError();
    setActivity(Activity::maintaining);
    assign(m_status, status, &LauncherModel::statusChanged);

    inBackground(
        true, {},
        [work = std::move(work)](const Installation& installation, const QPointer<LauncherModel>&) {
            Finish finish = work(installation);
            return [finish = std::move(finish)](LauncherModel& target) {
                target.setActivity(Activity::idle);
                finish(target);
            };
        },
        [](LauncherModel& target, const WorkFailure& failure) {
            target.setActivity(Activity::idle);
            // The work may have changed the installation all the same: an
            // uninstall cut short has removed the record first.
            target.readInstallation();
            target.showError(failure);
        });
}

void LauncherModel::inBackground(bool showSteps, Supervision supervision, Work work, Failed failed)
{
    backgroundPool().start([root = m_installation.root(), host = m_installation.host(),
                            constants = m_installation.constants(), showSteps, supervision = std::move(supervision),
                            work = std::move(work), failed = std::move(failed), model = QPointer(this)]() mutable {
        const Installation installation(root, showSteps ? statusLines(model) : Report{}, host, constants,
                                        std::move(supervision));
        Finish finish;
        WorkFailure failure;
        try {
            finish = work(installation, model);
        } catch (const SetupStopped& stopped) {
            failure.stopped = true;
            failure.message.sentence = stopped.what();
        } catch (const std::exception& caught) {
            failure.message = describe(caught, installation.log());
            failure.incomplete = dynamic_cast<const IncompleteInstallation*>(&caught) != nullptr;
            if (const auto* refusal = dynamic_cast<const RepairRefusal*>(&caught))
                failure.refusal = refusal->need();
            if (const auto* refused = dynamic_cast<const SelectionRefused*>(&caught))
                failure.refusedChoice = refused->selection();
        }
        if (finish)
            handBack(model, std::move(finish));
        else
            handBack(model, [failed = std::move(failed), failure](LauncherModel& target) { failed(target, failure); });
    });
}

void LauncherModel::setState(LauncherState state)
{
    const LauncherState before = std::exchange(m_state, state);
    if (before == m_state)
        return;
    emit stateChanged();
    // The properties named for their own watchers: the work first, then the
    // installation, so that whoever follows the installation finds the work
    // that changed it ended.
    const std::pair<bool (LauncherState::*)() const, void (LauncherModel::*)()> flags[] = {
        {&LauncherState::busy, &LauncherModel::busyChanged},
        {&LauncherState::playing, &LauncherModel::playingChanged},
        {&LauncherState::ready, &LauncherModel::readyChanged},
    };
    for (const auto& [flag, changed] : flags)
        if ((before.*flag)() != (m_state.*flag)())
            emit(this->*changed)();
}

void LauncherModel::showError(const QString& sentence, const QString& details)
{
    m_errorChoice.reset();
    // The details first, so that whoever follows the error finds them in place.
    assign(m_errorDetails, details, &LauncherModel::errorDetailsChanged);
    assign(m_error, sentence, &LauncherModel::errorChanged);
}

void LauncherModel::showError(const WorkFailure& failure)
{
    // Set first, so that whoever follows the error finds which choice it is about.
    m_errorChoice = failure.refusedChoice;
    assign(m_errorDetails, QString::fromStdString(failure.message.details), &LauncherModel::errorDetailsChanged);
    assign(m_error, QString::fromStdString(failure.message.sentence), &LauncherModel::errorChanged);
}

void LauncherModel::clearError()
{
    m_errorChoice.reset();
    assign(m_error, std::nullopt, &LauncherModel::errorChanged);
    assign(m_errorDetails, QString(), &LauncherModel::errorDetailsChanged);
}

void LauncherModel::clearErrorForNewChoice()
{
    // The status that told of the error goes with it, back to what a fresh
    // start shows; one that tells of running work stays.
    const bool hadError = m_error.has_value();
    clearError();
    if (hadError && idle())
        assign(m_status, restingStatus(), &LauncherModel::statusChanged);
}

QString LauncherModel::restingStatus() const
{
    if (m_state.ready())
        return texts::kReadyStatus;
    if (m_checkingGame)
        return texts::kLookingAtGameStatus;
    if (m_state.repairNeeded())
        return texts::kNeedsRepairStatus;
    return gameAccepted() && !m_audioURL.isEmpty() && m_ownsFiles ? texts::kReadyToSetUpStatus : texts::kFirstStatus;
}

void LauncherModel::followChoices()
{
    const bool toldWhatIsNext = m_status == texts::kFirstStatus || m_status == texts::kReadyToSetUpStatus ||
                                m_status == texts::kLookingAtGameStatus || m_status == texts::kNeedsRepairStatus;
    if (toldWhatIsNext && idle() && m_status != restingStatus())
        assign(m_status, restingStatus(), &LauncherModel::statusChanged);
}

void LauncherModel::setGameURL(const QUrl& value)
{
    assign(m_gameURL, value, &LauncherModel::gameURLChanged);
    checkGame();
    followChoices();
}

void LauncherModel::setAudioURL(const QUrl& value)
{
    assign(m_audioURL, value, &LauncherModel::audioURLChanged);
    followChoices();
}

void LauncherModel::setOwnsFiles(bool value)
{
    assign(m_ownsFiles, value, &LauncherModel::ownsFilesChanged);
    followChoices();
}

// Reads the chosen game files as setup will, so that a wrong choice shows on
// its row at once and setup is not offered for it. A check that ends after
// another choice was made tells nothing.
void LauncherModel::checkGame()
{
    assign(m_gameProblem, std::nullopt, &LauncherModel::gameProblemChanged);
    assign(m_checkingGame, !m_gameURL.isEmpty(), &LauncherModel::checkingGameChanged);
    if (m_gameURL.isEmpty())
        return;
    const QUrl checked = m_gameURL;
    inBackground(
        false, {},
        [game = localPath(checked), checked](const Installation& installation,
                                             const QPointer<LauncherModel>&) -> Finish {
            checkGameSource(installation, game);
            return [checked](LauncherModel& target) { target.finishGameCheck(checked, std::nullopt); };
        },
        [checked](LauncherModel& target, const WorkFailure& failure) {
            target.finishGameCheck(checked, QString::fromStdString(failure.message.sentence));
        });
}

void LauncherModel::finishGameCheck(const QUrl& checked, const std::optional<QString>& problem)
{
    if (checked != m_gameURL)
        return;
    // The problem first, so that whoever follows the check's end finds it.
    assign(m_gameProblem, problem, &LauncherModel::gameProblemChanged);
    assign(m_checkingGame, false, &LauncherModel::checkingGameChanged);
    followChoices();
}

void LauncherModel::open(const QUrl& url)
{
    if (m_services.open(url))
        return;
    // Named in full, so that the player can find it without the launcher.
    if (url.isLocalFile())
        showError(QString(texts::kCannotOpenFile).arg(QDir::toNativeSeparators(url.toLocalFile())));
    else
        showError(QString(texts::kCannotOpenPage).arg(url.toString()));
}

void LauncherModel::openGuide()
{
    const auto guide = m_guide ? m_guide : bundledGuide();
    std::error_code error;
    if (guide && std::filesystem::exists(*guide, error))
        open(fileUrl(*guide));
}

void LauncherModel::openGameDownload()
{
    const QUrl address(kGameDownloadAddress, QUrl::StrictMode);
    if (address.isValid())
        open(address);
}

void LauncherModel::openLogs()
{
    const auto logs = m_installation.layout().logs();
    try {
        m_installation.makeDirectory(logs);
    } catch (const std::exception&) {
        // The folder is opened all the same; the desktop says what it makes of it.
    }
    open(fileUrl(logs));
}

void LauncherModel::openSaves()
{
    open(fileUrl(m_installation.layout().users()));
}

// Setup and repair ----------------------------------------------------------

void LauncherModel::startSupervised(Activity run, std::function<Finish(const Installation&)> work)
{
    clearError();
    m_stop = StopRequest();
    assign(m_progress, SetupProgress{}, &LauncherModel::progressChanged);
    setActivity(run);

    const QPointer model(this);
    inBackground(
        true,
        {.progress =
             [model](const Progress& progress) {
                 // The command line indents its progress line; the window's stands on its own.
                 const SetupProgress shown{QString::fromStdString(progressText(progress)).trimmed(),
                                           progress.fraction()};
                 handBack(model, [shown](LauncherModel& target) { target.showProgress(shown); });
             },
         .stop = m_stop},
        [work = std::move(work)](const Installation& installation, const QPointer<LauncherModel>&) -> Finish {
            Finish then = work(installation);
            return [then = std::move(then)](LauncherModel& target) {
                target.finishSupervised();
                if (then)
                    then(target);
            };
        },
        [run](LauncherModel& target, const WorkFailure& failure) { target.supervisedFailed(run, failure); });
}

// A new step: its status line, and no progress until it reports its own.
// Once a stop is asked for, the status says so until the run has ended.
void LauncherModel::showStep(const QString& line)
{
    if (m_state.stopping())
        return;
    assign(m_progress, SetupProgress{}, &LauncherModel::progressChanged);
    assign(m_status, line, &LauncherModel::statusChanged);
}

void LauncherModel::showProgress(const SetupProgress& progress)
{
    if (!m_state.stopping())
        assign(m_progress, progress, &LauncherModel::progressChanged);
}

void LauncherModel::cancel()
{
    if (!m_state.busy() || m_state.stopping())
        return;
    m_stop.request();
    const bool repair = m_state.runsRepair();
    setActivity(repair ? Activity::stoppingRepair : Activity::stoppingSetup);
    assign(m_progress, SetupProgress{}, &LauncherModel::progressChanged);
    assign(m_status, QString(repair ? texts::kStoppingRepairStatus : texts::kStoppingSetupStatus),
           &LauncherModel::statusChanged);
}

void LauncherModel::finishSupervised()
{
    assign(m_progress, SetupProgress{}, &LauncherModel::progressChanged);
    assign(m_findings, RepairFindings{}, &LauncherModel::findingsChanged);
    setState({installed(), Activity::idle, m_state.gameRunning});
    assign(m_status, QString(texts::kReadyStatus), &LauncherModel::statusChanged);
}

void LauncherModel::supervisedFailed(Activity run, const WorkFailure& failure)
{
    assign(m_progress, SetupProgress{}, &LauncherModel::progressChanged);
    setActivity(Activity::idle);
    if (failure.stopped) {
        // Not an error: the player asked for it, and running it again continues.
        const QString stopped =
            run == Activity::settingUp ? QString::fromStdString(failure.message.sentence) : texts::kRepairStoppedStatus;
        assign(m_status, stopped, &LauncherModel::statusChanged);
        return;
    }
    if (run == Activity::settingUp)
        finishFailedSetup(failure);
    else
        finishFailedRepair(failure);
}

void LauncherModel::finishFailedSetup(const WorkFailure& failure)
{
    // A recorded installation that is incomplete is repair's to mend, not
    // setup's; its panel says so, so the refusal itself need not be shown.
    if (m_installation.hasRecord() && !m_installation.isInstalled()) {
        if (!failure.incomplete)
            showError(failure);
        offerRepair();
        return;
    }
    showError(failure);
    assign(m_status, QString(texts::kSetupFailedStatus), &LauncherModel::statusChanged);
}

void LauncherModel::finishFailedRepair(const WorkFailure& failure)
{
    showError(failure);
    if (failure.refusal == RepairNeed::installation) {
        // The record has gone: there is nothing to repair, and setup is the way on.
        assign(m_findings, RepairFindings{}, &LauncherModel::findingsChanged);
        setInstallation(InstallationState::none);
        assign(m_status, restingStatus(), &LauncherModel::statusChanged);
        return;
    }
    if (failure.refusal) {
        // Repair found more to redo than the check before it: ask for what it needs.
        RepairFindings findings = m_findings;
        findings.needsGame |= *failure.refusal == RepairNeed::game || *failure.refusal == RepairNeed::gameAndAudio;
        findings.needsAudio |= *failure.refusal == RepairNeed::audio || *failure.refusal == RepairNeed::gameAndAudio;
        assign(m_findings, findings, &LauncherModel::findingsChanged);
    }
    assign(m_status, QString(texts::kRepairFailedStatus), &LauncherModel::statusChanged);
}

void LauncherModel::repair()
{
    if (!mayRepair())
        return;
    // Only what repair needs: a file it would not use is not checked either.
    RepairSources sources;
    if (m_findings.needsGame)
        sources.game = localPath(m_gameURL);
    if (m_findings.needsAudio)
        sources.audio = localPath(m_audioURL);
    startSupervised(Activity::repairing, [sources](const Installation& installation) -> Finish {
        launcher::repair(installation, sources);
        return {};
    });
}

void LauncherModel::update()
{
    if (!m_state.updateAvailable() || !idle())
        return;
    // An outdated runtime is the only finding of a sound installation, so the
    // repair redoes the runtime step alone and needs none of the player's files.
    startSupervised(Activity::repairing, [](const Installation& installation) -> Finish {
        launcher::repair(installation, {});
        return {};
    });
}

std::uint64_t LauncherModel::updateDownloadSize() const
{
    return m_installation.constants().engine.expectedSize + m_installation.constants().libraries.expectedSize;
}

InstallationState LauncherModel::installed() const
{
    return runtimeUpdateAvailable(m_installation) ? InstallationState::outdated : InstallationState::ready;
}

void LauncherModel::offerRepair()
{
    // Besides an uninstall, the one way back from ready: the installed panel
    // gives way to the repair panel.
    setInstallation(InstallationState::needsRepair);
    checkInstallation();
}

void LauncherModel::readInstallation()
{
    const bool isInstalled = m_installation.isInstalled();
    const bool incomplete = !isInstalled && m_installation.hasRecord();
    if (incomplete && !m_state.repairNeeded()) {
        offerRepair();
        return;
    }
    if (!incomplete) {
        assign(m_findings, RepairFindings{}, &LauncherModel::findingsChanged);
        setInstallation(isInstalled ? installed() : InstallationState::none);
    }
    assign(m_status, restingStatus(), &LauncherModel::statusChanged);
}

void LauncherModel::showInstallation(InstallationState installation, RepairFindings findings)
{
    assign(m_findings, std::move(findings), &LauncherModel::findingsChanged);
    setInstallation(installation);
    assign(m_status, restingStatus(), &LauncherModel::statusChanged);
}

void LauncherModel::checkInstallation()
{
    assign(m_findings, RepairFindings{}, &LauncherModel::findingsChanged);
    setActivity(Activity::checking);
    assign(m_status, QString(texts::kCheckingStatus), &LauncherModel::statusChanged);

    // The check waits for up to two wine calls.
    inBackground(
        false, {},
        [](const Installation& installation, const QPointer<LauncherModel>&) -> Finish {
            return [report = launcher::verify(installation)](LauncherModel& target) { target.finishCheck(report); };
        },
        [](LauncherModel& target, const WorkFailure& failure) { target.checkFailed(failure); });
}

// What the check found first, then its end, which the view follows with the focus.
void LauncherModel::finishCheck(const VerificationReport& report)
{
    if (const bool mended = report.sound() && m_installation.isInstalled(); !report.recorded || mended) {
        // Another launcher has removed the record, or mended the installation, meanwhile.
        setInstallation(mended ? installed() : InstallationState::none);
        assign(m_status, restingStatus(), &LauncherModel::statusChanged);
        setActivity(Activity::idle);
        return;
    }
    RepairFindings findings{.needsGame = report.plan.needsGame(), .needsAudio = report.plan.needsAudio()};
    for (const VerificationLine& line : report.lines)
        if (line.problem)
            findings.damage << QString::fromStdString(*line.problem);
    assign(m_findings, findings, &LauncherModel::findingsChanged);
    assign(m_status, restingStatus(), &LauncherModel::statusChanged);
    setActivity(Activity::idle);
}

void LauncherModel::checkFailed(const WorkFailure& failure)
{
    // The panel stays: repair checks again when it starts.
    showError(failure);
    assign(m_status, restingStatus(), &LauncherModel::statusChanged);
    setActivity(Activity::idle);
}

} // namespace launcher
