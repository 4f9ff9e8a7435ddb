#include "ui/AppDelegate.h"

#include "ui/DesktopServices.h"
#include "ui/LauncherWindow.h"

#include <QGuiApplication>
#include <QSessionManager>

namespace launcher {

AppDelegate::AppDelegate(DesktopServices& services, LauncherSettings settings)
    : m_services(services)
    , m_model(services, std::move(settings))
{
#if QT_CONFIG(sessionmanager)
    connect(qGuiApp, &QGuiApplication::commitDataRequest, this, &AppDelegate::commitData);
#endif
}

AppDelegate::~AppDelegate() = default;

void AppDelegate::applicationDidFinishLaunching()
{
    m_window = std::make_unique<LauncherWindow>(m_model, m_services, [this] { return applicationShouldTerminate(); });
    m_window->bringToFront();
}

bool AppDelegate::applicationShouldTerminate()
{
    if (m_model.idle())
        return true;
    if (m_model.busy())
        m_services.alert({tr("Setup is still running"), tr("Let setup finish before quitting the launcher.")},
                         m_window.get());
    else if (m_model.playing())
        m_services.alert({tr("Veyra 2 is still running"), tr("Save and quit Veyra 2 before quitting the launcher.")},
                         m_window.get());
    else
        // A restore, an uninstall, the diagnostics archive or the check of an
        // incomplete installation, each better finished than cut short.
        m_services.alert({tr("The launcher is still working"), tr("Let it finish before quitting the launcher.")},
                         m_window.get());
    if (m_window)
        m_window->bringToFront();
    return false;
}

void AppDelegate::commitData(QSessionManager& manager)
{
#if QT_CONFIG(sessionmanager)
    // The session is ending (log-out, shut-down); without a chance to ask, it goes on.
    if (manager.allowsInteraction()) {
        const bool mayEnd = applicationShouldTerminate();
        manager.release();
        if (!mayEnd)
            manager.cancel();
    }
#else
    Q_UNUSED(manager);
#endif
}

} // namespace launcher
