#include "ui/LauncherModel.h"

#include "app/IncompleteInstallation.h"
#include "app/RepairRefusal.h"
#include "runtime/RuntimeUpdate.h"
#include "ui/GuideLocation.h"
#include "ui/GuiThread.h"

#include <QDir>
#include <QFileInfo>
#include <QThreadPool>

#include <exception>
#include <system_error>
#include <utility>

namespace launcher {
namespace {

const char* const kFirstStatus = "Select your files to get started.";
const char* const kReadyStatus = "Your installation is ready.";
const char* const kSetupFailedStatus = "Setup needs attention. Your source files are unchanged.";
const char* const kStartingStatus = "Veyra 2 is starting. The first launch can take a few minutes.";
// The game starts all the same; the game log tells what kept the snapshot from being taken.
const char* const kNoSnapshotNote = " Your saves could not be backed up before this start: Open Logs for details.";
const char* const kUnexpectedExit = "Veyra 2 exited unexpectedly. Open Logs for details.";
const char* const kCannotOpenFile = "Veyra 2 could not open %1. Open it by hand from your file manager.";
const char* const kCannotOpenPage = "Veyra 2 could not open %1. Open it by hand in your web browser.";
const char* const kStoppingStatus = "Stopping setup. This can take a few seconds.";
const char* const kCheckingStatus = "Checking your installation…";
const char* const kNeedsRepairStatus = "Your installation needs repair.";
const char* const kRepairFailedStatus = "Repair needs attention. Your saves are unchanged.";

// The install page of the community site that distributes the game.
const char* const kGameDownloadAddress = "https://projectkestrane.org/install/";

const OpenPanel kGamePanel{
    .title = "Choose your Veyra 2 files",
    .message = "Select vy2pc_data.bin, the installer ZIP, or a complete Project Kestrane game folder.",
    .canChooseDirectories = true,
    .canChooseFiles = true,
};
const OpenPanel kAudioPanel{
    .title = "Choose your Microsoft audio package",
    .message = "Select the supported MPSetup.exe package or WMADMOD.DLL from your licensed files. See Setup "
               "Guide for details.",
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
    FailureMessage message = failureMessage(failure);
    if (!message.details.empty())
        appendToLog(log, "Veyra 2 Mac Launcher: " + message.details);
    return message;
}

} // namespace

LauncherModel::LauncherModel(DesktopServices& services, LauncherSettings settings, QObject* parent)
    : QObject(parent)
    , m_installer(std::move(settings.root), {}, std::move(settings.host), std::move(settings.constants))
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
    startSupervised(Run::setup,
                    [game = localPath(m_gameURL), audio = localPath(m_audioURL)](const Installer& installer) {
                        installer.install(game, audio, std::nullopt);
                    });
}

void LauncherModel::play()
{
    if (m_playing || m_checking || m_maintaining)
        return;
    clearError();
    assign(m_playing, true, &LauncherModel::playingChanged);
    const QString statusBefore = m_status;
    assign(m_status, QString(kStartingStatus), &LauncherModel::statusChanged);

    backgroundPool().start([engine = engineSettings(), model = QPointer(this), statusBefore] {
        const Installer installer = engine.make();
        std::optional<LaunchedGame> launched;
        try {
            launched.emplace(installer.launch(false));
        } catch (const std::exception& caught) {
            handBack(model, [failure = describe(caught, installer.log()),
                             incomplete = dynamic_cast<const IncompleteInstallation*>(&caught) != nullptr,
                             statusBefore](LauncherModel& target) {
                target.launchFailed(failure, incomplete, statusBefore);
            });
            return;
        }
        // The lock goes with the handed-back work, so that a model that is gone
        // by then releases it with that work; the game is still waited for here.
        handBack(model, [lock = std::move(launched->lock),
                         note = launched->snapshotFailure](LauncherModel& target) mutable {
            target.gameStarted(std::move(lock), note);
        });
        const int terminationStatus = launched->process.wait();
        handBack(model, [terminationStatus](LauncherModel& target) { target.finishGame(terminationStatus); });
    });
}

