#include "ui/Desktop.h"

#include "core/Constants.h"
#include "ui/AppDelegate.h"
#include "ui/QtDesktopServices.h"
#include "ui/Symbols.h"

#include <QApplication>
#include <QIcon>

namespace launcher {

int runDesktop(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName("Veyra 2 Mac Launcher");
    QApplication::setApplicationDisplayName("Veyra 2 Mac Launcher");
    QApplication::setApplicationVersion(QString::fromStdString(Constants::builtIn().version));
    QApplication::setDesktopFileName("veyra2-launcher");
    QIcon icon;
    for (const int size : {16, 32, 64, 128, 256})
        icon.addPixmap(symbols::applicationIcon(size, 1));
    QApplication::setWindowIcon(icon);

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
