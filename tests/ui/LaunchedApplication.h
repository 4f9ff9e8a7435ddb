#pragma once
// The desktop application as a test starts it: a root of its own, fake desktop
// services, launched, its window on screen.

#include "FakeDesktopServices.h"
#include "UiTestSupport.h"
#include "ui/AppDelegate.h"
#include "ui/LauncherWindow.h"

#include <QAction>
#include <QTimer>
#include <QtTest>

#include <functional>

namespace launcher::testing {

struct LaunchedApplication {
    // Exit codes of the event loop that a quit request runs in.
    static constexpr int kQuit = 0;
    static constexpr int kStayed = 2;
    static constexpr int kNoAnswer = 3;

    explicit LaunchedApplication(const std::filesystem::path& root)
        : LaunchedApplication(settingsFor(root))
    {
    }
    explicit LaunchedApplication(LauncherSettings settings)
        : delegate(services, std::move(settings))
    {
        delegate.applicationDidFinishLaunching();
        if (!QTest::qWaitForWindowExposed(window()))
            qFatal("The launcher window was not shown");
    }
    LauncherWindow* window() const { return delegate.window(); }
    LauncherModel& model() { return delegate.model(); }
    QAction* action(const char* name) const { return window()->findChild<QAction*>(name); }

    // Makes the request inside the application's event loop and tells how the
    // loop ended: the application quit, or it stayed after the quit alert.
    int request(const std::function<void()>& quitRequest)
    {
        services.onAlert = [] { QTimer::singleShot(0, [] { QCoreApplication::exit(kStayed); }); };
        QTimer::singleShot(0, quitRequest);
        QTimer::singleShot(30'000, [] { QCoreApplication::exit(kNoAnswer); });
        return QCoreApplication::exec();
    }

    FakeDesktopServices services;
    AppDelegate delegate;
};

} // namespace launcher::testing