void LauncherModel::gameStarted(std::unique_ptr<InstallLock> lock, const std::optional<std::string>& snapshotFailure)
{
    m_playLock = std::move(lock);
    if (snapshotFailure)
        assign(m_status, QString(kStartingStatus) + kNoSnapshotNote, &LauncherModel::statusChanged);
}

void LauncherModel::launchFailed(const FailureMessage& failure, bool incomplete, const QString& statusBefore)
{
    assign(m_playing, false, &LauncherModel::playingChanged);
    // An incomplete installation is repair's to mend; its panel tells of it.
    if (incomplete) {
        offerRepair();
        return;
    }
    assign(m_status, statusBefore, &LauncherModel::statusChanged);
    showError(failure);
}

void LauncherModel::finishGame(int terminationStatus)
{
    assign(m_playing, false, &LauncherModel::playingChanged);
    // Dropping the lock object releases the install lock for setup and other launchers.
    m_playLock.reset();
    assign(m_status, QString(kReadyStatus), &LauncherModel::statusChanged);
    if (terminationStatus != 0)
        showError(kUnexpectedExit);
}

void LauncherModel::maintain(const QString& status, std::function<Finish(const Installer&)> work)
{
    clearError();
    assign(m_maintaining, true, &LauncherModel::maintainingChanged);
    assign(m_status, status, &LauncherModel::statusChanged);

    backgroundPool().start([engine = engineSettings(), model = QPointer(this), work = std::move(work)] {
        const Installer installer = engine.make(statusLines(model));
        Finish finish;
        std::optional<FailureMessage> failure;
        try {
            finish = work(installer);
        } catch (const std::exception& caught) {
            failure = describe(caught, installer.log());
        }
        handBack(model, [finish = std::move(finish), failure](LauncherModel& target) {
            target.assign(target.m_maintaining, false, &LauncherModel::maintainingChanged);
            if (!failure) {
                finish(target);
                return;
            }
            // The work may have changed the installation all the same: an
            // uninstall cut short has removed the record first.
            target.readInstallation();
            target.showError(*failure);
        });
    });
}

void LauncherModel::showError(const QString& sentence, const QString& details)
{
    // The details first, so that whoever follows the error finds them in place.
    assign(m_errorDetails, details, &LauncherModel::errorDetailsChanged);
    assign(m_error, sentence, &LauncherModel::errorChanged);
}

void LauncherModel::showError(const FailureMessage& failure)
{
    showError(QString::fromStdString(failure.sentence), QString::fromStdString(failure.details));
}

void LauncherModel::clearError()
{
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
    if (m_ready)
        return kReadyStatus;
    return m_repairNeeded ? kNeedsRepairStatus : kFirstStatus;
}

void LauncherModel::open(const QUrl& url)
{
    if (m_services.open(url))
        return;
    // Named in full, so that the player can find it without the launcher.
    if (url.isLocalFile())
        showError(QString(kCannotOpenFile).arg(QDir::toNativeSeparators(url.toLocalFile())));
    else
        showError(QString(kCannotOpenPage).arg(url.toString()));
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
    const auto logs = m_installer.layout().logs();
    try {
        m_installer.makeDirectory(logs);
    } catch (const std::exception&) {
        // The folder is opened all the same; the desktop says what it makes of it.
    }
    open(fileUrl(logs));
}

void LauncherModel::openSaves()
{
    open(fileUrl(m_installer.layout().users()));
}

// Setup and repair ----------------------------------------------------------

// How a setup or repair ended, told on its own thread from what it threw.
struct LauncherModel::RunOutcome {
    enum class End { finished, stopped, failed };
    End end = End::finished;
    // The stop's sentence, or the failure's sentence and details.
    FailureMessage message;
    // The failure was met because the recorded installation is incomplete.
    bool incomplete = false;
    // A repair refused before it changed anything, and what it needs.
    std::optional<RepairNeed> refusal;
};

