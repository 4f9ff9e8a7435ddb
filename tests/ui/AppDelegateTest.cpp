#include "ui/AppDelegate.h"

#include "HeldWork.h"
#include "LaunchedApplication.h"
#include "support/InstallationByHand.h"
#include "support/LockProbe.h"
#include "support/TemporaryFolder.h"
#include "support/TestHost.h"
#include "ui/LauncherWindow.h"

#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QWindow>
#include <QtTest>

namespace launcher::testing {

class AppDelegateTest final : public QObject {
    Q_OBJECT

private slots:
    void windowStartsCentredAtItsSizeAndKeepsItsMinimum();
    void applicationMenuHoldsItsItemsInOrder();
    void everyWayOfQuittingPassesTheGuard_data();
    void everyWayOfQuittingPassesTheGuard();
    void noOrderOfQuitRequestsEndsARunningSetup();
    void stopSetupAndQuitStopsItThenQuits();
    void theMenuBarNeverHoldsTheFocusUnseen();
};

void AppDelegateTest::windowStartsCentredAtItsSizeAndKeepsItsMinimum()
{
    const TemporaryFolder root;
    LaunchedApplication application(root.path());
    LauncherWindow* window = application.window();
    QCOMPARE(window->windowTitle(), QString("Veyra 2 Mac Launcher"));
    QTRY_COMPARE(window->centralWidget()->size(), QSize(760, 650));
    const QPoint screenCentre = window->screen()->availableGeometry().center();
    QVERIFY((window->geometry().center() - screenCentre).manhattanLength() <= 1);

    window->resize(300, 300);
    QTRY_COMPARE(window->centralWidget()->size(), QSize(740, 650));
}

void AppDelegateTest::applicationMenuHoldsItsItemsInOrder()
{
    const TemporaryFolder root;
    LaunchedApplication application(root.path());
    auto* menu = application.window()->findChild<QMenu*>("applicationMenu");
    QVERIFY(menu != nullptr);
    QStringList texts;
    for (const QAction* item : menu->actions())
        texts << (item->isSeparator() ? QString("—") : item->text());
    QCOMPARE(texts, QStringList({"About Veyra 2 Mac Launcher", "—", "Restore Saves…", "Save Diagnostics…", "—",
                                 "Uninstall Veyra 2…", "—", "Quit Veyra 2 Mac Launcher"}));
    const QList<QAction*> items = menu->actions();
    QVERIFY(items[0]->shortcut().isEmpty());
    QCOMPARE(items.last()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));

    items[0]->trigger();
    QCOMPARE(application.services.aboutPanels, 1);
    QCOMPARE(application.services.shownOver, application.window());
}

void AppDelegateTest::everyWayOfQuittingPassesTheGuard_data()
{
    QTest::addColumn<QString>("way");
    QTest::addColumn<bool>("busy");
    QTest::addColumn<bool>("playing");
    QTest::addColumn<bool>("maintaining");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("informative");
    QTest::addColumn<QStringList>("buttons");

    const QString setup = "Setup is still running";
    const QString setupAdvice = "Let setup finish before quitting the launcher.";
    const QString game = "Veyra 2 is still running";
    const QString gameAdvice = "Save and quit Veyra 2 before quitting the launcher.";
    const QString work = "The launcher is still working";
    const QString workAdvice = "Let it finish before quitting the launcher.";
    const QStringList stopOrKeep{"Stop setup and quit", "Keep working"};
    const QStringList ok{"OK"};
    for (const char* way : {"menu", "shortcut", "window close", "quit event", "quit call"}) {
        QTest::addRow("%s, nothing running", way)
            << way << false << false << false << QString() << QString() << QStringList();
        QTest::addRow("%s, setup running", way) << way << true << false << false << setup << setupAdvice << stopOrKeep;
        QTest::addRow("%s, game running", way) << way << false << true << false << game << gameAdvice << ok;
        QTest::addRow("%s, menu action running", way) << way << false << false << true << work << workAdvice << ok;
    }
    QTest::newRow("menu, setup and game running")
        << "menu" << true << true << false << setup << setupAdvice << stopOrKeep;
}

