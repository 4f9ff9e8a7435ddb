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
    m_guard.setWindow(m_window.get());
    m_window->bringToFront();
}

bool AppDelegate::applicationShouldTerminate()
{
    return m_guard.allowsQuit();
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
