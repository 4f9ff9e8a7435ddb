#pragma once

#include <QMainWindow>
#include <QPointer>

#include <functional>

class QAction;

namespace launcher {

class DesktopServices;
class LauncherModel;

// The one launcher window: the launcher view as its content, 760 × 650 at the
// start and never smaller than 740 × 650, centred, with the application menu:
// About; Restore Saves…, Save Diagnostics…; Uninstall Veyra 2…; Quit. The
// menu's actions are enabled only while the model may start them.
class LauncherWindow final : public QMainWindow {
    Q_OBJECT

public:
    // `mayClose` decides about every close request, including the one that
    // quitting the application sends to each window.
    LauncherWindow(LauncherModel& model, DesktopServices& services, std::function<bool()> mayClose);

    // Shows the window again, restored, in front and active.
    void bringToFront();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenu(LauncherModel& model, DesktopServices& services);
    void keepFocusInSight();
    void returnFocusFromMenuBar();
    void enableMenuActions(const LauncherModel& model);

    std::function<bool()> m_mayClose;
    QAction* m_restoreSaves = nullptr;
    QAction* m_saveDiagnostics = nullptr;
    QAction* m_uninstall = nullptr;
    // The control in the window that last had the focus, which the menu bar hands it back to.
    QPointer<QWidget> m_lastFocus;
    bool m_menuFromKeyboard = false;
};

} // namespace launcher
