#pragma once
// The desktop application as a test starts it: a root of its own, fake desktop
// services, launched, its window on screen.

#include "FakeDesktopServices.h"
#include "UiTestSupport.h"
#include "ui/AppDelegate.h"
#include "ui/LauncherWindow.h"

#include <QAction>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>

#include <chrono>
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
    // loop ended: the application quit, or it stayed after the quit guard refused.
    int request(const std::function<void()>& quitRequest)
    {
        const QMetaObject::Connection stayed = QObject::connect(
            &delegate.quitGuard(), &QuitGuard::refused, [] { QCoreApplication::exit(kStayed); });
        const int ending = run(quitRequest);
        QObject::disconnect(stayed);
        return ending;
    }
    // Runs `steps` inside the application's event loop, which they end with
    // QCoreApplication::exit() unless the application quits first; returns the
    // loop's exit code, kNoAnswer when nothing ended it within `limit`.
    int run(const std::function<void()>& steps, std::chrono::milliseconds limit = std::chrono::seconds(30))
    {
        QTimer::singleShot(0, steps);
        QTimer bound;
        bound.setSingleShot(true);
        QObject::connect(&bound, &QTimer::timeout, [] { QCoreApplication::exit(kNoAnswer); });
        bound.start(limit);
        return QCoreApplication::exec();
    }
    // The quit guard's box while it is on screen.
    QMessageBox* guardBox() { return delegate.quitGuard().box(); }

    FakeDesktopServices services;
    AppDelegate delegate;
};

} // namespace launcher::testing