void LauncherModel::startSupervised(Run run, std::function<void(const Installer&)> work)
{
    clearError();
    m_stop = StopRequest();
    assign(m_stopping, false, &LauncherModel::stoppingChanged);
    assign(m_progress, SetupProgress{}, &LauncherModel::progressChanged);
    assign(m_busy, true, &LauncherModel::busyChanged);

    backgroundPool().start([run, work = std::move(work), engine = engineSettings(), stop = m_stop,
                            model = QPointer(this)] {
        // A fresh engine for this run: its status lines and progress are
        // carried to the GUI thread in order.
        const Installer installer = engine.make(
            statusLines(model),
            {.progress =
                 [model](const Progress& progress) {
                     // The command line indents its progress line; the window's stands on its own.
                     const SetupProgress shown{QString::fromStdString(progressText(progress)).trimmed(),
                                               progress.fraction()};
                     handBack(model, [shown](LauncherModel& target) { target.showProgress(shown); });
                 },
             .stop = stop});
        RunOutcome outcome;
        try {
            work(installer);
        } catch (const SetupStopped& stopped) {
            outcome.end = RunOutcome::End::stopped;
            outcome.message.sentence = stopped.what();
        } catch (const std::exception& caught) {
            outcome.end = RunOutcome::End::failed;
            outcome.message = describe(caught, installer.log());
            outcome.incomplete = dynamic_cast<const IncompleteInstallation*>(&caught) != nullptr;
            if (const auto* refusal = dynamic_cast<const RepairRefusal*>(&caught))
                outcome.refusal = refusal->need();
        }
        handBack(model, [run, outcome](LauncherModel& target) { target.finishSupervised(run, outcome); });
    });
}

// A new step: its status line, and no progress until it reports its own.
// Once a stop is asked for, the status says so until the run has ended.
void LauncherModel::showStep(const QString& line)
{
    if (m_stopping)
        return;
    assign(m_progress, SetupProgress{}, &LauncherModel::progressChanged);
    assign(m_status, line, &LauncherModel::statusChanged);
}

void LauncherModel::showProgress(const SetupProgress& progress)
{
    if (!m_stopping)
        assign(m_progress, progress, &LauncherModel::progressChanged);
}

void LauncherModel::cancel()
{
    if (!m_busy || m_stopping)
        return;
    m_stop.request();
    assign(m_stopping, true, &LauncherModel::stoppingChanged);
    assign(m_progress, SetupProgress{}, &LauncherModel::progressChanged);
    assign(m_status, QString(kStoppingStatus), &LauncherModel::statusChanged);
}

void LauncherModel::finishSupervised(Run run, const RunOutcome& outcome)
{
    assign(m_busy, false, &LauncherModel::busyChanged);
    assign(m_stopping, false, &LauncherModel::stoppingChanged);
    assign(m_progress, SetupProgress{}, &LauncherModel::progressChanged);
    switch (outcome.end) {
    case RunOutcome::End::finished:
        assign(m_repairNeeded, false, &LauncherModel::repairNeededChanged);
        assign(m_findings, RepairFindings{}, &LauncherModel::findingsChanged);
        assign(m_ready, true, &LauncherModel::readyChanged);
        assign(m_updateAvailable, runtimeUpdateAvailable(m_installer), &LauncherModel::updateAvailableChanged);
        assign(m_status, QString(kReadyStatus), &LauncherModel::statusChanged);
        return;
    case RunOutcome::End::stopped:
        // Not an error: the player asked for it, and running it again continues.
        assign(m_status, QString::fromStdString(outcome.message.sentence), &LauncherModel::statusChanged);
        return;
    case RunOutcome::End::failed:
        if (run == Run::setup)
            finishFailedSetup(outcome);
        else
            finishFailedRepair(outcome);
        return;
    }
}

void LauncherModel::finishFailedSetup(const RunOutcome& outcome)
{
    // A recorded installation that is incomplete is repair's to mend, not
    // setup's; its panel says so, so the refusal itself need not be shown.
    if (m_installer.hasRecord() && !m_installer.isInstalled()) {
        if (!outcome.incomplete)
            showError(outcome.message);
        offerRepair();
        return;
    }
    showError(outcome.message);
    assign(m_status, QString(kSetupFailedStatus), &LauncherModel::statusChanged);
}

