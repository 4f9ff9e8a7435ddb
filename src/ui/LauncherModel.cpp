#include "ui/LauncherModel.h"

#include "ui/GuideLocation.h"
#include "ui/GuiThread.h"

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
const char* const kUnexpectedExit = "Veyra 2 exited unexpectedly. Open Logs for details.";

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

// Setup and the game watch. The pool outlives every model and is drained before
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

// What both front ends show of a failure: a SetupFailure's sentence, or the
// platform's description of a file or process error.
QString description(const std::exception& failure)
{
    return QString::fromUtf8(failure.what());
}

} // namespace

LauncherModel::LauncherModel(DesktopServices& services, LauncherSettings settings, QObject* parent)
    : QObject(parent)
    , m_status(kFirstStatus)
    , m_installer(std::move(settings.root), {}, std::move(settings.host))
    , m_services(services)
    , m_guide(std::move(settings.guide))
{
    setReady(m_installer.isInstalled());
    if (m_ready)
        setStatus(kReadyStatus);
}

// Out of line: the owned lock and process are complete types only here.
LauncherModel::~LauncherModel() = default;

void LauncherModel::setGameURL(const QUrl& value)
{
    m_gameURL = value;
    emit gameURLChanged();
}

void LauncherModel::setAudioURL(const QUrl& value)
{
    m_audioURL = value;
    emit audioURLChanged();
}

void LauncherModel::setOwnsFiles(bool value)
{
    m_ownsFiles = value;
    emit ownsFilesChanged();
}

void LauncherModel::setBusy(bool value)
{
    m_busy = value;
    emit busyChanged();
}

void LauncherModel::setPlaying(bool value)
{
    m_playing = value;
    emit playingChanged();
}

void LauncherModel::setReady(bool value)
{
    m_ready = value;
    emit readyChanged();
}

void LauncherModel::setStatus(const QString& value)
{
    m_status = value;
    emit statusChanged();
}

void LauncherModel::setError(const std::optional<QString>& value)
{
    m_error = value;
    emit errorChanged();
}

void LauncherModel::waitForBackgroundWork()
{
    backgroundPool().waitForDone();
}

void LauncherModel::selectGame()
{
    const PanelChoice choice = m_services.choose(kGamePanel);
    if (!choice.confirmed)
        return;
    setGameURL(choice.url);
    setError(std::nullopt);
}

void LauncherModel::selectAudio()
{
    const PanelChoice choice = m_services.choose(kAudioPanel);
    if (!choice.confirmed)
        return;
    setAudioURL(choice.url);
    setError(std::nullopt);
}

void LauncherModel::install()
{
    if (m_gameURL.isEmpty() || m_audioURL.isEmpty() || !m_ownsFiles || m_busy)
        return;
    setError(std::nullopt);
    setBusy(true);

    backgroundPool().start([root = m_installer.root(), host = m_installer.host(),
                            game = localPath(m_gameURL), audio = localPath(m_audioURL), model = QPointer(this)] {
        // A fresh engine for this run: its status lines are carried to the GUI
        // thread in order, each replacing the status shown.
        const Installer installer(
            root,
            [model](const std::string& line) {
                handBack(model, [text = QString::fromStdString(line)](LauncherModel& target) { target.setStatus(text); });
            },
            host);
        std::optional<QString> failure;
        try {
            installer.install(game, audio, std::nullopt);
        } catch (const std::exception& caught) {
            failure = description(caught);
        }
        handBack(model, [failure](LauncherModel& target) { target.finishSetup(failure); });
    });
}

void LauncherModel::finishSetup(const std::optional<QString>& failure)
{
    setBusy(false);
    if (failure) {
        setError(failure);
        setStatus(kSetupFailedStatus);
        return;
    }
    setReady(true);
    setStatus(kReadyStatus);
}

void LauncherModel::play()
{
    if (m_playing)
        return;
    setError(std::nullopt);

    std::optional<LaunchedGame> launched;
    try {
        launched.emplace(m_installer.launch(false));
    } catch (const std::exception& caught) {
        setError(description(caught));
        return;
    }
    m_process = std::make_shared<ChildProcess>(std::move(launched->process));
    m_playLock = std::move(launched->lock);
    setPlaying(true);
    setStatus(kStartingStatus);

    backgroundPool().start([process = m_process, model = QPointer(this)] {
        const int terminationStatus = process->wait();
        handBack(model, [terminationStatus](LauncherModel& target) { target.finishGame(terminationStatus); });
    });
}

void LauncherModel::finishGame(int terminationStatus)
{
    setPlaying(false);
    m_process.reset();
    // Dropping the lock object releases the install lock for setup and other launchers.
    m_playLock.reset();
    setStatus(kReadyStatus);
    if (terminationStatus != 0)
        setError(QString(kUnexpectedExit));
}

void LauncherModel::openGuide()
{
    const auto guide = m_guide ? m_guide : bundledGuide();
    std::error_code error;
    if (guide && std::filesystem::exists(*guide, error))
        m_services.open(fileUrl(*guide));
}

void LauncherModel::openLogs()
{
    const auto logs = m_installer.root() / "Logs";
    try {
        m_installer.makeDirectory(logs);
    } catch (const std::exception&) {
        // The folder is opened all the same; the desktop says what it makes of it.
    }
    m_services.open(fileUrl(logs));
}

void LauncherModel::openSaves()
{
    m_services.open(fileUrl(m_installer.prefix() / "drive_c/users"));
}

} // namespace launcher
