// Renders the launcher window's content in its main states to PNG files, the
// pictures of the README:
//   veyra2-render-screenshots FOLDER
// Runs on Qt's offscreen platform with a throw-away root folder for each state.
#include "FakeDesktopServices.h"
#include "UiTestSupport.h"
#include "support/InstallationByHand.h"
#include "support/TemporaryFolder.h"
#include "ui/AppDelegate.h"
#include "ui/LauncherWindow.h"

#include <QApplication>
#include <QDir>

#include <functional>
#include <iostream>

namespace launcher::testing {
namespace {

struct State {
    const char* file;
    std::function<void(const std::filesystem::path& root)> prepare;
    std::function<void(LauncherModel& model)> show;
};

void chooseFiles(LauncherModel& model)
{
    model.setGameURL(QUrl::fromLocalFile("/Users/player/Downloads/Veyra 2 Kestrane 2.1.zip"));
    model.setAudioURL(QUrl::fromLocalFile("/Users/player/Downloads/MPSetup.exe"));
    model.setOwnsFiles(true);
}

const State kStates[] = {
    {"launcher-first-start.png", {}, {}},
    {"launcher-files-chosen.png", {}, chooseFiles},
    {"launcher-setting-up.png", {},
     [](LauncherModel& model) {
         chooseFiles(model);
         model.setBusy(true);
         model.setStatus("Downloading and verifying the compatibility runtime · about 341 MB");
     }},
    {"launcher-error.png", {},
     [](LauncherModel& model) {
         chooseFiles(model);
         model.setError(QString("This audio file is not the tested Microsoft WMA 9 decoder/package. Select the "
                                "supported MPSetup.exe or WMADMOD.DLL described in the setup guide."));
         model.setStatus("Setup needs attention. Your source files are unchanged.");
     }},
    {"launcher-installed.png", buildInstallationByHand, {}},
};

bool render(const State& state, const QDir& folder)
{
    const TemporaryFolder root;
    if (state.prepare)
        state.prepare(root.path());
    FakeDesktopServices services;
    AppDelegate delegate(services, settingsFor(root.path()));
    if (state.show)
        state.show(delegate.model());
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