void LauncherModel::finishFailedRepair(const RunOutcome& outcome)
{
    showError(outcome.message);
    if (outcome.refusal == RepairNeed::installation) {
        // The record has gone: there is nothing to repair, and setup is the way on.
        assign(m_repairNeeded, false, &LauncherModel::repairNeededChanged);
        assign(m_findings, RepairFindings{}, &LauncherModel::findingsChanged);
        assign(m_status, restingStatus(), &LauncherModel::statusChanged);
        return;
    }
    if (outcome.refusal) {
        // Repair found more to redo than the check before it: ask for what it needs.
        RepairFindings findings = m_findings;
        findings.needsGame |= *outcome.refusal == RepairNeed::game || *outcome.refusal == RepairNeed::gameAndAudio;
        findings.needsAudio |= *outcome.refusal == RepairNeed::audio || *outcome.refusal == RepairNeed::gameAndAudio;
        assign(m_findings, findings, &LauncherModel::findingsChanged);
    }
    assign(m_status, QString(kRepairFailedStatus), &LauncherModel::statusChanged);
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
    startSupervised(Run::repair, [sources](const Installer& installer) { installer.repair(sources); });
}

void LauncherModel::update()
{
    if (!m_ready || !m_updateAvailable || m_busy || m_checking || m_maintaining || m_playing)
        return;
    // An outdated runtime is the only finding of a sound installation, so the
    // repair redoes the runtime step alone and needs none of the player's files.
    startSupervised(Run::repair, [](const Installer& installer) { installer.repair({}); });
}

std::uint64_t LauncherModel::updateDownloadSize() const
{
    return m_installer.constants().engine.expectedSize + m_installer.constants().libraries.expectedSize;
}

void LauncherModel::offerRepair()
{
    // Besides an uninstall, the one way back from ready: the installed panel
    // gives way to the repair panel.
    assign(m_ready, false, &LauncherModel::readyChanged);
    assign(m_repairNeeded, true, &LauncherModel::repairNeededChanged);
    checkInstallation();
}

void LauncherModel::readInstallation()
{
    const bool installed = m_installer.isInstalled();
    const bool incomplete = !installed && m_installer.hasRecord();
    if (incomplete && !m_repairNeeded) {
        offerRepair();
        return;
    }
    if (!incomplete) {
        assign(m_repairNeeded, false, &LauncherModel::repairNeededChanged);
        assign(m_findings, RepairFindings{}, &LauncherModel::findingsChanged);
    }
    assign(m_ready, installed, &LauncherModel::readyChanged);
    assign(m_updateAvailable, installed && runtimeUpdateAvailable(m_installer), &LauncherModel::updateAvailableChanged);
    assign(m_status, restingStatus(), &LauncherModel::statusChanged);
}

void LauncherModel::checkInstallation()
{
    assign(m_findings, RepairFindings{}, &LauncherModel::findingsChanged);
    assign(m_checking, true, &LauncherModel::checkingChanged);
    assign(m_status, QString(kCheckingStatus), &LauncherModel::statusChanged);

    // The check waits for up to two wine calls.
    backgroundPool().start([engine = engineSettings(), model = QPointer(this)] {
        const Installer installer = engine.make();
        std::optional<VerificationReport> report;
        std::optional<FailureMessage> failure;
        try {
            report = installer.verify();
        } catch (const std::exception& caught) {
            failure = describe(caught, installer.log());
        }
        handBack(model, [report, failure](LauncherModel& target) { target.finishCheck(report, failure); });
    });
}

void LauncherModel::finishCheck(const std::optional<VerificationReport>& report,
                                const std::optional<FailureMessage>& failure)
{
    // What the check found first, then its end, which the view follows with the focus.
    if (failure) {
        // The panel stays: repair checks again when it starts.
        showError(*failure);
    } else if (const bool mended = report->sound() && m_installer.isInstalled(); !report->recorded || mended) {
        // Another launcher has removed the record, or mended the installation, meanwhile.
        assign(m_repairNeeded, false, &LauncherModel::repairNeededChanged);
        assign(m_ready, mended, &LauncherModel::readyChanged);
    } else {
        RepairFindings findings{.needsGame = report->plan.needsGame(), .needsAudio = report->plan.needsAudio()};
        for (const VerificationLine& line : report->lines)
            if (line.problem)
                findings.damage << QString::fromStdString(*line.problem);
        assign(m_findings, findings, &LauncherModel::findingsChanged);
    }
    assign(m_status, restingStatus(), &LauncherModel::statusChanged);
    assign(m_checking, false, &LauncherModel::checkingChanged);
}

} // namespace launcher
