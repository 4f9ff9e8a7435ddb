#include "ui/LauncherModel.h"

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

// Setup, launches, the game watch and the menu's actions. The pool outlives every model and is drained before
// the application object goes, so handed-back work always finds it.
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
    , m_installer(std::move(settings.root), {}, std::move(settings.host))
    , m_services(services)
    , m_guide(std::move(settings.guide))
{
    assign(m_ready, m_installer.isInstalled(), &LauncherModel::readyChanged);
    assign(m_status, restingStatus(), &LauncherModel::statusChanged);
}

// Out of line: the owned lock and process are complete types only here.
LauncherModel::~LauncherModel() = default;

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
        handBack(model, [text = QString::fromStdString(line)](LauncherModel& target) {
            target.assign(target.m_status, text, &LauncherModel::statusChanged);
        });
    };
}

void LauncherModel::install()
{
    if (m_gameURL.isEmpty() || m_audioURL.isEmpty() || !m_ownsFiles || m_busy || m_maintaining)
        return;
    clearError();
    assign(m_busy, true, &LauncherModel::busyChanged);

    backgroundPool().start([root = m_installer.root(), host = m_installer.host(),
                            game = localPath(m_gameURL), audio = localPath(m_audioURL), model = QPointer(this)] {
        const Installer installer(root, statusLines(model), host);
        std::optional<FailureMessage> failure;
        try {
            installer.install(game, audio, std::nullopt);
        } catch (const std::exception& caught) {
            failure = describe(caught, installer.log());
        }
        handBack(model, [failure](LauncherModel& target) { target.finishSetup(failure); });
    });
}

void LauncherModel::finishSetup(const std::optional<FailureMessage>& failure)
{
    assign(m_busy, false, &LauncherModel::busyChanged);
    if (failure) {
        showError(QString::fromStdString(failure->sentence), QString::fromStdString(failure->details));
        assign(m_status, QString(kSetupFailedStatus), &LauncherModel::statusChanged);
        return;
    }
    assign(m_ready, true, &LauncherModel::readyChanged);
    assign(m_status, QString(kReadyStatus), &LauncherModel::statusChanged);
}

void LauncherModel::play()
{
    if (m_playing || m_maintaining)
        return;
    clearError();
    assign(m_playing, true, &LauncherModel::playingChanged);
    const QString statusBefore = m_status;
    assign(m_status, QString(kStartingStatus), &LauncherModel::statusChanged);

    backgroundPool().start([root = m_installer.root(), host = m_installer.host(), model = QPointer(this),
                            statusBefore] {
        const Installer installer(root, {}, host);
        std::optional<LaunchedGame> launched;
        try {
            launched.emplace(installer.launch(false));
        } catch (const std::exception& caught) {
            handBack(model, [failure = describe(caught, installer.log()), statusBefore](LauncherModel& target) {
                target.launchFailed(failure, statusBefore);
            });
            return;
        }
        // The lock goes with the handed-back work, so that a model that is gone
        // by then releases it with that work; the game is still waited for here.
        auto process = std::make_shared<ChildProcess>(std::move(launched->process));
        handBack(model, [process, lock = std::move(launched->lock),
                         note = launched->snapshotFailure](LauncherModel& target) mutable {
            target.gameStarted(process, std::move(lock), note);
        });
        const int terminationStatus = process->wait();
        handBack(model, [terminationStatus](LauncherModel& target) { target.finishGame(terminationStatus); });
    });
}

void LauncherModel::gameStarted(std::shared_ptr<ChildProcess> process, std::unique_ptr<InstallLock> lock,
                                const std::optional<std::string>& snapshotFailure)
{
    m_process = std::move(process);
    m_playLock = std::move(lock);
    if (snapshotFailure)
        assign(m_status, QString(kStartingStatus) + kNoSnapshotNote, &LauncherModel::statusChanged);
}

void LauncherModel::launchFailed(const FailureMessage& failure, const QString& statusBefore)
{
    assign(m_playing, false, &LauncherModel::playingChanged);
    assign(m_status, statusBefore, &LauncherModel::statusChanged);
    showError(QString::fromStdString(failure.sentence), QString::fromStdString(failure.details));
}

void LauncherModel::finishGame(int terminationStatus)
{
    assign(m_playing, false, &LauncherModel::playingChanged);
    m_process.reset();
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

    backgroundPool().start([root = m_installer.root(), host = m_installer.host(), model = QPointer(this),
                            work = std::move(work)] {
        const Installer installer(root, statusLines(model), host);
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
            // An uninstall cut short has removed the record first.
            target.assign(target.m_ready, target.m_installer.isInstalled(), &LauncherModel::readyChanged);
            target.assign(target.m_status, target.restingStatus(), &LauncherModel::statusChanged);
            target.showError(QString::fromStdString(failure->sentence), QString::fromStdString(failure->details));
        });
    });
}

void LauncherModel::showError(const QString& sentence, const QString& details)
{
    // The details first, so that whoever follows the error finds them in place.
    assign(m_errorDetails, details, &LauncherModel::errorDetailsChanged);
    assign(m_error, sentence, &LauncherModel::errorChanged);
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
    if (hadError && !m_busy && !m_playing)
        assign(m_status, restingStatus(), &LauncherModel::statusChanged);
}

QString LauncherModel::restingStatus() const
{
    return m_ready ? kReadyStatus : kFirstStatus;
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
    const auto logs = m_installer.root() / "Logs";
    try {
        m_installer.makeDirectory(logs);
    } catch (const std::exception&) {
        // The folder is opened all the same; the desktop says what it makes of it.
    }
    open(fileUrl(logs));
}

void LauncherModel::openSaves()
{
    open(fileUrl(m_installer.prefix() / "drive_c/users"));
}

} // namespace launcher
