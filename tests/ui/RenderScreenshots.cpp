// Renders the launcher window's content in its main states to PNG files, the
// pictures of the README:
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
#include <QtTest>

#include <functional>
#include <iostream>

namespace launcher::testing {
namespace {

// One picture: how its root folder and settings are prepared, and what the
// player has done before the picture is taken.
struct State {
    const char* file;
    std::function<void(const std::filesystem::path& root, LauncherSettings& settings, const HeldWork& held)> prepare;
    std::function<void(LauncherModel& model, const std::filesystem::path& root)> act;
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

const State kStates[] = {
    {"launcher-first-start.png", {}, {}},
    {"launcher-files-chosen.png", {}, [](LauncherModel& model, const auto&) { chooseFiles(model); }},
    {"launcher-setting-up.png",
     [](const auto&, LauncherSettings& settings, const HeldWork& held) { held.holdDownload(settings); },
     [](LauncherModel& model, const auto&) {
         // The audio package passes, so setup goes on to the download, where it is held.
         chooseFiles(model, setupAudioPackage());
         model.install();
         waitFor([&] { return model.status().startsWith("Downloading"); });
     }},
    {"launcher-error.png", {},
     [](LauncherModel& model, const std::filesystem::path& root) {
         writeFile(root / "Downloads/MPSetup.exe", "MZ");
         chooseFiles(model, root / "Downloads/MPSetup.exe");
         model.install();
         waitFor([&] { return !model.busy(); });
     }},
    {"launcher-installed.png", [](const std::filesystem::path& root, auto&, const auto&) { buildInstallationByHand(root); },
     {}},
};

bool render(const State& state, const QDir& folder)
{
    const TemporaryFolder root;
    const HeldWork held;
    LauncherSettings settings = settingsFor(root.path());
    if (state.prepare)
        state.prepare(root.path(), settings, held);
    FakeDesktopServices services;
    AppDelegate delegate(services, std::move(settings));
    if (state.act)
        state.act(delegate.model(), root.path());
    delegate.applicationDidFinishLaunching();
    QWidget* content = delegate.window()->centralWidget();
    QCoreApplication::processEvents();
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
