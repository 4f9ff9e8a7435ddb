#include "ui/LauncherWindow.h"

#include "ui/DesktopServices.h"
#include "ui/LauncherModel.h"
#include "ui/LauncherStyle.h"
#include "ui/LauncherView.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStyle>
#include <QTimer>

namespace launcher {
namespace {

const QSize kContentSize(760, 650);
const QSize kMinimumContentSize(740, 650);

// Command-Q on macOS, Ctrl+Q elsewhere; the fallback covers keyboard schemes
// (such as the Windows one) that bind nothing to quitting.
QKeySequence quitShortcut()
{
    const QKeySequence platform(QKeySequence::Quit);
    return platform.isEmpty() ? QKeySequence(Qt::CTRL | Qt::Key_Q) : platform;
}

} // namespace

LauncherWindow::LauncherWindow(LauncherModel& model, DesktopServices& services, std::function<bool()> mayClose)
    : m_mayClose(std::move(mayClose))
{
    setObjectName("launcherWindow");
    setWindowTitle(tr("Veyra 2 Mac Launcher"));
    setPalette(style::darkPalette());
    setCentralWidget(new LauncherView(model));
    buildMenu(model, services);
    keepFocusInSight();

    // The sizes are those of the content; a menu bar inside the window (all but macOS) comes on top.
    const QSize menu(0, menuBar()->isNativeMenuBar() ? 0 : menuBar()->sizeHint().height());
    setMinimumSize(kMinimumContentSize + menu);
    setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, kContentSize + menu,
                                    screen()->availableGeometry()));
}

void LauncherWindow::buildMenu(LauncherModel& model, DesktopServices& services)
{
    // On macOS the two roles move the items into the application menu.
    QMenu* application = menuBar()->addMenu(QApplication::applicationDisplayName());
    application->setObjectName("applicationMenu");

    QAction* about = application->addAction(tr("About Veyra 2 Mac Launcher"));
    about->setObjectName("aboutAction");
    about->setMenuRole(QAction::AboutRole);
    connect(about, &QAction::triggered, this, [this, &services] { services.about(this); });

    application->addSeparator();

    // On macOS their role puts them into the application menu beside About and Quit.
    const auto menuAction = [&](const char* name, const QString& text, void (LauncherModel::*start)(QWidget*)) {
        QAction* action = application->addAction(text);
        action->setObjectName(name);
        action->setMenuRole(QAction::ApplicationSpecificRole);
        connect(action, &QAction::triggered, &model, [this, &model, start] { (model.*start)(this); });
        return action;
    };
    m_restoreSaves = menuAction("restoreSavesAction", tr("Restore Saves…"), &LauncherModel::restoreSaves);
    m_saveDiagnostics = menuAction("saveDiagnosticsAction", tr("Save Diagnostics…"), &LauncherModel::saveDiagnostics);
    application->addSeparator();
    m_uninstall = menuAction("uninstallAction", tr("Uninstall Veyra 2…"), &LauncherModel::uninstall);
    connect(&model, &LauncherModel::stateChanged, this, [this, &model] { enableMenuActions(model); });
    enableMenuActions(model);
    // Queued, so that the window shows the ended setup before the question.
    connect(&model, &LauncherModel::keptSavesFound, this, [this, &model] { model.offerKeptSaves(this); },
            Qt::QueuedConnection);

    application->addSeparator();

    QAction* quit = application->addAction(tr("Quit Veyra 2 Mac Launcher"));
    quit->setObjectName("quitAction");
    quit->setMenuRole(QAction::QuitRole);
    quit->setShortcut(quitShortcut());
    // The shortcut works in the window also where its menu bar is not part of it.
    addAction(quit);
    // Quitting asks every window to close first, so the guard in closeEvent decides.
    connect(quit, &QAction::triggered, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}

// The menu bar inside the window (all but macOS) takes the keyboard after Alt,
// and again when Escape closes one of its menus. Its highlighted item shows
// that; Tab hands the focus back to the control that had it, and so does the
// close of a menu that the mouse opened, since the player never chose the
// menu bar's keyboard state then.
void LauncherWindow::keepFocusInSight()
{
    QMenuBar* bar = menuBar();
    bar->setStyleSheet(style::menuBarStyleSheet());
    bar->installEventFilter(this);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now != nullptr && now != menuBar() && isAncestorOf(now))
            m_lastFocus = now;
    });
    for (QMenu* menu : bar->findChildren<QMenu*>()) {
        connect(menu, &QMenu::aboutToShow, this, [this] { m_menuFromKeyboard = menuBar()->hasFocus(); });
        // Once the menu bar has taken the keyboard back from the closed menu.
        connect(menu, &QMenu::aboutToHide, this, [this] {
            QTimer::singleShot(0, this, [this] {
                if (!m_menuFromKeyboard)
                    returnFocusFromMenuBar();
            });
        });
    }
}

void LauncherWindow::returnFocusFromMenuBar()
{
    // Taking the focus away ends the menu bar's keyboard state.
    if (menuBar()->hasFocus() && QApplication::activePopupWidget() == nullptr && m_lastFocus)
        m_lastFocus->setFocus(Qt::OtherFocusReason);
}

bool LauncherWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == menuBar() && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Tab || key == Qt::Key_Backtab) && m_lastFocus) {
            m_lastFocus->setFocus(Qt::TabFocusReason);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void LauncherWindow::enableMenuActions(const LauncherModel& model)
{
    m_restoreSaves->setEnabled(model.mayRestoreSaves());
    m_saveDiagnostics->setEnabled(model.idle());
    m_uninstall->setEnabled(model.idle());
}

void LauncherWindow::bringToFront()
{
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
}

void LauncherWindow::closeEvent(QCloseEvent* event)
{
    if (m_mayClose && !m_mayClose()) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

} // namespace launcher