void AppDelegateTest::everyWayOfQuittingPassesTheGuard()
{
    QFETCH(QString, way);
    QFETCH(bool, busy);
    QFETCH(bool, playing);
    QFETCH(bool, maintaining);
    QFETCH(QString, message);
    QFETCH(QString, informative);
    QFETCH(QStringList, buttons);
    const TemporaryFolder root;
    if (playing)
        buildInstallationByHand(root.path());
    HeldWork held;
    LauncherSettings settings = settingsFor(root.path());
    held.holdSetup(settings);
    held.holdArchiveTool(settings);
    LaunchedApplication application(std::move(settings));
    LauncherWindow* window = application.window();
    LauncherModel& model = application.delegate.model();
    if (playing) {
        held.startGame([&] { model.play(); });
        QTRY_VERIFY_WITH_TIMEOUT(held.gameStarted(), 30'000);
    }
    // A game folder, which the held archive tool need not list.
    chooseSetupFiles(model, fixture("game/Veyra 2"));
    if (busy && !playing)
        model.install();
    if (maintaining) {
        // The diagnostics archive, held where it is packed.
        application.services.willChooseNewFile(fileUrl(root / "diagnostics.zip"));
        application.action("saveDiagnosticsAction")->trigger();
    }
    QCOMPARE(model.playing(), playing);
    QCOMPARE(model.state().maintaining(), maintaining);
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
    // The box as the refusal showed it: beside a game, a setup ends soon after.
    struct {
        QString message;
        QString informative;
        QStringList buttons;
        QWidget* over = nullptr;
    } seen;
    connect(&application.delegate.quitGuard(), &QuitGuard::refused, this, [&] {
        QMessageBox* box = application.guardBox();
        seen = {box->text(), box->informativeText(), {}, box->parentWidget()};
        for (const QAbstractButton* button : box->findChildren<QPushButton*>())
            seen.buttons << button->text();
        seen.buttons.sort();
    });
    const int ending = application.request(request);

    if (message.isEmpty()) {
        QCOMPARE(ending, LaunchedApplication::kQuit);
        QVERIFY(application.guardBox() == nullptr);
        QVERIFY(!window->isVisible());
        return;
    }
    QCOMPARE(ending, LaunchedApplication::kStayed);
    QCOMPARE(seen.message, message);
    QCOMPARE(seen.informative, informative);
    buttons.sort();
    QCOMPARE(seen.buttons, buttons);
    QCOMPARE(seen.over, window);
    QVERIFY(window->isVisible());
    QVERIFY(!window->isMinimized());
    // What runs goes on; a setup next to a game has ended on its own by now,
    // and the box that told of it with it.
    QCOMPARE(model.playing(), playing);
    QCOMPARE(model.state().maintaining(), maintaining);
    if (!playing)
        QCOMPARE(model.busy(), busy);
    if (busy && playing)
        QTRY_COMPARE(application.guardBox(), nullptr);
}

void AppDelegateTest::noOrderOfQuitRequestsEndsARunningSetup()
{
    const TemporaryFolder root;
    provideRuntimeArchives(root.path());
    HeldWork held;
    LauncherSettings settings = settingsFor(root.path());
    held.holdSetup(settings);
    LaunchedApplication application(std::move(settings));
    LauncherWindow* window = application.window();
    LauncherModel& model = application.model();
    chooseSetupFiles(model);
    model.install();
    QVERIFY(model.busy());

    QList<QMessageBox*> boxes;
    const int ending = application.run(
        [&] {
            // The shortcut, then while its box is up the window manager's close,
            // Qt's quit, which closes every window it can, and a close of the window again.
            window->activateWindow();
            QTest::keyClick(window, Qt::Key_Q, Qt::ControlModifier);
            QTRY_VERIFY(application.guardBox() != nullptr);
            boxes << application.guardBox();
            window->windowHandle()->close();
            QCoreApplication::quit();
            QCoreApplication::processEvents();
            boxes << application.guardBox();
            window->close();
            boxes << application.guardBox();
            QVERIFY(window->isVisible());
            QVERIFY(model.busy());

            // Setup goes on to the end, and the box that told of it goes with it.
            held.release();
            QTRY_VERIFY_WITH_TIMEOUT(!model.busy(), 180'000);
            QTRY_COMPARE(application.guardBox(), nullptr);
            QCoreApplication::exit(LaunchedApplication::kStayed);
        },
        std::chrono::seconds(240));

    QCOMPARE(ending, LaunchedApplication::kStayed);
    QVERIFY(window->isVisible());
    QCOMPARE(boxes.size(), 3);
    QVERIFY2(boxes[0] != nullptr && boxes[1] == boxes[0] && boxes[2] == boxes[0], "one box, brought back");
    QVERIFY(model.ready());
    QVERIFY(model.error() == std::nullopt);
    QVERIFY(Installation(root.path(), {}, testHost()).isInstalled());
}

void AppDelegateTest::stopSetupAndQuitStopsItThenQuits()
{
    const TemporaryFolder root;
    HeldWork held;
    LauncherSettings settings = settingsFor(root.path());
    held.holdSetup(settings);
    LaunchedApplication application(std::move(settings));
    LauncherModel& model = application.model();
    chooseSetupFiles(model);
    model.install();

    QStringList statuses;
    connect(&model, &LauncherModel::statusChanged, this, [&] { statuses << model.status(); });
    const int ending = application.run([&] {
        application.action("quitAction")->trigger();
        QTRY_VERIFY(application.guardBox() != nullptr);
        // The safe choice is the default.
        QCOMPARE(application.guardBox()->defaultButton()->text(), QString("Keep working"));
        application.guardBox()->findChild<QPushButton*>("stopAndQuitButton")->click();
    });

    QCOMPARE(ending, LaunchedApplication::kQuit);
    QVERIFY(!model.busy());
    QVERIFY(statuses.contains("Setup was stopped before it finished. Run it again to continue."));
    QVERIFY(!application.window()->isVisible());
    QVERIFY(lockIsFree(root.path()));
    QVERIFY(!std::filesystem::exists(root / "installed.json"));
}

void AppDelegateTest::theMenuBarNeverHoldsTheFocusUnseen()
{
    const TemporaryFolder root;
    LaunchedApplication application(root.path());
    LauncherWindow* window = application.window();
    QWidget* game = window->findChild<QWidget*>("gameButton");
    QWidget* audio = window->findChild<QWidget*>("audioButton");
    window->activateWindow();
    QTRY_VERIFY(window->isActiveWindow());
    QTRY_COMPARE(QApplication::focusWidget(), game);
    QMenuBar* bar = window->menuBar();
    // The item the menu bar holds is drawn filled, unlike the bar's empty end.
    const auto itemShownHighlighted = [bar] {
        const QImage picture = bar->grab().toImage();
        const QRect item = bar->actionGeometry(bar->actions().at(0));
        const int y = item.center().y();
        return picture.pixelColor(item.left() + 3, y) != picture.pixelColor(picture.width() - 3, y);
    };
    QVERIFY(!itemShownHighlighted());

    // Alt: the menu bar takes the keyboard, in sight; Tab hands it back, and so does Escape.
    QTest::keyClick(window, Qt::Key_Alt, Qt::AltModifier);
    QCOMPARE(QApplication::focusWidget(), bar);
    QVERIFY(itemShownHighlighted());
    QTest::keyClick(bar, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), game);
    QVERIFY(!itemShownHighlighted());
    QTest::keyClick(window, Qt::Key_Alt, Qt::AltModifier);
    QTest::keyClick(bar, Qt::Key_Escape);
    QCOMPARE(QApplication::focusWidget(), game);

    // A menu opened with the mouse and closed with Escape leaves the focus where it was.
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(bar->actions().at(0)).center());
    QWidget* menu = QApplication::activePopupWidget();
    QVERIFY(menu != nullptr);
    QTest::keyClick(menu, Qt::Key_Escape);
    // The window's own focus: the offscreen platform may leave the closed menu as the active window.
    QTRY_COMPARE(window->focusWidget(), game);
    QVERIFY(!itemShownHighlighted());
    QTest::keyClick(game, Qt::Key_Tab);
    QCOMPARE(window->focusWidget(), audio);
}

} // namespace launcher::testing

QTEST_MAIN(launcher::testing::AppDelegateTest)
#include "AppDelegateTest.moc"
