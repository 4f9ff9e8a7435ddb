#include "app/Desktop.h"

#include "core/Constants.h"
#include "core/Platform.h"
#include "ui/AppDelegate.h"
#include "ui/QtDesktopServices.h"

#include <QApplication>

#include <iostream>

namespace launcher {
namespace {

// Said on Linux when there is no display to open the window on, instead of
// Qt's own abort.
void explainMissingDisplay(const char* program)
{
    std::cerr << "No display is available for the launcher window. Without one, use the command line:\n"
              << "  " << program << " --cli --status\n"
              << "  " << program << " --cli --install --game PATH --audio PATH [--cache PATH]\n"
              << "  " << program << " --cli --launch [--debug]\n";
}

} // namespace

int runDesktop(int argc, char** argv)
{
    if (!platform::hasDisplay() && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        explainMissingDisplay(argc > 0 ? argv[0] : "veyra2-launcher");
        return 1;
    }

    QApplication application(argc, argv);
    QApplication::setApplicationName("Veyra 2 Mac Launcher");
    QApplication::setApplicationDisplayName("Veyra 2 Mac Launcher");
    QApplication::setApplicationVersion(QString::fromStdString(Constants::builtIn().version));
    QApplication::setDesktopFileName("veyra2-launcher");

    QtDesktopServices services;
    int status = 0;
    {
        AppDelegate delegate(services);
        delegate.applicationDidFinishLaunching();
        status = QApplication::exec();
    }
    // The quit guard lets nothing run at this point; whatever is left may still hand back.
    LauncherModel::waitForBackgroundWork();
    return status;
}

} // namespace launcher
