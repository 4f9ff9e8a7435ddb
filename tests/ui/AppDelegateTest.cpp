#include "ui/AppDelegate.h"

#include "FakeDesktopServices.h"
#include "HeldWork.h"
#include "UiTestSupport.h"
#include "support/InstallationByHand.h"
#include "support/TemporaryFolder.h"
#include "support/TestHost.h"
#include "ui/LauncherWindow.h"

#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QtTest>

namespace launcher::testing {
namespace {

// Exit codes of the event loop that a quit request runs in.
constexpr int kQuit = 0;
constexpr int kStayed = 2;
constexpr int kNoAnswer = 3;

// The application with a root of its own, launched, its window on screen.
struct Application {
    explicit Application(const std::filesystem::path& root)
        : Application(settingsFor(root))
    {
    }
    explicit Application(LauncherSettings settings)
        : delegate(services, std::move(settings))
    {
        delegate.applicationDidFinishLaunching();
        if (!QTest::qWaitForWindowExposed(window()))
            qFatal("The launcher window was not shown");
    }
    LauncherWindow* window() const { return delegate.window(); }
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

} // namespace

class AppDelegateTest final : public QObject {
    Q_OBJECT

private slots:
    void windowStartsCentredAtItsSizeAndKeepsItsMinimum();
    void applicationMenuHoldsAboutAndQuit();
    void everyWayOfQuittingPassesTheGuard_data();
    void everyWayOfQuittingPassesTheGuard();
};

void AppDelegateTest::windowStartsCentredAtItsSizeAndKeepsItsMinimum()
{
    const TemporaryFolder root;
    Application application(root.path());
    LauncherWindow* window = application.window();
    QCOMPARE(window->windowTitle(), QString("Veyra 2 Mac Launcher"));
    QTRY_COMPARE(window->centralWidget()->size(), QSize(760, 650));
    const QPoint screenCentre = window->screen()->availableGeometry().center();
    QVERIFY((window->geometry().center() - screenCentre).manhattanLength() <= 1);

    window->resize(300, 300);
    QTRY_COMPARE(window->centralWidget()->size(), QSize(740, 650));
}

void AppDelegateTest::applicationMenuHoldsAboutAndQuit()
{
    const TemporaryFolder root;
    Application application(root.path());
    auto* menu = application.window()->findChild<QMenu*>("applicationMenu");
    QVERIFY(menu != nullptr);
    const QList<QAction*> items = menu->actions();
    QCOMPARE(items.size(), 3);
    QCOMPARE(items[0]->text(), QString("About Veyra 2 Mac Launcher"));
    QVERIFY(items[0]->shortcut().isEmpty());
    QVERIFY(items[1]->isSeparator());
    QCOMPARE(items[2]->text(), QString("Quit Veyra 2 Mac Launcher"));
    QCOMPARE(items[2]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));

    items[0]->trigger();
    QCOMPARE(application.services.aboutPanels, 1);
    QCOMPARE(application.services.shownOver, application.window());
}

void AppDelegateTest::everyWayOfQuittingPassesTheGuard_data()
{
    QTest::addColumn<QString>("way");
    QTest::addColumn<bool>("busy");
    QTest::addColumn<bool>("playing");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("informative");

    const QString setup = "Setup is still running";
    const QString setupAdvice = "Let setup finish before quitting the launcher.";
    const QString game = "Veyra 2 is still running";
    const QString gameAdvice = "Save and quit Veyra 2 before quitting the launcher.";
    for (const char* way : {"menu", "shortcut", "window close", "quit event", "quit call"}) {
        QTest::addRow("%s, nothing running", way) << way << false << false << QString() << QString();
        QTest::addRow("%s, setup running", way) << way << true << false << setup << setupAdvice;
        QTest::addRow("%s, game running", way) << way << false << true << game << gameAdvice;
    }
    QTest::newRow("menu, setup and game running") << "menu" << true << true << setup << setupAdvice;
}

void AppDelegateTest::everyWayOfQuittingPassesTheGuard()
{
    QFETCH(QString, way);
    QFETCH(bool, busy);
    QFETCH(bool, playing);
    QFETCH(QString, message);
    QFETCH(QString, informative);
    const TemporaryFolder root;
    if (playing)
        buildInstallationByHand(root.path());
    HeldWork held;
    LauncherSettings settings = settingsFor(root.path());
    held.holdSetup(settings);
    Application application(std::move(settings));
    LauncherWindow* window = application.window();
    LauncherModel& model = application.delegate.model();
    if (playing)
        held.startGame([&] { model.play(); });
    // The files need not exist: a held setup waits in its first check.
    model.setGameURL(fileUrl(root / "game.zip"));
    model.setAudioURL(fileUrl(root / "MPSetup.exe"));
    model.setOwnsFiles(true);
    if (busy && !playing)
        model.install();
    QCOMPARE(model.playing(), playing);
    if (way == "shortcut") {
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
    } else {
        // The guard brings a window back that was out of the way.
        window->showMinimized();
    }

    const std::map<QString, std::function<void()>> requests{
        {"menu", [&] { application.action("quitAction")->trigger(); }},
        {"shortcut", [&] { QTest::keyClick(window, Qt::Key_Q, Qt::ControlModifier); }},
        {"window close", [&] { window->close(); }},
        {"quit event",
         [] {
             QEvent quit(QEvent::Quit);
             QCoreApplication::sendEvent(QCoreApplication::instance(), &quit);
         }},
        {"quit call", [] { QCoreApplication::quit(); }},
    };
    std::function<void()> request = requests.at(way);
    if (busy && playing) {
        // The running game holds the install lock, so a setup fails as soon as
        // it reaches for it and is busy only until the GUI thread hears of that.
        // Started right after a queued quit request, it is busy when the guard looks.
        request = [&, quitRequest = request] {
            quitRequest();
            model.install();
            QVERIFY(model.busy());
        };
    }
    const int ending = application.request(request);

    if (message.isEmpty()) {
        QCOMPARE(ending, kQuit);
        QVERIFY(application.services.alerts.empty());
        QVERIFY(!window->isVisible());
        return;
    }
    QCOMPARE(ending, kStayed);
    QCOMPARE(application.services.alerts.size(), 1u);
    QCOMPARE(application.services.alerts[0].messageText, message);
    QCOMPARE(application.services.alerts[0].informativeText, informative);
    QCOMPARE(application.services.shownOver, window);
    QVERIFY(window->isVisible());
    QVERIFY(!window->isMinimized());
    // What runs goes on; a setup next to a game has ended on its own by now.
    QCOMPARE(model.playing(), playing);
    if (!playing)
        QCOMPARE(model.busy(), busy);
}

} // namespace launcher::testing

QTEST_MAIN(launcher::testing::AppDelegateTest)
#include "AppDelegateTest.moc"
