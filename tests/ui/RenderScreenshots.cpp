// Renders the launcher window's content in its main states to PNG files, the
// pictures of the README, each with the keyboard focus where it would be:
//   veyra2-render-screenshots FOLDER
// Runs on Qt's offscreen platform with a throw-away root folder for each state.
#include "FakeDesktopServices.h"
#include "HeldWork.h"
#include "UiTestSupport.h"
#include "support/InstallationByHand.h"
#include "support/TemporaryFolder.h"
#include "ui/AppDelegate.h"
#include "ui/LauncherWindow.h"

#include <QApplication>
#include <QDir>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <iostream>

namespace launcher::testing {
namespace {

// One picture: how its root folder and settings are prepared, and what the
// player does once the window is on screen, before the picture is taken.
struct State {
    const char* file;
    std::function<void(const std::filesystem::path& root, LauncherSettings& settings, const HeldWork& held)> prepare;
    std::function<void(AppDelegate& application, const std::filesystem::path& root)> act;
};

void chooseFiles(LauncherModel& model, const std::filesystem::path& audio = "/Users/player/Downloads/MPSetup.exe")
{
    model.setGameURL(QUrl::fromLocalFile("/Users/player/Downloads/Veyra 2 Kestrane 2.1.zip"));
    model.setAudioURL(fileUrl(audio));
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

const State kStates[] = {
    {"launcher-first-start.png", {}, {}},
    {"launcher-files-chosen.png", {},
     [](AppDelegate& application, const auto&) {
         // The files chosen, the player ticks the checkbox from the keyboard, which leaves the focus on it.
         LauncherModel& model = application.model();
         chooseFiles(model);
         model.setOwnsFiles(false);
         auto* consent = application.window()->findChild<QWidget*>("consentCheckBox");
         consent->setFocus();
         QTest::keyClick(consent, Qt::Key_Space);
     }},
    {"launcher-setting-up.png",
     [](const auto&, LauncherSettings& settings, const HeldWork& held) { held.holdDownload(settings); },
     [](AppDelegate& application, const auto&) {
         // The audio package passes, so setup goes on to the download, where it is held.
         LauncherModel& model = application.model();
         chooseFiles(model, setupAudioPackage());
         model.install();
         waitFor([&] { return model.status().startsWith("Downloading"); });
     }},
    {"launcher-error.png", {},
     [](AppDelegate& application, const std::filesystem::path& root) {
         LauncherModel& model = application.model();
         writeFile(root / "Downloads/MPSetup.exe", "MZ");
         chooseFiles(model, root / "Downloads/MPSetup.exe");
         model.install();
         waitFor([&] { return !model.busy(); });
     }},
    {"launcher-long-error.png",
     [](const std::filesystem::path& root, LauncherSettings& settings, const auto&) {
         writeFile(root / kBackup, "");
         settings.root = root / kBackup / "Veyra2MacLauncher";
     },
     [](AppDelegate& application, const auto&) {
         // At the window's smallest, scrolled down to the whole error.
         LauncherWindow& window = *application.window();
         window.resize(window.minimumSize());
         LauncherModel& model = application.model();
         chooseFiles(model);
         model.install();
         waitFor([&] { return !model.busy(); });
         QTest::qWait(300);
         auto* scroll = window.findChild<QScrollArea*>("contentScroll");
         scroll->ensureWidgetVisible(window.findChild<QWidget*>("errorBox"), 0, 0);
     }},
    {"launcher-installed.png",
     [](const auto&, LauncherSettings& settings, const auto&) { buildInstallationByHand(*settings.root); }, {}},
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
    FakeDesktopServices services;
    AppDelegate delegate(services, std::move(settings));
    delegate.applicationDidFinishLaunching();
    if (!QTest::qWaitForWindowActive(delegate.window()))
        qFatal("The launcher window did not become active");
    if (state.act)
        state.act(delegate, root);
    QWidget* content = delegate.window()->centralWidget();
    // Layouts settle over several turns of the event loop.
    QTest::qWait(300);
    const QString file = folder.filePath(state.file);
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
