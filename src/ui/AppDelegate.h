#pragma once
// The desktop application around the launcher: it owns the one model, builds
// the window with its application menu once launching has finished, and keeps
// the application from quitting while setup, repair, the check of an incomplete
// installation, the game or a menu action runs (QuitGuard.h).
// Every way of quitting reaches the same guard: the Quit item and its shortcut,
// closing the window, and requests from outside (a quit event, the session manager).
// GUI thread only.

#include "ui/LauncherModel.h"
#include "ui/QuitGuard.h"

#include <QObject>

#include <memory>

class QSessionManager;

namespace launcher {

class DesktopServices;
class LauncherWindow;

class AppDelegate final : public QObject {
    Q_OBJECT

public:
    // Creates the model at once; `services` must outlive the delegate.
    explicit AppDelegate(DesktopServices& services, LauncherSettings settings = {});
    ~AppDelegate() override;

    // Builds the window and its menu, centres it and brings it to the front.
    void applicationDidFinishLaunching();

    // The quit guard: true when nothing runs. Otherwise tells the user why the
    // launcher stays open, brings the window to the front again and returns
    // false at once, without waiting for an answer.
    bool applicationShouldTerminate();

    LauncherModel& model() { return m_model; }
    QuitGuard& quitGuard() { return m_guard; }
    LauncherWindow* window() const { return m_window.get(); }

private:
    void commitData(QSessionManager& manager);

    DesktopServices& m_services;
    LauncherModel m_model;
    QuitGuard m_guard{m_model};
    // Declared after the model: the window's view refers to it and goes first.
    std::unique_ptr<LauncherWindow> m_window;
};

} // namespace launcher
