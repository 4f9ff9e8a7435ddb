// Renders the launcher window's content in its main states, and the menu's
// dialogs worth showing, to PNG files, the pictures of the README, each with
// the keyboard focus where it would be:
//   veyra2-render-screenshots FOLDER
// Runs on Qt's offscreen platform with a throw-away root folder for each state.
#include "FakeDesktopServices.h"
#include "HeldWork.h"
#include "UiTestSupport.h"
#include "support/InstallationByHand.h"
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
// player does once the window is on screen, before the picture is taken.
struct State {
    const char* file;
    std::function<void(const std::filesystem::path& root, LauncherSettings& settings, const HeldWork& held)> prepare;
    std::function<void(AppDelegate& application, const std::filesystem::path& root)> act;
    // The picture is of the first dialog that `act` opens, shown by the real
    // desktop services and cancelled once taken, instead of the window.
    bool dialog = false;
};

// The player's files as downloaded into the picture's home folder (not the real
// game or package); `audio` replaces the package there.
void chooseFiles(LauncherModel& model, const std::filesystem::path& home,
                 const std::optional<std::filesystem::path>& audio = std::nullopt)
{
    const std::filesystem::path downloads = home / "Downloads";
    writeFile(downloads / "Veyra 2 Kestrane 2.1.zip", "PK");
    writeFile(downloads / "MPSetup.exe", "MZ");
    model.setGameURL(fileUrl(downloads / "Veyra 2 Kestrane 2.1.zip"));
    model.setAudioURL(fileUrl(audio.value_or(downloads / "MPSetup.exe")));
    model.setOwnsFiles(true);
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
    {"launcher-setting-up.png",
     [](const auto&, LauncherSettings& settings, const HeldWork& held) { held.holdDownload(settings); },
     [](AppDelegate& application, const std::filesystem::path& root) {
         // The audio package passes, so setup goes on to the download, where it is held.
         LauncherModel& model = application.model();
         chooseFiles(model, root, setupAudioPackage());
         model.install();
         waitFor([&] { return model.status().startsWith("Downloading"); });
     }},
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
    {"launcher-restore-saves.png", playedAndRestored,
     [](AppDelegate& application, const auto&) { application.window()->findChild<QAction*>("restoreSavesAction")->trigger(); },
     true},
    {"launcher-uninstall.png", playedAndRestored,
     [](AppDelegate& application, const auto&) { application.window()->findChild<QAction*>("uninstallAction")->trigger(); },
     true},
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
                dialog->close();
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
