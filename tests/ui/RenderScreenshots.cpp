// Renders the launcher window's content in its main states, and the menu's
// dialogs worth showing, to PNG files, the pictures of the README, each with
// the keyboard focus where it would be:
//   veyra2-render-screenshots FOLDER
// Runs on Qt's offscreen platform with a throw-away root folder for each state.
#include "FakeDesktopServices.h"
#include "HeldWork.h"
#include "UiTestSupport.h"
#include "support/InstallationByHand.h"
#include "support/ScopedEnvironmentVariable.h"
#include "support/TemporaryFolder.h"
#include "ui/AppDelegate.h"
#include "ui/LauncherWindow.h"
#include "ui/QtDesktopServices.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <iostream>
#include <optional>

namespace launcher::testing {
namespace {

// One picture: how its root folder and settings are prepared, and what the
// player does once the window is on screen, before the picture is taken. A
// stand-in runtime call that contains `hang` runs until the window is closed.
struct State {
    const char* file;
    std::function<void(const std::filesystem::path& root, LauncherSettings& settings, const HeldWork& held)> prepare;
    std::function<void(AppDelegate& application, const std::filesystem::path& root)> act;
    const char* hang = nullptr;
    // The picture is of the first dialog that `act` opens, shown by the real
    // desktop services and cancelled once taken, instead of the window.
    bool dialog = false;
};

void waitFor(const std::function<bool()>& condition);

// The player's files as downloaded into the picture's home folder: the
// generated game that setup takes (never the real game), and a stand-in audio
// package that setup refuses or, with `accepted`, the generated one it takes.
// Returns once the window has looked at the game files.
void chooseFiles(LauncherModel& model, const std::filesystem::path& home, bool accepted = false)
{
    const std::filesystem::path downloads = home / "Downloads";
    const std::filesystem::path game = downloads / "Veyra 2 Kestrane 2.1.zip";
    const std::filesystem::path audio = downloads / "MPSetup.exe";
    std::filesystem::create_directories(downloads);
    std::filesystem::copy_file(setupGameSource(), game);
    if (accepted)
        std::filesystem::copy_file(setupAudioPackage(), audio);
    else
        writeFile(audio, "MZ");
    model.setGameURL(fileUrl(game));
    model.setAudioURL(fileUrl(audio));
    model.setOwnsFiles(true);
    waitFor([&] { return !model.checkingGame(); });
}

// The test build's constants with the released archives' sizes, so that a
// picture of the download shows the figures a player sees.
Constants releasedSizes()
{
    Constants constants = Constants::builtIn();
    constants.engine.expectedSize = VEYRA2_RELEASED_ENGINE_SIZE;
    constants.libraries.expectedSize = VEYRA2_RELEASED_LIBRARIES_SIZE;
    return constants;
}

void waitFor(const std::function<bool()>& condition)
{
    if (!QTest::qWaitFor(condition, 60'000))
        qFatal("The launcher did not reach the state of its picture");
}

// A file where the launcher's folder should go, deep in a restored backup: a
// failure with a long path, told in many lines.
const char* const kBackup = "Backups/Restored from the old MacBook Pro/2019-06-14 Complete home folder/Documents/"
                            "Everything from the family computer, sorted later/Library/Application Support";

// An installation whose player has played on three days, and restored once.
void playedAndRestored(const std::filesystem::path&, LauncherSettings& settings, const HeldWork&)
{
    const std::filesystem::path root = *settings.root;
    buildInstallationByHand(root);
    const std::filesystem::path backups = root / "Backups";
    writeFile(backups / "Saves-20261208T191242Z/users/player/Documents/Veyra 2/slot1.sav", std::string(48'200, 's'));
    writeFile(backups / "Saves-20261210T141503Z/users/player/Documents/Veyra 2/slot1.sav", std::string(51'900, 's'));
    writeFile(backups / "Saves-20261210T141503Z/users/player/Documents/Veyra 2/slot2.sav", std::string(12'400, 's'));
    writeFile(backups / "Saves-20261211T093010Z/users/player/Documents/Veyra 2/slot1.sav", std::string(52'300, 's'));
    writeFile(backups / "Saves-20261211T093010Z/users/player/Documents/Veyra 2/slot2.sav", std::string(12'400, 's'));
    writeFile(backups / "Saves-20261211T093010Z/kept.txt", "Made before restoring Saves-20261208T191242Z.\n");
    writeFile(root / "Install/prefix/drive_c/users/player/Documents/Veyra 2/slot1.sav", std::string(48'200, 's'));
}

const State kStates[] = {
    {"launcher-first-start.png", {}, {}},
    {"launcher-files-chosen.png", {},
     [](AppDelegate& application, const std::filesystem::path& root) {
         // The files chosen, the player ticks the checkbox from the keyboard, which leaves the focus on it.
         LauncherModel& model = application.model();
         chooseFiles(model, root);
         model.setOwnsFiles(false);
         auto* consent = application.window()->findChild<QWidget*>("consentCheckBox");
         consent->setFocus();
         QTest::keyClick(consent, Qt::Key_Space);
     }},
    {"launcher-downloading.png",
     [](const auto&, LauncherSettings& settings, const HeldWork& held) {
         settings.constants = releasedSizes();
         held.growDownload(settings, 6'100'000);
     },
     [](AppDelegate& application, const std::filesystem::path& root) {
         // The audio package passes, so setup goes on to the download, a few seconds into it.
         LauncherModel& model = application.model();
         chooseFiles(model, root, true);
         model.install();
         waitFor([&] { return model.progress().text.contains("left"); });
         QTest::qWait(2500);
     }},
    {"launcher-setting-up.png",
     [](const auto&, LauncherSettings& settings, const auto&) { provideRuntimeArchives(*settings.root); },
     [](AppDelegate& application, const std::filesystem::path& root) {
         // On to the Windows environment, whose tools run for a time nobody can tell beforehand.
         LauncherModel& model = application.model();
         chooseFiles(model, root, true);
         model.install();
         waitFor([&] { return model.progress().text.startsWith("Preparing Windows · 2 s"); });
     },
     "wineboot"},
    {"launcher-error.png", {},
     [](AppDelegate& application, const std::filesystem::path& root) {
         LauncherModel& model = application.model();
         chooseFiles(model, root);
         model.install();
         waitFor([&] { return !model.busy(); });
     }},
    {"launcher-long-error.png",
     [](const std::filesystem::path& root, LauncherSettings& settings, const auto&) {
         writeFile(root / kBackup, "");
         settings.root = root / kBackup / "Veyra2MacLauncher";
     },
     [](AppDelegate& application, const std::filesystem::path& root) {
         // At the window's smallest, scrolled down to the whole error.
         LauncherWindow& window = *application.window();
         window.resize(window.minimumSize());
         LauncherModel& model = application.model();
         chooseFiles(model, root);
         model.install();
         waitFor([&] { return !model.busy(); });
         QTest::qWait(300);
         auto* scroll = window.findChild<QScrollArea*>("contentScroll");
         scroll->ensureWidgetVisible(window.findChild<QWidget*>("errorBox"), 0, 0);
     }},
    {"launcher-installed.png",
     [](const auto&, LauncherSettings& settings, const auto&) { buildInstallationByHand(*settings.root); }, {}},
    {"launcher-repair.png",
     [](const auto&, LauncherSettings& settings, const auto&) {
         // Security software took the audio decoder, and a game file is gone.
         setUpInstallation(*settings.root);
         damageInstallation(*settings.root, true);
     },
     [](AppDelegate& application, const auto&) {
         waitFor([&] { return !application.model().state().checking(); });
     }},
    {.file = "launcher-restore-saves.png",
     .prepare = playedAndRestored,
     .act = [](AppDelegate& application,
               const auto&) { application.window()->findChild<QAction*>("restoreSavesAction")->trigger(); },
     .dialog = true},
    {.file = "launcher-kept-saves-offer.png",
     .prepare =
         [](const auto&, LauncherSettings& settings, const auto&) {
             // An earlier installation was uninstalled with "Keep my saves".
             const std::filesystem::path backups = *settings.root / "Backups";
             writeFile(backups / "Saves-20261210T141503Z/users/player/Documents/Veyra 2/slot1.sav",
                       std::string(51'900, 's'));
             writeFile(backups / "Saves-20261210T141503Z/kept.txt", "Made by an uninstall that kept the saves.\n");
             provideRuntimeArchives(*settings.root);
         },
     .act =
         [](AppDelegate& application, const std::filesystem::path& root) {
             LauncherModel& model = application.model();
             chooseFiles(model, root, true);
             model.install();
         },
     .dialog = true},
    {.file = "launcher-quit-guard.png",
     .prepare = [](const auto&, LauncherSettings& settings,
                   const auto&) { provideRuntimeArchives(*settings.root); },
     .act =
         [](AppDelegate& application, const std::filesystem::path& root) {
             // The window closed while setup prepares the Windows environment.
             LauncherModel& model = application.model();
             chooseFiles(model, root, true);
             model.install();
             waitFor([&] { return model.progress().text.startsWith("Preparing Windows"); });
             application.window()->close();
         },
     .hang = "wineboot",
     .dialog = true},
    {.file = "launcher-uninstall.png",
     .prepare = playedAndRestored,
     .act = [](AppDelegate& application,
               const auto&) { application.window()->findChild<QAction*>("uninstallAction")->trigger(); },
     .dialog = true},
};

// Takes the picture of the first modal dialog once it has settled, then cancels it.
class DialogPicture final : public QObject {
public:
    explicit DialogPicture(QString file)
        : m_file(std::move(file))
    {
        m_look.setInterval(50);
        connect(&m_look, &QTimer::timeout, this, [this] {
            QWidget* dialog = QApplication::activeModalWidget();
            if (dialog == nullptr)
                return;
            m_look.stop();
            QTimer::singleShot(300, dialog, [this, dialog] {
                m_saved = dialog->grab().save(m_file, "PNG");
                m_taken = true;
                if (auto* modal = qobject_cast<QDialog*>(dialog))
                    modal->reject();
            });
        });
        m_look.start();
    }
    bool taken() const { return m_taken; }
    bool saved() const { return m_saved; }

private:
    QString m_file;
    QTimer m_look;
    bool m_taken = false;
    bool m_saved = false;
};

bool render(const State& state, const QDir& folder)
{
    // A short home-like folder, since a picture may show paths below it.
    const QTemporaryDir home(QDir::tempPath() + "/home-XXXXXX");
    if (!home.isValid())
        qFatal("Cannot create a folder for the picture's root");
    const std::filesystem::path root = home.filePath("player").toStdString();
    const HeldWork held;
    std::optional<ScopedEnvironmentVariable> hang;
    if (state.hang)
        hang.emplace("STANDIN_HANG", state.hang);
    LauncherSettings settings = settingsFor(root / "Veyra2MacLauncher");
    if (state.prepare)
        state.prepare(root, settings, held);
    FakeDesktopServices fakeServices;
    QtDesktopServices realServices;
    AppDelegate delegate(state.dialog ? static_cast<DesktopServices&>(realServices) : fakeServices,
                         std::move(settings));
    delegate.applicationDidFinishLaunching();
    if (!QTest::qWaitForWindowActive(delegate.window()))
        qFatal("The launcher window did not become active");
    const QString file = folder.filePath(state.file);
    std::optional<DialogPicture> dialog;
    if (state.dialog)
        dialog.emplace(file);
    if (state.act)
        state.act(delegate, root);
    if (dialog) {
        waitFor([&] { return dialog->taken(); });
        if (!dialog->saved()) {
            std::cerr << "cannot write " << file.toStdString() << '\n';
            return false;
        }
        std::cout << file.toStdString() << '\n';
        return true;
    }
    QWidget* content = delegate.window()->centralWidget();
    // Layouts settle over several turns of the event loop.
    QTest::qWait(300);
    if (!content->grab().save(file, "PNG")) {
        std::cerr << "cannot write " << file.toStdString() << '\n';
        return false;
    }
    std::cout << file.toStdString() << '\n';
    return true;
}

} // namespace
} // namespace launcher::testing

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: veyra2-render-screenshots FOLDER\n";
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath(".")) {
        std::cerr << "cannot create " << argv[1] << '\n';
        return 1;
    }
    for (const auto& state : launcher::testing::kStates)
        if (!launcher::testing::render(state, folder))
            return 1;
    return 0;
}
