#pragma once

#include <QMainWindow>

#include <functional>

namespace launcher {

class DesktopServices;
class LauncherModel;

// The one launcher window: the launcher view as its content, 760 × 650 at the
// start and never smaller than 740 × 650, centred, with the application menu.
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

private:
    void buildMenu(DesktopServices& services);

    std::function<bool()> m_mayClose;
};

} // namespace launcher
